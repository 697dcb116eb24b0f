#include "Transport.h"

#include <cmath>
#include <limits>

namespace tumblet
{

namespace
{

// Everything a host of this kind knows: position, tempo, bar start, cycle and metre.
constexpr std::int32_t kValidFlags =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
// Guards floor() against a bar start that lands a rounding error below a whole bar.
constexpr double kBeatEpsilon = 1e-9;

} // namespace

TTransport::TTransport(const TTransportSettings& settings)
    : FSettings(settings), FSamplesPerBeat(settings.Grid.SamplesPerBeat()),
      FSongSample(std::llround(settings.StartBeat * FSamplesPerBeat)),
      FSegmentBeat(settings.StartBeat), FSegmentSample(FSongSample),
      FLoopStartSample(std::llround(settings.LoopStartBeat * FSamplesPerBeat)),
      FLoopEndSample(std::llround(settings.LoopEndBeat * FSamplesPerBeat))
{
}

bool TTransport::JumpAhead() const
{
    // A host only cycles when the song reaches the end from inside or before the loop.
    return FSettings.LoopActive && !FSettings.Stopped && FSongSample < FLoopEndSample;
}

std::int64_t TTransport::FramesUntilJump() const
{
    return JumpAhead() ? FLoopEndSample - FSongSample : std::numeric_limits<std::int64_t>::max();
}

double TTransport::SongBeat() const
{
    return FSegmentBeat + static_cast<double>(FSongSample - FSegmentSample) / FSamplesPerBeat;
}

VstTimeInfo TTransport::TimeInfo() const
{
    VstTimeInfo info{};
    const double ppq = SongBeat();
    const double barBeats = FSettings.Grid.BeatsPerBar();
    info.samplePos = static_cast<double>(FSongSample);
    info.sampleRate = FSettings.Grid.SampleRate;
    info.ppqPos = ppq;
    info.tempo = FSettings.Grid.Tempo;
    info.barStartPos = std::floor(ppq / barBeats + kBeatEpsilon) * barBeats;
    info.cycleStartPos = FSettings.LoopActive ? FSettings.LoopStartBeat : 0.0;
    info.cycleEndPos = FSettings.LoopActive ? FSettings.LoopEndBeat : 0.0;
    info.timeSigNumerator = FSettings.Grid.Numerator;
    info.timeSigDenominator = FSettings.Grid.Denominator;
    info.flags = kValidFlags;
    if (!FSettings.Stopped)
        info.flags |= kVstTransportPlaying;
    if (FSettings.LoopActive)
        info.flags |= kVstTransportCycleActive;
    if (FChanged)
        info.flags |= kVstTransportChanged;
    return info;
}

void TTransport::Advance(std::int64_t frames)
{
    FChanged = false;
    if (FSettings.Stopped)
        return;
    const bool jumpAhead = JumpAhead();
    FSongSample += frames;
    if (jumpAhead && FSongSample >= FLoopEndSample)
    {
        FSongSample = FLoopStartSample;
        FSegmentSample = FLoopStartSample;
        FSegmentBeat = FSettings.LoopStartBeat;
        FChanged = true;
        ++FJumps;
    }
}

} // namespace tumblet
