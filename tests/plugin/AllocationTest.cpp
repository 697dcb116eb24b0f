// The processing path allocates nothing: every operator new in this binary is counted.

#include "PluginTestSupport.h"
#include "support/AllocationScript.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

#include <array>

namespace tumblet::test
{
namespace
{

TEST(ProcessingAllocationTest, TenThousandBlocksWithChordAndParameterChangesAllocateNothing)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
    host.SetPlaying();
    AEffect* effect = host.Effect();
    // Prepared outside the counted region: the test host's own buffers.
    std::vector<float> left(4096), right(4096);
    float* outputs[2] = {left.data(), right.data()};
    std::array<VstMidiEvent, 3> records{};
    struct
    {
        std::int32_t numEvents;
        std::intptr_t reserved;
        VstEvent* events[3];
    } block{};
    for (int i = 0; i < 3; ++i)
        block.events[i] = reinterpret_cast<VstEvent*>(&records[i]);
    host.Recording = false;

    for (int i = 0; i < 50; ++i)
        effect->processReplacing(effect, nullptr, outputs, 512);

    TAllocationCounter::Start();
    for (int i = 0; i < kAllocationScriptBlocks; ++i)
    {
        const TAllocationScriptBlock script = AllocationScript(i);
        for (int e = 0; e < script.EventCount; ++e)
        {
            const TInEvent& in = script.Events[e];
            records[e] = VstMidiEvent{};
            records[e].type = kVstMidiType;
            records[e].byteSize = sizeof(VstMidiEvent);
            records[e].deltaFrames = in.DeltaFrames;
            records[e].midiData[0] = static_cast<char>(in.Status);
            records[e].midiData[1] = static_cast<char>(in.Data1);
            records[e].midiData[2] = static_cast<char>(in.Data2);
        }
        block.numEvents = script.EventCount;
        if (script.EventCount > 0)
            effect->dispatcher(effect, effProcessEvents, 0, 0, &block, 0.0f);
        if (script.Parameter >= 0)
            effect->setParameter(effect, script.Parameter, script.Amount);
        effect->processReplacing(effect, nullptr, outputs, script.Frames);
        host.TimeInfo.samplePos += script.Frames;
        host.TimeInfo.ppqPos += script.Frames / 44100.0 * 2.0;
    }
    const long allocations = TAllocationCounter::Stop();
    EXPECT_GT(host.EventCount, 1000u); // the arpeggio really played
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

// The accumulating entry, which older hosts still call, allocates nothing once resumed.
TEST(DspVSTModuleAllocationTest, FirstAccumulatingBlockAfterResumeAllocatesNothing)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr); // block size 512, resumed
    host.SetPlaying();
    host.Recording = false;
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    AEffect* effect = host.Effect();

    const long allocations = CountAllocations(
        [&]
        {
            effect->process(effect, nullptr, outputs, 512);
            effect->process(effect, nullptr, outputs, 256);
        });
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

} // namespace
} // namespace tumblet::test
