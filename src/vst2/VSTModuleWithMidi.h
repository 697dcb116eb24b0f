#pragma once

#include "vst2/CustomVSTModule.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>

namespace tumblet
{

using TVstMidiEvent = VstMidiEvent;
using TVstEvents = VstEvents;

/// Adds the incoming event dispatch and the preallocated block of outgoing MIDI events.
class TVSTModuleWithMidi : public TCustomVSTModule
{
public:
    /// Records in the outgoing block; one slot is kept back, so at most 1023 events leave.
    static constexpr std::int32_t kMidiOutRecords = 1024;
    static constexpr std::int32_t kMidiOutLimit = kMidiOutRecords - 1;

    TVSTModuleWithMidi();
    ~TVSTModuleWithMidi() override;

    // Queue operations. Thread: audio (effProcessEvents and the processing entries).
    // deltaFrames counts from the start of the block being processed; an event before it is
    // sent at offset 0 and one at or after its end waits for the block it falls in.
    /// A note-off of the same channel and pitch still waiting for a later offset is moved to this
    /// note-on's offset, so that it cannot cut the new note short.
    void QueueNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                     std::int32_t deltaFrames) noexcept;
    /// A note-off never goes before a queued note-on of the same channel and pitch.
    void QueueNoteOff(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                      std::int32_t deltaFrames) noexcept;
    void QueueControlChange(std::int32_t channel, std::int32_t controller, std::int32_t value,
                            std::int32_t deltaFrames) noexcept;
    void QueuePolyPressure(std::int32_t channel, std::int32_t note, std::int32_t pressure,
                           std::int32_t deltaFrames) noexcept;
    void QueuePitchBend(std::int32_t channel, std::int32_t first, std::int32_t second,
                        std::int32_t deltaFrames) noexcept;
    void QueueChannelPressure(std::int32_t channel, std::int32_t pressure,
                              std::int32_t deltaFrames) noexcept;

    /// Hands the events of a block of sampleFrames to the host in one call, in time order (queue
    /// order at equal offsets), and keeps later events for the next block. Note-ons and
    /// note-offs of a channel and pitch alternate: a note-on for a sounding key and a note-off
    /// for a silent one (a note-on with velocity 0 counts as one) are not sent. Thread: audio.
    void FlushMidiOut(std::int32_t sampleFrames) noexcept;
    /// Events queued and not yet sent, including those waiting for a later block. Thread: audio.
    std::int32_t MidiOutCount() const noexcept { return FMidiOut->numEvents; }

    /// Hands a host event block to the hooks one event at a time, in the block's order.
    // Thread: audio.
    void DispatchEvents(TVstEvents* events);

    // Incoming event hooks (sender first). Bound once at creation.
    std::function<void(TVSTModuleWithMidi& sender, TVstEvents& events)> OnProcessEvents;
    std::function<void(TVSTModuleWithMidi& sender, const TVstMidiEvent& event)> OnProcessMidi;
    std::function<void(TVSTModuleWithMidi& sender, const VstMidiSysExEvent& event)>
        OnProcessMidiSysEx;
    std::function<void(TVSTModuleWithMidi& sender, const VstEvent& event)> OnProcessEvent;

protected:
    std::intptr_t HostCallProcessEvents(std::int32_t, std::intptr_t, void*, float) override;

private:
    // Laid out as the interface's VstEvents, with room for every record, so the host reads it
    // directly.
    struct TMidiOutBlock
    {
        std::int32_t numEvents;
        std::intptr_t reserved;
        VstEvent* events[kMidiOutRecords];
    };
    static_assert(offsetof(TMidiOutBlock, reserved) == offsetof(VstEvents, reserved));
    static_assert(offsetof(TMidiOutBlock, events) == offsetof(VstEvents, events));

    void Queue(std::uint8_t status, std::int32_t data1, std::int32_t data2,
               std::int32_t deltaFrames) noexcept;
    void SortByTime(std::int32_t count) noexcept;
    bool AdmitNoteEvent(const VstMidiEvent& event) noexcept;

    std::unique_ptr<TMidiOutBlock> FMidiOut;
    std::unique_ptr<std::array<VstMidiEvent, kMidiOutRecords>> FMidiOutRecords;
    /// Keys (channel × 128 + pitch) whose note-on the host has had without a note-off yet.
    std::bitset<16 * 128> FKeysOn;
    /// Keys that may have a note-on or a note-off in the queue; the queue is searched for a key
    /// only when its bit is set, so that a busy block does not cost its square.
    std::bitset<16 * 128> FQueuedOns;
    std::bitset<16 * 128> FQueuedOffs;
};

} // namespace tumblet
