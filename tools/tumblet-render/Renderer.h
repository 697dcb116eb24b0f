#pragma once

// The host's processing loop: one block after another, the input events of each block at their
// exact sample offsets, the time info of the block, processReplacing, and the plug-in's output.

#include "InputSchedule.h"
#include "RenderTypes.h"
#include "vst2/VstInterface.h"

#include <cstdint>
#include <vector>

namespace tumblet
{

class TPluginHost;
class TTransport;

struct TRenderResult
{
    std::vector<TRecordedEvent> Events; ///< everything the plug-in sent, in arrival order
    std::int64_t TotalSamples = 0;
    std::int64_t Blocks = 0;
};

class TRenderer
{
public:
    TRenderer(TPluginHost& host, TTransport& transport, int blockSize);

    TRenderResult Run(const TInputSchedule& input, std::int64_t totalSamples);

private:
    void PrepareEventBlock(std::size_t capacity);
    /// Fills the event block with the input that falls into [blockStart, blockStart + frames).
    std::int32_t FillEventBlock(const std::vector<TScheduledEvent>& input, std::size_t& next,
                                std::int64_t blockStart, std::int32_t frames);
    VstEvents* EventBlock();

    TPluginHost& FHost;
    TTransport& FTransport;
    int FBlockSize;
    std::vector<VstMidiEvent> FMidiEvents;     ///< records handed to the plug-in
    std::vector<std::uintptr_t> FEventStorage; ///< a VstEvents header plus its pointer array
};

} // namespace tumblet
