#include "entry/EffectDriver.h"

#include "base/MidiStatus.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace tumblet
{

namespace
{

/// Input events the module gets per span; further ones in the same span are dropped.
constexpr std::size_t kMaxInputEvents = 512;
/// The program chunk: what preset files hold, the module's whole state.
constexpr std::int32_t kProgramChunk = 1;
constexpr std::intptr_t kHostVstVersion = 2400;

// The driver being created: the module calls its host before the record can point back.
thread_local TEffectDriver* tCreating = nullptr;

std::uint32_t MidiMessageLength(std::uint8_t status)
{
    // System messages do not travel as VST MIDI events here.
    if (MidiKind(status) == kMidiSystem)
        return 0;
    return 1 + static_cast<std::uint32_t>(MidiDataBytes(status));
}

} // namespace

TEffectDriver::TEffectDriver(
    TCreateEffect create, double sampleRate, std::uint32_t maxBlock,
    std::function<std::intptr_t(std::int32_t, std::int32_t, std::intptr_t, void*, float)>
        onHostCall)
    : FOnHostCall(std::move(onHostCall)),
      FSampleRate(std::isfinite(sampleRate) && sampleRate > 0 ? sampleRate : 44100.0),
      FMaxSpan(maxBlock > 0 ? std::min(maxBlock, kMaxSpan) : kMaxSpan)
{
    FInputEvents.resize(kMaxInputEvents);
    FInputBlock.assign(offsetof(VstEvents, events) + kMaxInputEvents * sizeof(VstEvent*), 0);

    tCreating = this;
    AEffect* effect = create != nullptr ? create(&TEffectDriver::HostCallback) : nullptr;
    tCreating = nullptr;
    if (effect == nullptr)
        throw std::runtime_error("the module could not be created");
    effect->resvd1 = reinterpret_cast<std::intptr_t>(this);
    FEffect = effect;
    Dispatch(effOpen);
    Configure(FSampleRate, FMaxSpan);
}

void TEffectDriver::Configure(double sampleRate, std::uint32_t maxBlock)
{
    FSampleRate = std::isfinite(sampleRate) && sampleRate > 0 ? sampleRate : 44100.0;
    FMaxSpan = maxBlock > 0 ? std::min(maxBlock, kMaxSpan) : kMaxSpan;
    FScratchLeft.assign(FMaxSpan, 0.0f);
    FScratchRight.assign(FMaxSpan, 0.0f);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(FSampleRate));
    Dispatch(effSetBlockSize, 0, FMaxSpan);
}

TEffectDriver::~TEffectDriver()
{
    if (FEffect != nullptr)
        Dispatch(effClose);
}

std::intptr_t TEffectDriver::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                      void* ptr, float opt) const
{
    return FEffect->dispatcher(FEffect, opcode, index, value, ptr, opt);
}

std::vector<std::uint8_t> TEffectDriver::Chunk() const
{
    void* data = nullptr;
    const std::intptr_t size = Dispatch(effGetChunk, kProgramChunk, 0, &data);
    if (size <= 0 || data == nullptr)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool TEffectDriver::SetChunk(const void* data, std::size_t size) const
{
    if (data == nullptr || size == 0)
        return false;
    // The module only reads the chunk it is given.
    return Dispatch(effSetChunk, kProgramChunk, static_cast<std::intptr_t>(size),
                    const_cast<void*>(data)) != 0;
}

// ---- Processing ------------------------------------------------------------------------------

void TEffectDriver::BeginBlock(std::uint32_t frames) noexcept
{
    FBlockFrames = frames;
    FLastOutFrame = 0;
    FInputCount = 0;
}

void TEffectDriver::QueueMidi(const std::uint8_t* bytes, std::uint32_t size,
                              std::uint32_t frame) noexcept
{
    if (bytes == nullptr || size == 0 || size > 3 || (bytes[0] & 0x80) == 0 ||
        FInputCount >= kMaxInputEvents)
        return;
    VstMidiEvent& event = FInputEvents[FInputCount++];
    event = VstMidiEvent{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = static_cast<std::int32_t>(frame); // absolute until its span is known
    std::memcpy(event.midiData, bytes, size);
}

void TEffectDriver::Run(std::uint32_t start, std::uint32_t frames) noexcept
{
    while (frames > 0)
    {
        const std::uint32_t length = std::min(frames, FMaxSpan);
        const std::uint32_t end = start + length;
        // The queued events before this span's end go in now, the rest wait for a later span.
        auto& block = *reinterpret_cast<VstEvents*>(FInputBlock.data());
        VstEvent** list = EventList(block);
        std::uint32_t taken = 0;
        while (taken < FInputCount &&
               static_cast<std::uint32_t>(FInputEvents[taken].deltaFrames) < end)
        {
            FInputEvents[taken].deltaFrames -= static_cast<std::int32_t>(start);
            FInputEvents[taken].deltaFrames = std::max(0, FInputEvents[taken].deltaFrames);
            list[taken] = reinterpret_cast<VstEvent*>(&FInputEvents[taken]);
            ++taken;
        }
        if (taken > 0)
        {
            block.numEvents = static_cast<std::int32_t>(taken);
            block.reserved = 0;
            Dispatch(effProcessEvents, 0, 0, &block);
        }
        if (taken < FInputCount)
            std::copy(FInputEvents.begin() + taken, FInputEvents.begin() + FInputCount,
                      FInputEvents.begin());
        FInputCount -= taken;

        FSpanStart = start;
        if (OnSpan)
            OnSpan(start, length);
        float* outputs[2] = {FScratchLeft.data(), FScratchRight.data()};
        FEffect->processReplacing(FEffect, nullptr, outputs, static_cast<std::int32_t>(length));
        if (OnSpanDone)
            OnSpanDone(start, length);
        start = end;
        frames -= length;
    }
}

void TEffectDriver::SendOutputEvents(const VstEvents& events)
{
    VstEvent* const* list = EventList(events);
    for (std::int32_t i = 0; i < events.numEvents; ++i)
    {
        const VstEvent* event = list[i];
        if (event == nullptr || event->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(midi->midiData);
        const std::uint32_t size = MidiMessageLength(bytes[0]);
        if (size == 0 || FBlockFrames == 0)
            continue;
        // Hosts take events only inside the block and in time order.
        std::int64_t frame = static_cast<std::int64_t>(FSpanStart) + midi->deltaFrames;
        frame = std::clamp<std::int64_t>(frame, FLastOutFrame, FBlockFrames - 1);
        FLastOutFrame = static_cast<std::uint32_t>(frame);
        if (OnMidiOut)
            OnMidiOut(bytes, size, FLastOutFrame);
    }
}

// ---- The module's host -----------------------------------------------------------------------

std::intptr_t TEffectDriver::HostCallback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                          std::intptr_t value, void* ptr, float opt)
{
    TEffectDriver* driver = tCreating;
    if (effect != nullptr && effect->resvd1 != 0)
        driver = reinterpret_cast<TEffectDriver*>(effect->resvd1);
    if (opcode == audioMasterVersion)
        return kHostVstVersion;
    if (driver == nullptr)
        return 0;
    try
    {
        return driver->HostCall(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

std::intptr_t TEffectDriver::HostCall(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                      void* ptr, float opt)
{
    switch (opcode)
    {
    case audioMasterGetTime:
        return reinterpret_cast<std::intptr_t>(&FTimeInfo);
    case audioMasterProcessEvents:
        if (ptr != nullptr)
            SendOutputEvents(*static_cast<const VstEvents*>(ptr));
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<std::intptr_t>(FSampleRate);
    case audioMasterGetBlockSize:
        return FMaxSpan;
    case audioMasterCanDo:
    {
        if (ptr == nullptr)
            return 0;
        const char* what = static_cast<const char*>(ptr);
        for (const char* can : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                "receiveVstMidiEvent", "sendVstTimeInfo"})
            if (std::strcmp(what, can) == 0)
                return 1;
        break;
    }
    default:
        break;
    }
    return FOnHostCall ? FOnHostCall(opcode, index, value, ptr, opt) : 0;
}

} // namespace tumblet
