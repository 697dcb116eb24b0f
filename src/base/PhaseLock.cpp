#include "base/PhaseLock.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{

constexpr double kSecondsPerMinute = 60.0;
// A sample position that continues the last block to within half a sample plays on.
constexpr double kSampleSlack = 0.5;
// Readings this close to the prediction are the host's own exact positions: they are passed on
// unchanged, so that a host that reports exact positions gets exactly what it reported.
constexpr double kSameBeats = 1e-9;
// A position within this part of a tick from a whole one was rounded to ticks (a 32-bit float
// keeps a bar's beats to about 1/2000 tick).
constexpr double kTickSlack = 1e-3;

bool IsWholeTick(double ppq)
{
    const double ticks = ppq * TPhaseLock::kTicksPerBeat;
    return std::fabs(ticks - std::round(ticks)) <= kTickSlack;
}

} // namespace

double TPhaseLock::PpqAt(double samplePos) const noexcept
{
    return FEstimate + BeatsIn(samplePos - FAnchorSample);
}

// Counted as hosts count (samples to seconds to beats), so that a position carried from an
// anchor equals, to the last bit, the one such a host reports.
double TPhaseLock::BeatsIn(double samples) const noexcept
{
    return samples / FSampleRate * FTempo / kSecondsPerMinute;
}

double TPhaseLock::Lock(const TReading& reading, std::int64_t frames) noexcept
{
    const bool playsOn = FAnchored && reading.SampleRate == FSampleRate &&
                         std::fabs(reading.SamplePos - FNextSample) <= kSampleSlack;
    if (!playsOn)
        return Anchor(reading, frames);
    if (reading.Tempo != FTempo)
    {
        // The tempo changed where this block starts: the old tempo brought the song here, so
        // the anchor moves here and the new tempo counts from it.
        const double moved = BeatsIn(reading.SamplePos - FAnchorSample);
        FAnchorSample = reading.SamplePos;
        FEstimate += moved;
        FLow += moved;
        FHigh += moved;
        FTempo = reading.Tempo;
    }
    const double since = BeatsIn(reading.SamplePos - FAnchorSample);
    if (std::fabs(FEstimate + since - reading.Ppq) > kResolutionBeats)
        return Anchor(reading, frames); // a relocation the sample position did not show
    if (FOnTicks && !IsWholeTick(reading.Ppq))
    {
        // A position between ticks: this host does not round, so its positions are exact.
        FOnTicks = false;
        FEstimate = reading.Ppq - since;
        FLow = FEstimate - kRoundingBeats;
        FHigh = FEstimate + kRoundingBeats;
    }
    // The true position at the anchor lies within half the resolution of every reading.
    const double low = std::max(FLow, reading.Ppq - since - kRoundingBeats);
    const double high = std::min(FHigh, reading.Ppq - since + kRoundingBeats);
    if (low > high)
        return Anchor(reading, frames); // positions that no rounding explains
    FLow = low;
    FHigh = high;
    // The anchor's position stays while the readings allow it (a song started at a whole
    // position is exact from the first block); otherwise the middle of what they allow.
    if (FEstimate < FLow || FEstimate > FHigh)
        FEstimate = (FLow + FHigh) / 2.0;
    FNextSample = reading.SamplePos + static_cast<double>(frames);
    const double predicted = FEstimate + since;
    return std::fabs(predicted - reading.Ppq) <= kSameBeats ? reading.Ppq : predicted;
}

double TPhaseLock::Anchor(const TReading& reading, std::int64_t frames) noexcept
{
    FAnchored = true;
    FAnchorSample = reading.SamplePos;
    FEstimate = reading.Ppq;
    FLow = reading.Ppq - kRoundingBeats;
    FHigh = reading.Ppq + kRoundingBeats;
    FTempo = reading.Tempo;
    FSampleRate = reading.SampleRate;
    FNextSample = reading.SamplePos + static_cast<double>(frames);
    FOnTicks = IsWholeTick(reading.Ppq);
    // A position rounded to ticks that the sample position explains at the current tempo (a
    // song in one tempo from its start) is taken as that: exact at once after a relocation.
    const double fromStart = BeatsIn(reading.SamplePos);
    if (FOnTicks && std::fabs(fromStart - reading.Ppq) <= kRoundingBeats)
        FEstimate = fromStart;
    return FEstimate;
}

} // namespace tumblet
