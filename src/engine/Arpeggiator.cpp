#include "engine/Arpeggiator.h"

#include "engine/ArpeggiatorCodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tumblet
{

namespace
{

constexpr double kSecondsPerMinute = 60.0;

} // namespace

TArpeggiator::TArpeggiator()
    : FHeldNotes(kMaxHeldNotes), FSequence(kMaxSequence), FScratch(kMaxOctaveSlots * kMaxHeldNotes),
      FOctaveList(kMaxOctaveSlots)
{
    FHeldNotes.AllowDuplicates = true;
    FHeldNotes.SetOnChange(&TArpeggiator::HeldNotesChanged, this);
}

void TArpeggiator::SetNoteEndCallback(TNoteEndHandler handler, void* context) noexcept
{
    FNoteEndCallback = handler;
    FNoteEndContext = context;
}

void TArpeggiator::HeldNotesChanged(void* context, TMidiNoteList&)
{
    static_cast<TArpeggiator*>(context)->OnNotesChanged();
}

void TArpeggiator::NoteEnd(double positionSamples)
{
    if (FNoteEndCallback != nullptr)
    {
        FNoteEndCallback(FNoteEndContext, positionSamples);
    }
}

void TArpeggiator::SetNoteOrder(std::uint8_t code)
{
    if (code == FNoteOrder)
    {
        return;
    }
    FNoteOrder = code;
    BuildSequence(true);
}

void TArpeggiator::SetOctaveOrder(std::uint8_t code)
{
    if (code == FOctaveOrder)
    {
        return;
    }
    FOctaveOrder = code;
    BuildSequence(true);
}

void TArpeggiator::SetOctaves(std::int32_t octaves)
{
    if (octaves == FOctaves)
    {
        return;
    }
    FOctaves = octaves;
    BuildSequence(FRestart);
}

void TArpeggiator::SetOctavesRandom(std::int32_t octaves)
{
    if (octaves == FOctavesRandom)
    {
        return;
    }
    FOctavesRandom = octaves;
    if (octaves == 0)
    {
        BuildSequence(true);
    }
}

void TArpeggiator::SetRest(std::int32_t rest)
{
    if (rest == FRest)
    {
        return;
    }
    FRest = rest;
    BuildSequence(FRestart);
}

void TArpeggiator::SetLatch(bool on)
{
    if (on == FLatch)
    {
        return;
    }
    FLatch = on;
    if (!on)
    {
        FHeldNotes.Clear();
    }
}

void TArpeggiator::SetRate(std::uint8_t rateIndex)
{
    if (rateIndex == FRateIndex)
    {
        return;
    }
    FRateIndex = rateIndex;
    if (ScheduleResync())
    {
        FResyncRequested = true;
    }
}

void TArpeggiator::SetNoteType(std::uint8_t noteType)
{
    if (noteType == FNoteType)
    {
        return;
    }
    FNoteType = noteType;
    if (ScheduleResync())
    {
        FResyncRequested = true;
    }
}

// While a free-running change is still pending, a further speed change only updates the
// speed: the pending restart point stays.
void TArpeggiator::SetSpeed(std::int32_t speed)
{
    if (speed == FSpeed)
    {
        return;
    }
    FSpeed = speed;
    if (FFreeMode.ResyncPos != -1.0)
    {
        return;
    }
    if (ScheduleResync())
    {
        FResyncRequested = true;
        FFreeMode.SavedIndex = FSequenceIndex;
    }
    FFreeMode.SpeedAtChange = speed;
}

void TArpeggiator::SetTempo(double bpm)
{
    if (bpm == FTempo)
    {
        return;
    }
    FTempo = bpm;
    RequestTimingResync();
}

void TArpeggiator::SetTimeSigNumerator(std::int32_t numerator)
{
    if (numerator == FTimeSigNumerator)
    {
        return;
    }
    FTimeSigNumerator = numerator;
    RequestTimingResync();
}

void TArpeggiator::SetTimeSigDenominator(std::int32_t denominator)
{
    if (denominator == FTimeSigDenominator)
    {
        return;
    }
    FTimeSigDenominator = denominator;
    RequestTimingResync();
}

// Tempo and metre changes restart the clock at the current block; the sounding notes are cut
// here, once per pending restart.
void TArpeggiator::RequestTimingResync()
{
    if (FResyncRequested)
    {
        return;
    }
    FCurrentNote.StepEnd = FPpq;
    NoteEnd(FSamplePos);
    FResyncRequested = true;
}

void TArpeggiator::SetVelocityMode(std::uint8_t code)
{
    if (code == FVelocityMode)
    {
        return;
    }
    FVelocityMode = code;
    UpdateVelocityAggregates();
}

void TArpeggiator::OnNotesChanged()
{
    if (FHeldNotes.Count() == 0)
    {
        Reset(false);
        FSequence.Clear();
        return;
    }
    UpdateVelocityAggregates();
    BuildSequence(FRestart);
}

void TArpeggiator::Reset(bool full)
{
    FGeneratedNote.Reset();
    FPendingOffset = 0.0;
    FResyncRequested = false;
    FNextStepPos = -1.0;
    FSequenceIndex = -1;
    FStepCounter = -1;
    FCycleWrapPending = false;
    if (full)
    {
        FCurrentNote.Reset();
        FPrevPpq = 0.0;
    }
}

void TArpeggiator::ResetAll()
{
    Reset(true);
    FFreeMode.Reset();
}

void TArpeggiator::ClearAll()
{
    FHeldNotes.Clear();
    ResetAll();
}

void TArpeggiator::UpdateVelocityAggregates()
{
    const int count = FHeldNotes.Count();
    if (count == 0)
    {
        return;
    }
    switch (FVelocityMode)
    {
    case kVelocityHighest:
        FHighestVelocity = -1;
        for (int i = 0; i < count; ++i)
        {
            FHighestVelocity = std::max(FHighestVelocity, FHeldNotes.Items(i).Velocity);
        }
        break;
    case kVelocityLowest:
        FLowestVelocity = 128;
        for (int i = 0; i < count; ++i)
        {
            FLowestVelocity = std::min(FLowestVelocity, FHeldNotes.Items(i).Velocity);
        }
        break;
    case kVelocityAverage:
    {
        std::int64_t sum = 0;
        for (int i = 0; i < count; ++i)
        {
            sum += FHeldNotes.Items(i).Velocity;
        }
        FAverageVelocity = static_cast<std::int32_t>(sum / count);
        break;
    }
    default:
        break;
    }
}

bool TArpeggiator::ScheduleResync()
{
    if (FSequence.Count() == 0)
    {
        return false;
    }
    if (FSpeed != 0)
    {
        // A long note is not waited for beyond two beats, unless the speed went down.
        double length = FCurrentNote.LengthBeats;
        const double twoBeats = StepLength(kStepTwoBeats, true);
        if (twoBeats < length && FFreeMode.SpeedAtChange <= FSpeed)
        {
            length = twoBeats;
        }
        const double end = FCurrentNote.StepStart + length;
        FCurrentNote.StepEnd = end > FPpq ? end : FPpq;
        FFreeMode.ResyncPos = FCurrentNote.StepEnd;
    }
    else
    {
        const double beat = StepLength(kStepOneBeat, false);
        FCurrentNote.StepEnd = beat * std::ceil(FPpq / beat);
    }
    NoteEnd(BeatsToSamples(FCurrentNote.StepEnd));
    return true;
}

double TArpeggiator::BarScaled(int index, std::int32_t numerator, std::int32_t denominator) noexcept
{
    const int clamped = std::clamp(index, 0, kMaxRateIndex);
    // The table doubles from 1/64 beat at index 0, through one beat at index 6.
    double beats = std::ldexp(1.0, clamped - kStepOneBeat);
    // A metre from a confused host (zero or negative) leaves bars at their 4/4 length.
    const bool usableMetre = numerator > 0 && denominator > 0;
    if (usableMetre && (numerator != 4 || denominator != 4) && clamped >= kStepOneBar)
    {
        beats *= (numerator / 4.0) / (denominator / 4.0);
    }
    return beats;
}

double TArpeggiator::TypeFactor(std::uint8_t noteType) noexcept
{
    switch (noteType)
    {
    case kNoteTypeTriplet:
        return 2.0 / 3.0;
    case kNoteTypeDotted:
        return 1.5;
    default:
        return 1.0;
    }
}

double TArpeggiator::StepBeats(int index, std::uint8_t noteType, std::int32_t numerator,
                               std::int32_t denominator) noexcept
{
    return BarScaled(index, numerator, denominator) * TypeFactor(noteType);
}

// Slower speeds are truncated to two decimals (-50 gives 0.66). Beyond -9900 the factor would
// truncate to 0; it stays at its smallest step, 0.01, instead of making steps endless.
double TArpeggiator::SpeedFactor(double speed) noexcept
{
    if (speed == 0.0)
    {
        return 1.0;
    }
    if (speed > 0.0)
    {
        return speed / 100.0 + 1.0;
    }
    return std::max(std::trunc(10000.0 / (std::fabs(speed) + 100.0)), 1.0) / 100.0;
}

double TArpeggiator::StepLength(int index, bool ignoreSpeed) const noexcept
{
    const double beats = StepBeats(index, FNoteType, FTimeSigNumerator, FTimeSigDenominator);
    if (FSpeed != 0 && !ignoreSpeed)
    {
        return beats / SpeedFactor(FSpeed);
    }
    return beats;
}

double TArpeggiator::BeatsToSamples(double beats) const noexcept
{
    return FSampleRate / (FTempo / kSecondsPerMinute) * beats;
}

double TArpeggiator::SamplesToBeats(double samples) const noexcept
{
    return samples / (FSampleRate / (FTempo / kSecondsPerMinute));
}

double TArpeggiator::SamplesPerBeat() const noexcept
{
    return kSecondsPerMinute / FTempo * FSampleRate;
}

std::string TArpeggiator::SpeedText(float speed, std::string_view decimalSeparator)
{
    if (speed == 0.0f)
    {
        return "1";
    }
    char digits[32];
    std::snprintf(digits, sizeof(digits), "%.2f", SpeedFactor(speed));
    std::string text;
    for (const char* c = digits; *c != '\0'; ++c)
    {
        if (*c == '.')
        {
            text += decimalSeparator;
        }
        else
        {
            text += *c;
        }
    }
    return text + "x";
}

} // namespace tumblet
