#include "vst2/VSTModuleWithMidi.h"

#include "base/MidiStatus.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace tumblet
{

namespace
{
// What the record says of its own size: the interface's MIDI event without the header fields.
constexpr std::int32_t kMidiEventByteSize = 24;
constexpr std::int32_t kPitchMask = 0x7F;

std::uint8_t StatusOf(const VstMidiEvent& event) noexcept
{
    return static_cast<std::uint8_t>(event.midiData[0]);
}

bool IsNote(const VstMidiEvent& event) noexcept
{
    const std::uint8_t kind = MidiKind(StatusOf(event));
    return kind == kMidiNoteOn || kind == kMidiNoteOff;
}

std::size_t KeyOf(std::uint8_t status, std::int32_t note) noexcept
{
    return static_cast<std::size_t>(MidiChannel(status)) * 128 +
           static_cast<std::size_t>(note & kPitchMask);
}

std::size_t KeyOf(const VstMidiEvent& event) noexcept
{
    return KeyOf(StatusOf(event), event.midiData[1]);
}

VstMidiEvent& Record(VstEvent* event) noexcept
{
    return *reinterpret_cast<VstMidiEvent*>(event);
}
} // namespace

TVSTModuleWithMidi::TVSTModuleWithMidi()
    : FMidiOut(std::make_unique<TMidiOutBlock>()),
      FMidiOutRecords(std::make_unique<std::array<VstMidiEvent, kMidiOutRecords>>())
{
    std::memset(FMidiOut.get(), 0, sizeof(TMidiOutBlock));
    for (std::int32_t i = 0; i < kMidiOutRecords; ++i)
    {
        VstMidiEvent& record = (*FMidiOutRecords)[i];
        std::memset(&record, 0, sizeof(record));
        record.type = kVstMidiType;
        record.byteSize = kMidiEventByteSize;
        FMidiOut->events[i] = reinterpret_cast<VstEvent*>(&record);
    }
}

TVSTModuleWithMidi::~TVSTModuleWithMidi() = default;

void TVSTModuleWithMidi::Queue(std::uint8_t status, std::int32_t data1, std::int32_t data2,
                               std::int32_t deltaFrames) noexcept
{
    auto* record = reinterpret_cast<VstMidiEvent*>(FMidiOut->events[FMidiOut->numEvents]);
    record->type = kVstMidiType;
    record->midiData[0] = static_cast<char>(status);
    record->midiData[1] = static_cast<char>(data1 & 0xFF);
    record->midiData[2] = static_cast<char>(data2 & 0xFF);
    record->deltaFrames = deltaFrames;
    // A full block keeps rewriting its last slot, which never leaves.
    if (FMidiOut->numEvents < kMidiOutLimit)
        ++FMidiOut->numEvents;
}

// The 8-bit sum of the kind and the channel, unmasked, as the interface's hosts expect.
static std::uint8_t StatusFor(std::uint8_t base, std::int32_t channel) noexcept
{
    return static_cast<std::uint8_t>(base + static_cast<std::uint8_t>(channel & 0xFF));
}

void TVSTModuleWithMidi::QueueNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                                     std::int32_t deltaFrames) noexcept
{
    const std::uint8_t off = StatusFor(kMidiNoteOff, channel);
    const std::size_t key = KeyOf(static_cast<std::uint8_t>(channel), note);
    FQueuedOns.set(key);
    for (std::int32_t i = 0; FQueuedOffs.test(key) && i < FMidiOut->numEvents; ++i)
    {
        VstMidiEvent& queued = Record(FMidiOut->events[i]);
        if (StatusOf(queued) == off && (queued.midiData[1] & 0xFF) == (note & 0xFF) &&
            queued.deltaFrames > deltaFrames)
            queued.deltaFrames = deltaFrames;
    }
    Queue(StatusFor(kMidiNoteOn, channel), note, velocity, deltaFrames);
}

void TVSTModuleWithMidi::QueueNoteOff(std::int32_t channel, std::int32_t note,
                                      std::int32_t velocity, std::int32_t deltaFrames) noexcept
{
    // A note whose note-on still waits for a later offset ends there, not before it starts.
    const std::uint8_t on = StatusFor(kMidiNoteOn, channel);
    const std::size_t key = KeyOf(static_cast<std::uint8_t>(channel), note);
    FQueuedOffs.set(key);
    for (std::int32_t i = 0; FQueuedOns.test(key) && i < FMidiOut->numEvents; ++i)
    {
        const VstMidiEvent& queued = Record(FMidiOut->events[i]);
        if (StatusOf(queued) == on && (queued.midiData[1] & 0xFF) == (note & 0xFF) &&
            queued.deltaFrames > deltaFrames)
            deltaFrames = queued.deltaFrames;
    }
    Queue(StatusFor(kMidiNoteOff, channel), note, velocity, deltaFrames);
}

void TVSTModuleWithMidi::QueueControlChange(std::int32_t channel, std::int32_t controller,
                                            std::int32_t value, std::int32_t deltaFrames) noexcept
{
    Queue(StatusFor(kMidiControlChange, channel), controller, value, deltaFrames);
}

void TVSTModuleWithMidi::QueuePolyPressure(std::int32_t channel, std::int32_t note,
                                           std::int32_t pressure, std::int32_t deltaFrames) noexcept
{
    Queue(StatusFor(kMidiPolyPressure, channel), note, pressure, deltaFrames);
}

void TVSTModuleWithMidi::QueuePitchBend(std::int32_t channel, std::int32_t first,
                                        std::int32_t second, std::int32_t deltaFrames) noexcept
{
    Queue(StatusFor(kMidiPitchBend, channel), first, second, deltaFrames);
}

void TVSTModuleWithMidi::QueueChannelPressure(std::int32_t channel, std::int32_t pressure,
                                              std::int32_t deltaFrames) noexcept
{
    Queue(StatusFor(kMidiChannelPressure, channel), pressure, 0, deltaFrames);
}

void TVSTModuleWithMidi::FlushMidiOut(std::int32_t sampleFrames) noexcept
{
    VstEvent** events = FMidiOut->events;
    const std::int32_t count = FMidiOut->numEvents;
    if (count == 0)
        return;
    SortByTime(count);
    std::int32_t due = 0;
    while (due < count && Record(events[due]).deltaFrames < sampleFrames)
        ++due;
    // Swapping keeps every record in the array and the admitted ones in their order.
    std::int32_t sent = 0;
    for (std::int32_t i = 0; i < due; ++i)
    {
        if (AdmitNoteEvent(Record(events[i])))
            std::swap(events[sent++], events[i]);
    }
    if (sent > 0)
    {
        FMidiOut->numEvents = sent;
        MasterProcessEvents(reinterpret_cast<VstEvents*>(FMidiOut.get()));
    }
    // What belongs to a later block moves to the front and counts from that block's start.
    FMidiOut->numEvents = count - due;
    FQueuedOns.reset();
    FQueuedOffs.reset();
    if (due == count)
        return;
    std::rotate(events, events + due, events + count);
    for (std::int32_t i = 0; i < FMidiOut->numEvents; ++i)
    {
        VstMidiEvent& waiting = Record(events[i]);
        waiting.deltaFrames -= sampleFrames;
        if (IsNote(waiting))
            (MidiKind(StatusOf(waiting)) == kMidiNoteOn ? FQueuedOns : FQueuedOffs)
                .set(KeyOf(waiting));
    }
}

// Insertion sort: stable, allocation-free, and fast on the nearly ordered blocks the module
// queues. Offsets before the block become 0 on the way.
void TVSTModuleWithMidi::SortByTime(std::int32_t count) noexcept
{
    VstEvent** events = FMidiOut->events;
    // Hosts drop or misplace events outside the block: what lies in the past goes out at once.
    Record(events[0]).deltaFrames = std::max(Record(events[0]).deltaFrames, 0);
    for (std::int32_t i = 1; i < count; ++i)
    {
        VstEvent* moving = events[i];
        const std::int32_t delta = std::max(Record(moving).deltaFrames, 0);
        Record(moving).deltaFrames = delta;
        std::int32_t j = i;
        while (j > 0 && Record(events[j - 1]).deltaFrames > delta)
        {
            events[j] = events[j - 1];
            --j;
        }
        events[j] = moving;
    }
}

bool TVSTModuleWithMidi::AdmitNoteEvent(const VstMidiEvent& event) noexcept
{
    if (!IsNote(event))
        return true;
    const std::size_t key = KeyOf(event);
    // A note-on with velocity 0 is a note-off to every host.
    const bool on = MidiKind(StatusOf(event)) == kMidiNoteOn && (event.midiData[2] & 0x7F) != 0;
    if (FKeysOn.test(key) == on)
        return false;
    FKeysOn.set(key, on);
    return true;
}

void TVSTModuleWithMidi::DispatchEvents(TVstEvents* events)
{
    if (OnProcessEvents)
        OnProcessEvents(*this, *events);
    for (std::int32_t i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* event = EventList(*events)[i];
        // A host that leaves a hole in its block gets the hole skipped, not followed.
        if (event == nullptr)
            continue;
        if (event->type == kVstMidiType)
        {
            if (OnProcessMidi)
                OnProcessMidi(*this, *reinterpret_cast<const TVstMidiEvent*>(event));
        }
        else if (event->type == kVstSysExType)
        {
            if (OnProcessMidiSysEx)
                OnProcessMidiSysEx(*this, *reinterpret_cast<const VstMidiSysExEvent*>(event));
        }
        else if (OnProcessEvent)
        {
            OnProcessEvent(*this, *event);
        }
    }
}

std::intptr_t TVSTModuleWithMidi::HostCallProcessEvents(std::int32_t, std::intptr_t, void* ptr,
                                                        float)
{
    if (ptr != nullptr)
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        DispatchEvents(static_cast<TVstEvents*>(ptr));
    }
    return 1;
}

} // namespace tumblet
