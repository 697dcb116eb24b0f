#include "engine/Arpeggiator.h"

#include "engine/ArpeggiatorCodes.h"
#include "engine/Random.h"
#include "engine/Rounding.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{

/// The shortest note sent: 1/64 beat times the note-type factor.
constexpr int kMinimumLengthIndex = kStepSixtyFourthBeat;
/// Notes cut at a loop end below 1/32 beat (times the note-type factor) are dropped.
constexpr int kShortestLoopNoteIndex = kStepThirtySecondBeat;
/// Rates of two beats or more start their first step at the next beat.
constexpr int kLongRateIndex = kStepTwoBeats;
constexpr std::int32_t kRestValue = -1;
constexpr std::int32_t kMaxPitch = 127;
constexpr std::int32_t kMaxVelocity = 127;
constexpr std::int32_t kMaxGate = 200;
constexpr std::int32_t kMaxShift = 50;
constexpr std::int32_t kMaxSwing = 100;
constexpr std::int32_t kMaxVelocityScale = 100;
constexpr std::int32_t kMaxVelocityScaleWithRandom = 200;
constexpr std::uint32_t kProbabilityRange = 100;

// Grid indices stay far from the 32-bit limits, so counting on from one never overflows even
// when a host reports an absurd song position.
constexpr double kGridLimit = 1 << 30;

std::int32_t GridIndex(double x)
{
    return static_cast<std::int32_t>(std::clamp(std::isnan(x) ? 0.0 : x, -kGridLimit, kGridLimit));
}

// A random addition that may only raise value up to ceiling; the draw is made even when there
// is no room left (Random(1)), so the number of draws never depends on the setting's value.
std::int64_t AddRandomUpTo(std::int64_t value, std::int32_t amount, std::int64_t ceiling)
{
    if (amount <= 0)
    {
        return value;
    }
    std::int64_t extra = amount;
    if (value + extra > ceiling)
    {
        extra = std::max<std::int64_t>(ceiling - value, 0);
    }
    return value + Random(static_cast<std::uint32_t>(extra + 1));
}

} // namespace

bool TArpeggiator::GenerateStep(std::int32_t sampleFrames)
{
    BeginBlock(sampleFrames);
    NextStep();
    return FinishStep();
}

void TArpeggiator::BeginBlock(std::int32_t sampleFrames)
{
    FGeneratedNote.Reset();
    FBlockOpen = FSequence.Count() > 0;
    if (!FBlockOpen)
    {
        return;
    }
    FBlockBeats = SamplesToBeats(sampleFrames);
    FBlockFrames = sampleFrames;
    if (FCycleWrapPending)
    {
        // Steps wait until the host loop has jumped back.
        if (FPpq > FPrevPpq)
        {
            FBlockOpen = false;
            return;
        }
        FCycleWrapPending = false;
        Reset(true);
        BuildSequence(true);
    }
}

bool TArpeggiator::NextStep()
{
    FGeneratedNote.Reset();
    if (!FBlockOpen || FSequence.Count() == 0 || FCycleWrapPending)
    {
        return false;
    }
    // The block's end belongs to the next block, so that a key there comes before its step.
    if (FPpq + FBlockBeats <= FCurrentNote.StepEnd)
    {
        return false;
    }
    // A step due before the current one has ended sounds when it ends, wherever the host's
    // blocks begin.
    FStepFloor = std::max(FPpq, FCurrentNote.StepEnd);
    if (FResyncRequested)
    {
        Reset(true);
    }
    // More than a step overdue: the song position jumped ahead. The grid is found again from
    // here rather than every missed step played at once.
    if (FStepCounter != -1 && FNextStepPos < FStepFloor &&
        FNextStepPos + StepLength(FRateIndex, false) < FStepFloor - CatchWindowBeats())
    {
        FStepCounter = -1;
    }
    if (FStepCounter == -1)
    {
        SetupFirstStep();
    }
    // A step sounds at the sample its time rounds to, and a key at that sample comes first: the
    // caller ends its run at the key, so a step rounding to the run's end waits for the next run.
    if (RoundEven(BeatsToSamples(FNextStepPos - FPpq)) >= FBlockFrames)
    {
        return false;
    }
    PlayStep(StepLength(FRateIndex, false));
    return true;
}

double TArpeggiator::CatchWindowBeats() const noexcept
{
    // 512 samples at 44100 Hz: the block length the catch window was first tuned with.
    constexpr double kCatchWindowSeconds = 512.0 / 44100.0;
    return SamplesToBeats(kCatchWindowSeconds * FSampleRate);
}

bool TArpeggiator::FinishStep()
{
    FPrevPpq = FPpq;
    return FGeneratedNote.Pitch >= 0;
}

void TArpeggiator::PlayStep(double stepLength)
{
    if (FSpeed != 0 && FFreeMode.SavedIndex > -1)
    {
        FSequenceIndex = FFreeMode.SavedIndex;
        FFreeMode.SavedIndex = -1;
    }
    ++FSequenceIndex;
    if (FSequenceIndex > FSequence.Count() - 1)
    {
        // Orders that draw anew on every pass, and a random octave range, rebuild at the wrap.
        if (FNoteOrder == kNoteOrderRandom || FNoteOrder == kNoteOrderRandomOct ||
            FOctaveOrder == kOctaveOrderRandom || FOctavesRandom > 0)
        {
            BuildSequence(true);
        }
        FSequenceIndex = 0;
    }
    if (FSequence.Count() == 0)
    {
        return;
    }
    const std::int32_t value = FSequence.Items(FSequenceIndex);
    if (value == kRestValue)
    {
        FGeneratedNote.Reset();
    }
    else
    {
        PlayNote(value, stepLength);
    }
    ApplyHostLoop(stepLength);
    if (Random(kProbabilityRange) >= static_cast<std::uint32_t>(std::max(FNoteProbability, 0)))
    {
        FGeneratedNote.Reset();
    }
    FStepCounter = GridIndex(static_cast<double>(FStepCounter) + 1.0);
    ComputeShift();
    ComputeSwing();
    if (FSpeed != 0)
    {
        FFreeMode.Clock = FFreeMode.Clock + stepLength;
        FNextStepPos = FFreeMode.Clock + FSwingOffset;
    }
    else
    {
        FNextStepPos =
            stepLength * FStepCounter + stepLength * (FCurrentShift / 100.0) + FSwingOffset;
    }
    if (CycleInForce() && BeatsToSamples(FNextStepPos) > FCycleEnd)
    {
        FCycleWrapPending = true;
    }
    FPendingOffset = 0.0;
}

// A pitch transposed out of the MIDI range is not sent, but its velocity and gate are still
// drawn so that the random sequence does not depend on the transposition.
void TArpeggiator::PlayNote(std::int32_t value, double stepLength)
{
    const int heldIndex = FSequence.Counter(FSequenceIndex);
    // The chord can only disagree with the sequence inside an open update bracket.
    const bool heldValid = heldIndex >= 0 && heldIndex < FHeldNotes.Count();
    const std::int64_t pitch = static_cast<std::int64_t>(value) + FTranspose;
    const bool dropped = !heldValid || pitch < 0 || pitch > kMaxPitch;
    const std::int32_t velocity = ScaleVelocity(heldValid ? BaseVelocity(heldIndex) : 0);
    std::int32_t offset = 0;
    std::int32_t length = 0;
    ComputeGateAndLength(stepLength, offset, length);
    FCurrentNote.StepStart = FNextStepPos;
    FCurrentNote.LengthBeats = SamplesToBeats(length);
    if (dropped)
    {
        FGeneratedNote.Reset();
        return;
    }
    const TMidiNoteItem& held = FHeldNotes.Items(heldIndex);
    FGeneratedNote.Channel = held.Channel;
    FGeneratedNote.SourceNote = held.Note;
    FGeneratedNote.Pitch = static_cast<std::int32_t>(pitch);
    FGeneratedNote.Velocity = velocity;
    FGeneratedNote.Offset = offset;
    FGeneratedNote.Length = length;
}

std::int32_t TArpeggiator::BaseVelocity(int heldIndex) const
{
    switch (FVelocityMode)
    {
    case kVelocityFirst:
        return FHeldNotes.Items(0).Velocity;
    case kVelocityLast:
        return FHeldNotes.Items(FHeldNotes.Count() - 1).Velocity;
    case kVelocityHighest:
        return FHighestVelocity;
    case kVelocityLowest:
        return FLowestVelocity;
    case kVelocityAverage:
        return FAverageVelocity;
    case kVelocityFixed:
        return FVelocityFixed;
    default:
        return FHeldNotes.Items(heldIndex).Velocity;
    }
}

// Negative scaling moves the velocity toward 0, positive toward 127.
std::int32_t TArpeggiator::ScaleVelocity(std::int32_t velocity) const
{
    std::int64_t scale = FVelocityScale;
    if (FVelocityRandom > 0)
    {
        scale = std::min<std::int64_t>(
            AddRandomUpTo(scale, FVelocityRandom, kMaxVelocityScaleWithRandom), kMaxVelocityScale);
    }
    double result = velocity;
    if (scale < 0)
    {
        result = velocity - RoundEven(static_cast<double>(velocity) * -scale / 100.0);
    }
    else if (scale > 0)
    {
        result = velocity + RoundEven(static_cast<double>(kMaxVelocity - velocity) * scale / 100.0);
    }
    return static_cast<std::int32_t>(std::clamp(result, 0.0, static_cast<double>(kMaxVelocity)));
}

void TArpeggiator::ComputeGateAndLength(double stepLength, std::int32_t& offset,
                                        std::int32_t& length)
{
    const std::int64_t gate =
        std::clamp<std::int64_t>(AddRandomUpTo(FGate, FGateRandom, kMaxGate), 0, kMaxGate);
    // A step whose time has passed sounds at once and is shortened by its delay, so that it
    // still ends where it would have.
    const double late = std::max(FStepFloor - FNextStepPos, 0.0);
    offset = RoundEvenInt(BeatsToSamples(FNextStepPos + late - FPpq));
    // A swung step is shortened by its delay, so that at gate 100 it ends on the grid.
    std::int64_t samples = RoundEvenInt(BeatsToSamples(
        (stepLength - FSwingOffset) * static_cast<double>(gate) / 100.0 + FPendingOffset - late));
    const double end = FNextStepPos + stepLength - FSwingOffset + FPendingOffset;
    if (end > FCurrentNote.StepEnd)
    {
        FCurrentNote.StepEnd = end;
    }
    const double minimum = StepBeats(kMinimumLengthIndex, FNoteType, 4, 4) * SamplesPerBeat();
    if (samples < minimum)
    {
        samples = RoundEvenInt(minimum);
    }
    // At gate 100 the note-off lands one sample before the next note-on. Only a degenerate
    // sample rate or tempo leaves no minimum to subtract from; a length stays 0 or more.
    length = SaturateInt32(static_cast<double>(std::max<std::int64_t>(samples - 1, 0)));
}

bool TArpeggiator::CycleInForce() const noexcept
{
    // A block that starts at the loop end lies after the loop: a looping host would have jumped
    // back already.
    return FCycleActive && FCycleStart <= FSamplePos && FSamplePos < FCycleEnd;
}

// A step that reaches the loop end is cut there (or dropped when too short), and the clock
// then waits for the host to jump back.
void TArpeggiator::ApplyHostLoop(double stepLength)
{
    if (!CycleInForce())
    {
        return;
    }
    const double offset = FGeneratedNote.Offset;
    const double stepSamples = BeatsToSamples(stepLength - FSwingOffset + FPendingOffset);
    if (stepSamples + offset + FSamplePos < FCycleEnd)
    {
        return;
    }
    const double room = FCycleEnd - offset - FSamplePos;
    if (FGeneratedNote.Length > room)
    {
        FGeneratedNote.Length = RoundEvenInt(room);
    }
    const double shortest = StepBeats(kShortestLoopNoteIndex, FNoteType, 4, 4) * SamplesPerBeat();
    if (FGeneratedNote.Length < shortest)
    {
        FGeneratedNote.Reset();
    }
    FCycleWrapPending = true;
}

void TArpeggiator::SetupFirstStep()
{
    if (FSpeed != 0)
    {
        FStepCounter = 0;
        FSwingOffset = 0.0;
        if (FFreeMode.ResyncPos > -1.0)
        {
            FNextStepPos = FFreeMode.ResyncPos;
        }
        else
        {
            const double grid = StepLength(kStepSixteenthBeat, true);
            FNextStepPos = grid * std::ceil((FStepFloor - CatchWindowBeats()) / grid);
        }
        FFreeMode.Clock = FNextStepPos;
    }
    else
    {
        SetupFirstStepSynchronised(StepLength(FRateIndex, false));
    }
    FFreeMode.ResyncPos = -1.0;
}

// The grid point is searched from the catch window before the start, so a step that fell just
// before a key is played at once, at the key.
void TArpeggiator::SetupFirstStepSynchronised(double stepLength)
{
    const double start = FStepFloor;
    const std::int32_t n = GridIndex(std::ceil((start - CatchWindowBeats()) / stepLength));
    FStepCounter = n;
    FNextStepPos = stepLength * n;
    if (FFreeMode.SpeedAtChange != 0)
    {
        // Speed went back to 0 while a free-running restart was pending: start there instead.
        FStepCounter = n - 1;
        FPendingOffset = FNextStepPos - FFreeMode.ResyncPos;
        FNextStepPos = FFreeMode.ResyncPos;
        FFreeMode.SpeedAtChange = 0;
        return;
    }
    if (FRateIndex >= kLongRateIndex)
    {
        // The first long note starts at the next beat and ends where the note of the previous
        // grid point would have ended.
        const double beat = StepLength(kStepOneBeat, false);
        const double nextBeat = beat * std::ceil((start - CatchWindowBeats()) / beat);
        if (nextBeat < FNextStepPos)
        {
            FNextStepPos = nextBeat;
            --FStepCounter;
            FPendingOffset = stepLength * FStepCounter - FNextStepPos;
        }
    }
    ComputeShift();
    if (FCurrentShift < 0)
    {
        // An early step is shortened instead of being moved into the past.
        const double delta = stepLength * FCurrentShift / 100.0;
        if (FNextStepPos + delta >= start)
        {
            FNextStepPos = FNextStepPos + delta;
        }
        else
        {
            FPendingOffset = FPendingOffset + delta;
        }
    }
    else if (FCurrentShift > 0)
    {
        if (FNextStepPos > start)
        {
            --FStepCounter;
        }
        FNextStepPos = stepLength * FStepCounter + stepLength * FCurrentShift / 100.0;
    }
    ComputeSwing();
    FNextStepPos = FNextStepPos + FSwingOffset;
}

// The random part only delays.
void TArpeggiator::ComputeShift()
{
    if (FSpeed != 0)
    {
        FCurrentShift = 0;
        return;
    }
    const std::int64_t shift = AddRandomUpTo(FShift, FShiftRandom, kMaxShift);
    FCurrentShift =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(shift, -kMaxShift, kMaxShift));
}

// Odd grid indices (counted from the song start when synchronised) are delayed by up to half a
// step; -1 counts as odd.
void TArpeggiator::ComputeSwing()
{
    if (FStepCounter % 2 == 0)
    {
        FSwingOffset = 0.0;
        return;
    }
    const std::int64_t swing =
        std::clamp<std::int64_t>(AddRandomUpTo(FSwing, FSwingRandom, kMaxSwing), 0, kMaxSwing);
    FSwingOffset = StepLength(FRateIndex, false) * static_cast<double>(swing) / 200.0;
}

} // namespace tumblet
