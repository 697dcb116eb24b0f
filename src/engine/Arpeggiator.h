#pragma once

#include "engine/BlxIntList.h"
#include "engine/BlxMidiNoteList.h"
#include "engine/CurrentNote.h"
#include "engine/FreeMode.h"
#include "engine/GeneratedNote.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tumblet
{

/// Asks the owner to shorten the generated notes that would sound past positionSamples.
using TNoteEndHandler = void (*)(void* context, double positionSamples);

/// The arpeggiator engine: settings, the host's timing for the current block, the held chord,
/// the sequence built from it and the step clock. Pure: time arrives as data and randomness
/// only through the shared Random.
///
/// Bounds (all storage is reserved at construction; nothing allocates afterwards, except
/// SpeedText): kMaxHeldNotes held notes (further note-ons are ignored), 1 to kMaxOctaves
/// octaves, and a Sequence of kMaxSequence entries; rests beyond that room are dropped.
// Thread: every member is called under the owning module's instance lock, from the audio
// thread or from whichever thread sets parameters.
class TArpeggiator
{
public:
    static constexpr int kMaxHeldNotes = 256;
    static constexpr int kMaxOctaves = 5;
    /// "Up->Down 2" and "Down->Up 2" visit every octave twice.
    static constexpr int kMaxOctaveSlots = 2 * kMaxOctaves;
    static constexpr int kMaxRests = 16;
    /// The longest note orders put each slot's chord in twice.
    static constexpr int kMaxSequence = 2 * kMaxOctaveSlots * kMaxHeldNotes + kMaxRests;
    /// The step-length table runs from index 0 (1/64 beat) to 13 (128 beats).
    static constexpr int kMaxRateIndex = 13;

    TArpeggiator();
    TArpeggiator(const TArpeggiator&) = delete;
    TArpeggiator& operator=(const TArpeggiator&) = delete;

    /// Bound once right after construction.
    void SetNoteEndCallback(TNoteEndHandler handler, void* context) noexcept;

    // Settings whose change rebuilds the sequence or restarts the step clock.
    void SetNoteOrder(std::uint8_t code);
    void SetOctaveOrder(std::uint8_t code);
    void SetOctaves(std::int32_t octaves);
    /// A non-zero value takes effect when the sequence next wraps.
    void SetOctavesRandom(std::int32_t octaves);
    void SetRest(std::int32_t rest);
    /// Switching off drops the whole held chord, keys still pressed included.
    void SetLatch(bool on);
    void SetRate(std::uint8_t rateIndex);
    void SetNoteType(std::uint8_t noteType);
    void SetSpeed(std::int32_t speed);
    void SetTempo(double bpm);
    void SetTimeSigNumerator(std::int32_t numerator);
    void SetTimeSigDenominator(std::int32_t denominator);
    void SetPlaying(bool on) noexcept { FPlaying = on; }
    void SetVelocityMode(std::uint8_t code);

    // Plain settings, in percent unless stated.
    void SetGate(std::int32_t v) noexcept { FGate = v; }
    void SetGateRandom(std::int32_t v) noexcept { FGateRandom = v; }
    void SetNoteProbability(std::int32_t v) noexcept { FNoteProbability = v; }
    void SetVelocityFixed(std::int32_t v) noexcept { FVelocityFixed = v; }
    void SetVelocityScale(std::int32_t v) noexcept { FVelocityScale = v; }
    void SetVelocityRandom(std::int32_t v) noexcept { FVelocityRandom = v; }
    void SetShift(std::int32_t v) noexcept { FShift = v; }
    void SetShiftRandom(std::int32_t v) noexcept { FShiftRandom = v; }
    void SetSwing(std::int32_t v) noexcept { FSwing = v; }
    void SetSwingRandom(std::int32_t v) noexcept { FSwingRandom = v; }
    void SetTranspose(std::int32_t semitones) noexcept { FTranspose = semitones; }
    void SetRestart(bool on) noexcept { FRestart = on; }

    // Host timing for the current block.
    void SetSampleRate(double rate) noexcept { FSampleRate = rate; }
    void SetPpq(double beats) noexcept { FPpq = beats; }
    void SetSamplePos(double samples) noexcept { FSamplePos = samples; }
    void SetCycleActive(bool on) noexcept { FCycleActive = on; }
    void SetCycleStart(double samples) noexcept { FCycleStart = samples; }
    void SetCycleEnd(double samples) noexcept { FCycleEnd = samples; }

    std::uint8_t NoteOrder() const noexcept { return FNoteOrder; }
    std::uint8_t OctaveOrder() const noexcept { return FOctaveOrder; }
    std::int32_t Gate() const noexcept { return FGate; }
    std::int32_t GateRandom() const noexcept { return FGateRandom; }
    bool Latch() const noexcept { return FLatch; }
    std::int32_t NoteProbability() const noexcept { return FNoteProbability; }
    std::int32_t Octaves() const noexcept { return FOctaves; }
    std::int32_t OctavesRandom() const noexcept { return FOctavesRandom; }
    std::uint8_t RateIndex() const noexcept { return FRateIndex; }
    std::uint8_t NoteType() const noexcept { return FNoteType; }
    std::int32_t Rest() const noexcept { return FRest; }
    bool Restart() const noexcept { return FRestart; }
    std::int32_t Shift() const noexcept { return FShift; }
    std::int32_t ShiftRandom() const noexcept { return FShiftRandom; }
    std::int32_t Speed() const noexcept { return FSpeed; }
    std::int32_t Swing() const noexcept { return FSwing; }
    std::int32_t SwingRandom() const noexcept { return FSwingRandom; }
    std::int32_t Transpose() const noexcept { return FTranspose; }
    std::int32_t VelocityFixed() const noexcept { return FVelocityFixed; }
    std::uint8_t VelocityMode() const noexcept { return FVelocityMode; }
    std::int32_t VelocityRandom() const noexcept { return FVelocityRandom; }
    std::int32_t VelocityScale() const noexcept { return FVelocityScale; }

    bool CycleActive() const noexcept { return FCycleActive; }
    double CycleEnd() const noexcept { return FCycleEnd; }     ///< samples
    double CycleStart() const noexcept { return FCycleStart; } ///< samples
    double Ppq() const noexcept { return FPpq; }               ///< beats
    double SamplePos() const noexcept { return FSamplePos; }   ///< samples
    double SampleRate() const noexcept { return FSampleRate; } ///< samples per second
    double Tempo() const noexcept { return FTempo; }           ///< beats per minute
    std::int32_t TimeSigDenominator() const noexcept { return FTimeSigDenominator; }
    std::int32_t TimeSigNumerator() const noexcept { return FTimeSigNumerator; }
    bool Playing() const noexcept { return FPlaying; }

    // The step clock (positions and lengths in beats).
    double PrevPpq() const noexcept { return FPrevPpq; }
    /// The module sets the previous block's position when it split that block into parts.
    void SetPrevPpq(double beats) noexcept { FPrevPpq = beats; }
    double PendingOffset() const noexcept { return FPendingOffset; }
    bool ResyncRequested() const noexcept { return FResyncRequested; }
    double NextStepPos() const noexcept { return FNextStepPos; }
    std::int32_t SequenceIndex() const noexcept { return FSequenceIndex; }
    std::int32_t CurrentShift() const noexcept { return FCurrentShift; } ///< percent of a step
    double BlockBeats() const noexcept { return FBlockBeats; }
    std::int32_t StepCounter() const noexcept { return FStepCounter; }
    double SwingOffset() const noexcept { return FSwingOffset; }
    bool CycleWrapPending() const noexcept { return FCycleWrapPending; }
    std::int32_t AverageVelocity() const noexcept { return FAverageVelocity; }
    std::int32_t HighestVelocity() const noexcept { return FHighestVelocity; }
    std::int32_t LowestVelocity() const noexcept { return FLowestVelocity; }

    TCurrentNote& CurrentNote() noexcept { return FCurrentNote; }
    TFreeMode& FreeMode() noexcept { return FFreeMode; }
    const TGeneratedNote& GeneratedNote() const noexcept { return FGeneratedNote; }
    /// Duplicates allowed; changes rebuild the sequence through OnNotesChanged.
    TMidiNoteList& HeldNotes() noexcept { return FHeldNotes; }
    const TBlxIntList& Sequence() const noexcept { return FSequence; }

    /// The held chord's change handler.
    void OnNotesChanged();
    void Reset(bool full);
    /// Called when the transport starts and when the song position jumps back.
    void ResetAll();
    /// Called when the transport stops: drops the held chord, then ResetAll.
    void ClearAll();
    void UpdateVelocityAggregates();
    /// Picks where the step clock restarts after a rate, note-type or speed change and trims
    /// the sounding notes there; false when there is nothing to restart.
    bool ScheduleResync();

    void BuildSequence(bool restartFlag);
    /// Plays at most one step in a block of sampleFrames samples; true when GeneratedNote holds
    /// a note to send.
    bool GenerateStep(std::int32_t sampleFrames);
    /// GenerateStep in parts, for a module that plays every step of a long block: BeginBlock
    /// once, then NextStep until it answers false (each true answer played one step, whose
    /// note, if any, is in GeneratedNote), then EndBlock.
    void BeginBlock(std::int32_t sampleFrames);
    bool NextStep();
    void EndBlock() noexcept { FPrevPpq = FPpq; }
    /// How far back from the position where the step clock starts a grid point is still played
    /// (at that position), in beats: a fixed time, so that it does not depend on block sizes.
    double CatchWindowBeats() const noexcept;
    void SetupFirstStep();
    void ComputeShift();
    void ComputeSwing();

    // Timing. Lengths in beats unless stated.
    static double BarScaled(int index, std::int32_t numerator, std::int32_t denominator) noexcept;
    static double TypeFactor(std::uint8_t noteType) noexcept;
    static double StepBeats(int index, std::uint8_t noteType, std::int32_t numerator,
                            std::int32_t denominator) noexcept;
    static double SpeedFactor(double speed) noexcept;
    double StepLength(int index, bool ignoreSpeed) const noexcept;
    double BeatsToSamples(double beats) const noexcept;
    double SamplesToBeats(double samples) const noexcept;
    double SamplesPerBeat() const noexcept;

    /// The Speed display: "1" at 0, else the factor with two decimals and "x".
    static std::string SpeedText(float speed, std::string_view decimalSeparator);

private:
    static void HeldNotesChanged(void* context, TMidiNoteList& sender);
    void RequestTimingResync();
    void NoteEnd(double positionSamples);

    // Sequence building.
    int OctaveCount();
    void BuildOctaveList(int effectiveOrder, int octaveCount);
    void FillBlock(int slot, TBlxIntList& list) const;
    void AppendBlock(int slot, int sortOrder, bool dropFirst, bool dropLast);
    void AppendAllBlocks(int sortOrder, bool converge);
    void AppendBlocksConverged(int sortOrder);
    void AppendBlocksShuffled();
    void AppendPingPong(bool upFirst, bool trimEnds);
    void AppendPerOctavePingPong(bool upFirst);
    void AppendXrossReturn();
    void FillSequence();
    void AppendConverged(const TBlxIntList& list);
    void AppendRests();
    void RestorePosition(bool restartFlag, std::int32_t previous);

    // Step generation.
    bool FinishStep();
    void PlayStep(double stepLength);
    void PlayNote(std::int32_t value, double stepLength);
    std::int32_t BaseVelocity(int heldIndex) const;
    std::int32_t ScaleVelocity(std::int32_t velocity) const;
    void ComputeGateAndLength(double stepLength, std::int32_t& offset, std::int32_t& length);
    bool CycleInForce() const noexcept;
    void ApplyHostLoop(double stepLength);
    void SetupFirstStepSynchronised(double stepLength);

    std::uint8_t FNoteOrder = 0;
    std::uint8_t FOctaveOrder = 0;
    TCurrentNote FCurrentNote;
    TFreeMode FFreeMode;
    std::int32_t FGate = 100;
    std::int32_t FGateRandom = 0;
    TGeneratedNote FGeneratedNote;
    TMidiNoteList FHeldNotes;
    bool FLatch = false;
    bool FCycleActive = false;
    double FCycleEnd = 0.0;
    double FCycleStart = 0.0;
    std::int32_t FNoteProbability = 100;
    std::int32_t FOctaves = 2;
    std::int32_t FOctavesRandom = 0;
    TNoteEndHandler FNoteEndCallback = nullptr;
    void* FNoteEndContext = nullptr;
    double FPpq = 0.0;
    double FPrevPpq = 0.0;
    std::uint8_t FRateIndex = 4; ///< a sixteenth note
    std::uint8_t FNoteType = 1;  ///< normal
    std::int32_t FRest = 0;
    bool FRestart = false;
    double FSamplePos = 0.0;
    double FSampleRate = 44100.0;
    std::int32_t FShift = 0;
    std::int32_t FShiftRandom = 0;
    std::int32_t FSpeed = 0;
    std::int32_t FSwing = 0;
    std::int32_t FSwingRandom = 0;
    double FTempo = 120.0;
    std::int32_t FTimeSigDenominator = 4;
    std::int32_t FTimeSigNumerator = 4;
    bool FPlaying = false;
    std::int32_t FTranspose = 0;
    std::int32_t FVelocityFixed = 100;
    std::uint8_t FVelocityMode = 0;
    std::int32_t FVelocityRandom = 0;
    std::int32_t FVelocityScale = 0;
    double FPendingOffset = 0.0;
    bool FResyncRequested = false;
    double FNextStepPos = -1.0;
    std::int32_t FSequenceIndex = -1;
    TBlxIntList FSequence;
    TBlxIntList FScratch;
    TBlxIntList FOctaveList; ///< octave numbers of the slots, rebuilt by every build
    std::int32_t FCurrentShift = 0;
    double FBlockBeats = 0.0;
    std::int32_t FBlockFrames = 0; ///< samples in the current call
    /// The earliest position a step may sound at in the current call, in beats: the call's start,
    /// or the end of the current step when that lies later.
    double FStepFloor = 0.0;
    bool FBlockOpen = false; ///< steps may be played in the current call
    std::int32_t FStepCounter = -1;
    double FSwingOffset = 0.0;
    bool FCycleWrapPending = false;
    std::int32_t FAverageVelocity = 0;
    std::int32_t FHighestVelocity = 0;
    std::int32_t FLowestVelocity = 0;
};

} // namespace tumblet
