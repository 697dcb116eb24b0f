// Block processing and incoming MIDI: how held keys become the engine's chord and how each
// block's generated step and due note-offs go out to the host.

#include "plugin/Plugin.h"

#include "base/MidiStatus.h"
#include "engine/Rounding.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace tumblet
{

namespace
{

// What each block asks of the host: transport playing, ppq position, tempo, cycle and time
// signature (kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstCyclePosValid |
// kVstTimeSigValid).
constexpr std::int32_t kBlockTimeMask = 0x3602;

// Latched notes played within this window form one chord; a later note starts a new chord.
constexpr double kLatchChordWindowSeconds = 0.25;
// Steps a run of the engine may play: one for every eight samples, far more than any musical
// rate gives (the shortest step at 300 BPM lasts about 23 samples at 44100 Hz), and a bound on
// the work when a host reports an absurd tempo. Steps beyond it are skipped: the next run finds
// the grid again.
constexpr std::int32_t kSamplesPerStepAtMost = 8;
constexpr std::int32_t kMaxStepsPerRun = 1024;

// Rates from this index up are long notes that end at the next beat when their key is released.
constexpr std::uint8_t kLongRateIndex = 7;
// The step-length table's one-beat entry.
constexpr int kOneBeatIndex = 6;

bool Finite(double value)
{
    return std::isfinite(value);
}

} // namespace

void TVSTPlugin::NoteEnd(void* context, double positionSamples)
{
    auto& self = *static_cast<TVSTPlugin*>(context);
    TArpeggiator& engine = *self.FArpeggiator;
    TMidiNoteList& sounding = *self.FSoundingNotes;
    // Outside free-running time a note ends a quarter of the shortest note before the new
    // position, so that its note-off clearly precedes what starts there.
    const double margin =
        engine.Speed() != 0
            ? 0.0
            : engine.SamplesPerBeat() * TArpeggiator::StepBeats(0, engine.NoteType(), 4, 4) / 4.0;
    for (int i = 0; i < sounding.Count(); ++i)
    {
        TMidiNoteItem& note = sounding.Items(i);
        if (note.Start + note.Length > positionSamples)
            note.Length = positionSamples - note.Start - margin;
    }
}

void TVSTPlugin::VSTModuleSampleRateChange(float sampleRate)
{
    // A rate of zero or less would make every conversion divide by zero; keep the last one.
    if (!(sampleRate > 0.0f && std::isfinite(sampleRate)))
        return;
    // Some hosts change the rate while processing runs on another thread.
    std::lock_guard<std::recursive_mutex> lock(InstanceLock());
    FArpeggiator->SetSampleRate(sampleRate);
}

// ---- Block processing --------------------------------------------------------------------------

void TVSTPlugin::VSTModuleProcess32Replacing(float**, float** outputs, std::uint32_t sampleFrames)
{
    for (std::int32_t channel = 0; outputs != nullptr && channel < 2 && channel < NumOutputs();
         ++channel)
    {
        if (outputs[channel] != nullptr)
            std::fill(outputs[channel], outputs[channel] + sampleFrames, 0.0f);
    }
    EditorMailbox().RetryPublish();

    ReadHostTime(sampleFrames);
    TArpeggiator& engine = *FArpeggiator;
    const auto frames = static_cast<std::int32_t>(std::min<std::uint32_t>(sampleFrames, INT32_MAX));
    if (HandleTransport(sampleFrames))
    {
        // Jump back: a loop, a relocation backwards or a position that did not advance.
        if (!(engine.Ppq() > engine.PrevPpq()) && engine.PrevPpq() >= 0 && engine.Ppq() >= 0)
        {
            EndAllSoundingNotes(true, 0);
            engine.ResetAll();
        }
        // A block without samples keeps the keys for the next one.
        if (frames > 0)
            ProcessBlock(frames);
    }
    FWasPlaying = engine.Playing();
    FProcessedSamples += frames;
}

// The block is played in runs between the keys' offsets, each run at its own position, so that
// the result does not depend on where the host's blocks begin and end.
void TVSTPlugin::ProcessBlock(std::int32_t sampleFrames)
{
    TArpeggiator& engine = *FArpeggiator;
    FBlockSamplePos = engine.SamplePos();
    FBlockPpq = engine.Ppq();
    FBlockFrames = sampleFrames;
    // Keys are taken in time order; keys at one offset keep the host's order (an insertion
    // sort: stable, and it allocates nothing).
    for (std::int32_t i = 0; i < FKeyEventCount; ++i)
    {
        TKeyEvent key = FKeyEvents[i];
        key.Offset = std::clamp(key.Offset, 0, sampleFrames - 1);
        std::int32_t j = i;
        for (; j > 0 && FKeyEvents[j - 1].Offset > key.Offset; --j)
            FKeyEvents[j] = FKeyEvents[j - 1];
        FKeyEvents[j] = key;
    }
    std::int32_t done = 0;
    std::int32_t next = 0;
    while (next < FKeyEventCount)
    {
        const std::int32_t offset = FKeyEvents[next].Offset;
        if (offset > done)
        {
            RunEngine(done, offset);
            done = offset;
        }
        MoveEngineTo(offset);
        while (next < FKeyEventCount && FKeyEvents[next].Offset == offset)
            ApplyKey(FKeyEvents[next++], offset);
    }
    FKeyEventCount = 0;
    RunEngine(done, sampleFrames);
    FBlockFrames = 0;
    // The next block compares its position with this block's start, not with the last run's,
    // because hosts round the song position they report.
    engine.SetPrevPpq(FBlockPpq);
}

void TVSTPlugin::MoveEngineTo(std::int32_t offset)
{
    TArpeggiator& engine = *FArpeggiator;
    if (offset == 0 && engine.SamplePos() == FBlockSamplePos)
        return;
    engine.SetSamplePos(FBlockSamplePos + offset);
    engine.SetPpq(FBlockPpq + engine.SamplesToBeats(offset));
}

void TVSTPlugin::RunEngine(std::int32_t from, std::int32_t to)
{
    if (to <= from)
        return;
    TArpeggiator& engine = *FArpeggiator;
    MoveEngineTo(from);
    engine.BeginBlock(to - from);
    const std::int32_t maxSteps =
        std::min(1 + (to - from) / kSamplesPerStepAtMost, kMaxStepsPerRun);
    for (std::int32_t step = 0; step < maxSteps && engine.NextStep(); ++step)
    {
        if (engine.GeneratedNote().Pitch >= 0)
        {
            // Notes that end before this one starts, also those of this run, end first.
            SendDueNoteOffs(from + engine.GeneratedNote().Offset);
            SendGeneratedStep(from);
        }
    }
    SendDueNoteOffs(to);
    engine.EndBlock();
}

// Keys that arrive while the transport stops are taken before the chord is emptied.
void TVSTPlugin::ApplyHeldKeys(std::int32_t offset)
{
    for (std::int32_t i = 0; i < FKeyEventCount; ++i)
        ApplyKey(FKeyEvents[i], offset);
    FKeyEventCount = 0;
}

void TVSTPlugin::ApplyKey(const TKeyEvent& key, std::int32_t offset)
{
    if (IsMidiNoteOn(key.Status, key.Velocity))
        HandleNoteOn(MidiChannel(key.Status), key.Note, key.Velocity, offset);
    else
        HandleNoteOff(key.Note);
}

bool TVSTPlugin::ReadHostTime(std::uint32_t sampleFrames)
{
    TArpeggiator& engine = *FArpeggiator;
    const VstTimeInfo* timeInfo = GetTimeInfo(kBlockTimeMask);
    // A host that gives no time info, or a tempo or position that cannot be used, gets the
    // block treated as stopped at the last usable tempo: the module's own clock keeps going and
    // nothing divides by zero.
    if (timeInfo == nullptr || !(timeInfo->tempo > 0.0) || !Finite(timeInfo->tempo) ||
        !Finite(timeInfo->samplePos) || !Finite(timeInfo->ppqPos))
    {
        engine.SetTempo(FLastTempo);
        engine.SetPlaying(false);
        engine.SetCycleActive(false);
        FPhaseLock.Reset();
        return false;
    }
    FLastTempo = timeInfo->tempo;
    engine.SetTempo(timeInfo->tempo);
    engine.SetPlaying((timeInfo->flags & kVstTransportPlaying) != 0);
    ApplyHostPosition(*timeInfo, sampleFrames);
    if (engine.Playing())
    {
        if ((timeInfo->flags & kVstCyclePosValid) != 0)
        {
            engine.SetCycleActive((timeInfo->flags & kVstTransportCycleActive) != 0);
            engine.SetCycleStart(engine.BeatsToSamples(timeInfo->cycleStartPos));
            engine.SetCycleEnd(engine.BeatsToSamples(timeInfo->cycleEndPos));
        }
    }
    else
    {
        engine.SetCycleActive(false);
    }
    if ((timeInfo->flags & kVstTimeSigValid) != 0 && timeInfo->timeSigNumerator > 0 &&
        timeInfo->timeSigDenominator > 0)
    {
        engine.SetTimeSigNumerator(timeInfo->timeSigNumerator);
        engine.SetTimeSigDenominator(timeInfo->timeSigDenominator);
    }
    return true;
}

void TVSTPlugin::ApplyHostPosition(const VstTimeInfo& timeInfo, std::uint32_t sampleFrames)
{
    TArpeggiator& engine = *FArpeggiator;
    engine.SetSamplePos(timeInfo.samplePos);
    engine.SetPpq(timeInfo.ppqPos);
    // A host that gives no name is trusted only with its musical position.
    if (HostIsUnknown())
    {
        engine.SetSamplePos(RoundEven(engine.BeatsToSamples(engine.Ppq())));
        FPhaseLock.Reset();
        return;
    }
    // While the transport rolls, the exact sample position carries the song position from
    // block to block; a stop forgets it, so that the next start takes the host's position.
    if (!engine.Playing())
    {
        FPhaseLock.Reset();
        return;
    }
    engine.SetPpq(FPhaseLock.Lock(
        {timeInfo.samplePos, timeInfo.ppqPos, timeInfo.tempo, engine.SampleRate()}, sampleFrames));
}

bool TVSTPlugin::HandleTransport(std::uint32_t sampleFrames)
{
    TArpeggiator& engine = *FArpeggiator;
    if (engine.Playing())
    {
        if (!FWasPlaying)
        {
            TransportStarted();
            // What sounds was timed on the module's own clock, which the host's position does
            // not continue: left alone, its note-off would come far too late or far before the
            // block.
            EndAllSoundingNotes(false, 0);
            engine.ResetAll();
        }
        return true;
    }
    if (FWasPlaying)
    {
        ApplyHeldKeys(0);
        EndAllSoundingNotes(false, 0);
        engine.ClearAll();
        FSampleCounter = 0;
        PostHeldNotesText();
        return false;
    }
    engine.SetSamplePos(FSampleCounter);
    engine.SetPpq(engine.SamplesToBeats(engine.SamplePos()));
    FSampleCounter += sampleFrames;
    return true;
}

void TVSTPlugin::EndAllSoundingNotes(bool lastFirst, std::int32_t offset)
{
    TMidiNoteList& sounding = *FSoundingNotes;
    const int count = sounding.Count();
    for (int n = 0; n < count; ++n)
    {
        const TMidiNoteItem& note = sounding.Items(lastFirst ? count - 1 - n : n);
        QueueNoteOff(note.Channel, note.Note, note.Velocity, offset);
    }
    sounding.BeginUpdate();
    while (sounding.Count() > 0)
        sounding.Delete(sounding.Count() - 1);
    sounding.EndUpdate();
}

// Ends the notes due up to the given offset, inclusive. A note-off due after the host's block
// stays queued for the block it falls in.
void TVSTPlugin::SendDueNoteOffs(std::int32_t upTo)
{
    TMidiNoteList& sounding = *FSoundingNotes;
    const double runEnd = FBlockSamplePos + upTo;
    for (int i = sounding.Count() - 1; i >= 0; --i)
    {
        const TMidiNoteItem& note = sounding.Items(i);
        const double end = note.Start + note.Length;
        if (runEnd >= end)
        {
            QueueNoteOff(note.Channel, note.Note, note.Velocity,
                         SaturateInt32(RoundEven(end - FBlockSamplePos)));
            sounding.Delete(i);
        }
    }
}

void TVSTPlugin::SendGeneratedStep(std::int32_t from)
{
    const TGeneratedNote& g = FArpeggiator->GeneratedNote();
    TMidiNoteList& sounding = *FSoundingNotes;
    // A note that cannot be tracked for its note-off is not started at all, nor one that would
    // not leave room in the outgoing block for a note-off of everything then sounding.
    if (sounding.Count() >= sounding.Capacity() ||
        MidiOutCount() + sounding.Count() + 2 > kMidiOutLimit)
        return;
    const std::int32_t offset = from + g.Offset;
    const int repeated = sounding.IndexOfNote(g.Pitch);
    if (repeated >= 0)
    {
        const TMidiNoteItem& note = sounding.Items(repeated);
        QueueNoteOff(note.Channel, note.Note, note.Velocity, offset);
        sounding.Delete(repeated);
    }
    QueueNoteOn(g.Channel, g.Pitch, g.Velocity, offset);
    sounding.AddSounding(g.SourceNote, g.Channel, g.Length, g.Offset + FArpeggiator->SamplePos(),
                         g.Velocity, g.Pitch);
}

// ---- Incoming MIDI
// -------------------------------------------------------------------------------

void TVSTPlugin::VSTModuleProcessMidi(const TVstMidiEvent& event)
{
    // Controller learn and mapped controllers come first, for every event.
    TVSTPluginBase::VSTModuleProcessMidi(event);
    const auto status = static_cast<std::uint8_t>(event.midiData[0]);
    const std::int32_t channel = MidiChannel(status);
    const std::int32_t kind = MidiKind(status);
    const std::int32_t d1 = event.midiData[1] & 0x7F;
    const std::int32_t d2 = event.midiData[2] & 0x7F;
    if (kind == kMidiNoteOn || kind == kMidiNoteOff)
    {
        // Keys take effect when the block reaches them. Should the host send more keys than
        // fit before processing, the rest take effect at once rather than be lost.
        if (FKeyEventCount < kMaxKeyEvents)
            FKeyEvents[FKeyEventCount++] = {event.deltaFrames, status,
                                            static_cast<std::uint8_t>(d1),
                                            static_cast<std::uint8_t>(d2)};
        else if (kind == kMidiNoteOn && d2 > 0)
            HandleNoteOn(channel, d1, d2, 0);
        else
            HandleNoteOff(d1);
    }
    else
    {
        PassThrough(kind, channel, d1, d2, event.deltaFrames);
    }
}

void TVSTPlugin::HandleNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                              std::int32_t offset)
{
    TArpeggiator& engine = *FArpeggiator;
    TMidiNoteList& held = engine.HeldNotes();
    // One rebuild of the sequence when the bracket closes, also when nothing was added.
    held.BeginUpdate();
    bool restartClock = false;
    if (engine.Latch())
    {
        const std::int64_t now = FProcessedSamples + offset;
        const double window = kLatchChordWindowSeconds * engine.SampleRate();
        if (static_cast<double>(now - FLastNoteOnSample) > window)
        {
            for (int i = held.Count() - 1; i >= 0; --i)
            {
                if (FPressedKeys->IndexOfNote(held.Items(i).Note) < 0)
                    held.Delete(i);
            }
        }
        if (held.IndexOfNote(note) < 0)
            held.AddNote(channel, note, velocity);
        FLastNoteOnSample = now;
    }
    else
    {
        if (!engine.CycleActive() || held.IndexOfNote(note) < 0)
            held.AddNote(channel, note, velocity);
        restartClock = !engine.Playing() && FPressedKeys->Count() == 0 && FBlockFrames > 0;
    }
    held.EndUpdate();
    FPressedKeys->AddNote(note);
    PostHeldNotesText();
    if (restartClock)
    {
        // The own clock restarts at the first key of a new chord, so its first step sounds
        // with the key; what still sounds from before ends there.
        FBlockSamplePos = -static_cast<double>(offset);
        FBlockPpq = engine.SamplesToBeats(FBlockSamplePos);
        FSampleCounter = static_cast<std::uint32_t>(FBlockFrames - offset);
        MoveEngineTo(offset);
        EndAllSoundingNotes(true, offset);
        engine.ResetAll();
    }
}

void TVSTPlugin::HandleNoteOff(std::int32_t note)
{
    TArpeggiator& engine = *FArpeggiator;
    if (!engine.Latch())
    {
        // The engine's position is already the key's own.
        engine.HeldNotes().RemoveNote(note);
        TrimReleasedNotes(note);
        PostHeldNotesText();
    }
    FPressedKeys->RemoveNote(note);
}

void TVSTPlugin::TrimReleasedNotes(std::int32_t note)
{
    TArpeggiator& engine = *FArpeggiator;
    TMidiNoteList& sounding = *FSoundingNotes;
    if (engine.Speed() != 0)
    {
        const double oneBeat = engine.BeatsToSamples(engine.StepLength(kOneBeatIndex, true));
        for (int i = 0; i < sounding.Count(); ++i)
        {
            TMidiNoteItem& item = sounding.Items(i);
            if (item.SourceNote == note && item.Length > oneBeat)
            {
                const double played = engine.SamplePos() - item.Start;
                item.Length = played > oneBeat ? played : oneBeat;
                engine.CurrentNote().StepEnd = engine.SamplesToBeats(item.Start + item.Length);
            }
            engine.FreeMode().ResyncPos = engine.CurrentNote().StepEnd;
        }
    }
    else if (engine.RateIndex() >= kLongRateIndex)
    {
        const double beat = engine.StepLength(kOneBeatIndex, false);
        const double nextBeat = beat * CeilInt(engine.Ppq() / beat);
        for (int i = 0; i < sounding.Count(); ++i)
        {
            TMidiNoteItem& item = sounding.Items(i);
            if (item.SourceNote != note)
                continue;
            item.Length = engine.BeatsToSamples(nextBeat) - item.Start;
            engine.CurrentNote().StepEnd = nextBeat;
        }
    }
}

void TVSTPlugin::PassThrough(std::int32_t kind, std::int32_t channel, std::int32_t d1,
                             std::int32_t d2, std::int32_t delta)
{
    // A full outgoing block drops what comes next. Room is kept for a note-off of every
    // sounding note and for the block's next note-on and its note-off, so a flood of passed-through
    // messages cannot leave a note hanging.
    if (MidiOutCount() + FSoundingNotes->Count() + 2 >= kMidiOutLimit)
        return;
    switch (kind)
    {
    case kMidiControlChange:
        QueueControlChange(channel, d1, d2, delta);
        break;
    case kMidiPolyPressure:
        QueuePolyPressure(channel, d1, d2, delta);
        break;
    case kMidiChannelPressure:
        QueueChannelPressure(channel, d1, delta);
        break;
    case kMidiPitchBend:
        QueuePitchBend(channel, d1, d2, delta);
        break;
    default:
        // Program changes, system messages and the rest are not passed on.
        break;
    }
}

void TVSTPlugin::PostHeldNotesText()
{
    TEditorMailbox& mailbox = EditorMailbox();
    const std::size_t length =
        FArpeggiator->HeldNotes().NotesText(mailbox.StageBuffer(), TEditorMailbox::kCapacity);
    mailbox.Publish(TEditorMailbox::TKind::InfoLabel, length);
}

} // namespace tumblet
