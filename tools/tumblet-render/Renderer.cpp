#include "Renderer.h"

#include "PluginHost.h"
#include "Transport.h"

#include <algorithm>
#include <cstring>

namespace tumblet
{

namespace
{

// A VstEvents block is numEvents and reserved (two pointer-sized words) and then the pointers;
// the record declares two, so senders never allocate fewer.
constexpr std::size_t kEventHeaderWords = 2;
constexpr std::size_t kMinEventPointers = 2;
// Enough for a long arpeggio without growing while the plug-in is being driven.
constexpr std::size_t kOutputReserve = 1 << 16;

} // namespace

TRenderer::TRenderer(TPluginHost& host, TTransport& transport, int blockSize)
    : FHost(host), FTransport(transport), FBlockSize(blockSize)
{
}

void TRenderer::PrepareEventBlock(std::size_t capacity)
{
    FMidiEvents.assign(std::max(capacity, kMinEventPointers), VstMidiEvent{});
    FEventStorage.assign(kEventHeaderWords + std::max(capacity, kMinEventPointers), 0);
    static_assert(offsetof(VstEvents, events) == kEventHeaderWords * sizeof(std::uintptr_t));
    for (std::size_t i = 0; i < FMidiEvents.size(); ++i)
        FEventStorage[kEventHeaderWords + i] = reinterpret_cast<std::uintptr_t>(&FMidiEvents[i]);
}

VstEvents* TRenderer::EventBlock()
{
    return reinterpret_cast<VstEvents*>(FEventStorage.data());
}

std::int32_t TRenderer::FillEventBlock(const std::vector<TScheduledEvent>& input, std::size_t& next,
                                       std::int64_t blockStart, std::int32_t frames)
{
    std::int32_t count = 0;
    while (next < input.size() && input[next].Sample < blockStart + frames)
    {
        const TScheduledEvent& source = input[next++];
        VstMidiEvent& event = FMidiEvents[static_cast<std::size_t>(count++)];
        event = VstMidiEvent{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = static_cast<std::int32_t>(source.Sample - blockStart);
        event.flags = kVstMidiEventIsRealtime;
        for (int b = 0; b < 3; ++b)
            event.midiData[b] = static_cast<char>(source.Data[b]);
    }
    EventBlock()->numEvents = count;
    EventBlock()->reserved = 0;
    return count;
}

TRenderResult TRenderer::Run(const TInputSchedule& input, std::int64_t totalSamples)
{
    TRenderResult result;
    result.Events.reserve(kOutputReserve);
    result.TotalSamples = totalSamples;
    const auto& events = input.Events();
    PrepareEventBlock(events.size());
    std::size_t next = 0;
    FHost.Resume();
    for (std::int64_t position = 0; position < totalSamples;)
    {
        const auto frames = static_cast<std::int32_t>(std::min<std::int64_t>(
            {FBlockSize, totalSamples - position, FTransport.FramesUntilJump()}));
        FHost.SetTimeInfo(FTransport.TimeInfo());
        FHost.SetEventSink(&result.Events, position);
        if (FillEventBlock(events, next, position, frames) > 0)
            FHost.SendEvents(EventBlock());
        FHost.Process(frames);
        FTransport.Advance(frames);
        position += frames;
        ++result.Blocks;
    }
    FHost.SetEventSink(nullptr, 0);
    FHost.Suspend();
    return result;
}

} // namespace tumblet
