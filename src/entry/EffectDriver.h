#pragma once

// The module's VST 2.4 host inside another plug-in format: every format adapter (LV2, CLAP)
// drives one product instance through its effect record the same way. The driver creates and
// opens the instance, queues the block's MIDI at its frames, runs the block in spans (a format
// splits its block where the song position or a parameter changes) and hands the module's output
// events back at block frames, inside the block and in time order.

#include "vst2/VstInterface.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tumblet
{

class TEffectDriver
{
public:
    /// Processing spans longer than this are cut, so the scratch outputs stay small. Samples.
    static constexpr std::uint32_t kMaxSpan = 8192;

    /// Makes one instance behind an effect record with the given host callback; null on failure.
    using TCreateEffect = AEffect* (*)(audioMasterCallback audioMaster) noexcept;

    /// Creates and opens an instance through `create`: a format whose library may hold nothing
    /// of the display stack passes the module alone, the others the whole product. Throws when
    /// it cannot be made. The hook is asked every host query the driver does not answer itself;
    /// it may be called during creation.
    // Thread: the format's main thread.
    TEffectDriver(TCreateEffect create, double sampleRate, std::uint32_t maxBlock,
                  std::function<std::intptr_t(std::int32_t opcode, std::int32_t index,
                                              std::intptr_t value, void* ptr, float opt)>
                      onHostCall);
    ~TEffectDriver();
    TEffectDriver(const TEffectDriver&) = delete;
    TEffectDriver& operator=(const TEffectDriver&) = delete;

    /// New sample rate and longest block, before the module resumes. Thread: main.
    void Configure(double sampleRate, std::uint32_t maxBlock);

    AEffect* Effect() const noexcept { return FEffect; }
    double SampleRate() const noexcept { return FSampleRate; }
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f) const;

    /// The module's state chunk; empty when it gave none. Thread: any.
    std::vector<std::uint8_t> Chunk() const;
    /// Loads a state chunk; false when it is empty or the module refused it. Thread: any.
    bool SetChunk(const void* data, std::size_t size) const;

    // ---- Processing; thread: audio -----------------------------------------------------------

    /// Starts a host block of this many frames: no events queued, none sent yet.
    void BeginBlock(std::uint32_t frames) noexcept;
    /// Queues one MIDI message at its frame in the block; frames come in time order.
    void QueueMidi(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame) noexcept;
    /// Runs frames from start on, with the queued events that fall inside. OnSpan is raised
    /// before each run of the module (for the time info) with the span's start and length.
    void Run(std::uint32_t start, std::uint32_t frames) noexcept;
    /// The time info the module is given; the format fills it in OnSpan.
    VstTimeInfo& TimeInfo() noexcept { return FTimeInfo; }
    /// The frame of the last event sent in this block, so later events keep time order.
    std::uint32_t LastOutFrame() const noexcept { return FLastOutFrame; }

    std::function<void(std::uint32_t start, std::uint32_t length)> OnSpan;
    /// Raised after each run of the module, with the same span as OnSpan.
    std::function<void(std::uint32_t start, std::uint32_t length)> OnSpanDone;
    /// One output MIDI message at its frame in the block (already inside it and in order).
    std::function<void(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t frame)>
        OnMidiOut;

private:
    static std::intptr_t HostCallback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                      std::intptr_t value, void* ptr, float opt);
    std::intptr_t HostCall(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt);
    void SendOutputEvents(const VstEvents& events);

    std::function<std::intptr_t(std::int32_t, std::int32_t, std::intptr_t, void*, float)>
        FOnHostCall;
    AEffect* FEffect = nullptr;
    double FSampleRate;
    std::uint32_t FMaxSpan;

    std::vector<float> FScratchLeft;
    std::vector<float> FScratchRight;
    std::vector<VstMidiEvent> FInputEvents;
    std::vector<std::uint8_t> FInputBlock; ///< a VstEvents record with room for every pointer
    std::uint32_t FInputCount = 0;
    std::uint32_t FSpanStart = 0;
    std::uint32_t FBlockFrames = 0;
    std::uint32_t FLastOutFrame = 0;
    VstTimeInfo FTimeInfo{};
};

} // namespace tumblet
