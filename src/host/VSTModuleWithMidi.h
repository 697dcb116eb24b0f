#pragma once

#include "host/CustomVSTModule.h"

#include <array>
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
    void QueueNoteOn(std::int32_t channel, std::int32_t note, std::int32_t velocity,
                     std::int32_t deltaFrames) noexcept;
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

    /// Hands everything queued to the host in one call, then empties the block. Thread: audio.
    void FlushMidiOut() noexcept;
    /// Events queued since the last flush. Thread: audio.
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

    std::unique_ptr<TMidiOutBlock> FMidiOut;
    std::unique_ptr<std::array<VstMidiEvent, kMidiOutRecords>> FMidiOutRecords;
};

} // namespace tumblet
