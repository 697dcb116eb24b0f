// The CLAP process call allocates nothing, playing the music every format's allocation test
// plays, with parameter changes as host events and song positions that jump inside blocks. Every
// operator new in this binary is counted, the plug-in library's too (it takes the process's
// allocator).

#include "ClapTestHost.h"
#include "support/AllocationScript.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

TEST(ClapAllocationTest, TenThousandProcessCallsAllocateNothing)
{
    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    std::vector<clap_param_info_t> infos(clap.Params->count(clap.Plugin));
    for (std::uint32_t i = 0; i < infos.size(); ++i)
        ASSERT_TRUE(clap.Params->get_info(clap.Plugin, i, &infos[i]));

    double quarters = 0;
    for (int i = 0; i < 20; ++i)
    {
        const clap_event_transport_t start = Transport(quarters, 120.0, true);
        clap.Process(512, &start);
        quarters += 512 * 2.0 / kClapSampleRate;
    }

    long allocations = 0;
    for (int i = 0; i < kAllocationScriptBlocks; ++i)
    {
        const TAllocationScriptBlock script = AllocationScript(i);
        const auto frames = static_cast<std::uint32_t>(script.Frames);
        if (script.Parameter >= 0)
        {
            const clap_param_info_t& info = infos[static_cast<std::size_t>(script.Parameter)];
            clap.In.AddParameter(
                0, info.id, info.min_value + (info.max_value - info.min_value) * script.Amount);
        }
        for (int e = 0; e < script.EventCount; ++e)
        {
            const TInEvent& event = script.Events[static_cast<std::size_t>(e)];
            clap.In.AddMidi(static_cast<std::uint32_t>(event.DeltaFrames), event.Status,
                            event.Data1, event.Data2);
        }
        if (i % 400 == 0)
        {
            clap_event_transport_t jump = Transport(i / 100, 120.0, true);
            jump.header.time = frames / 2;
            clap.In.Add(jump);
        }
        const clap_event_transport_t start = Transport(quarters, 120.0, true);
        allocations = CountAllocations([&] { clap.Process(frames, &start); });
        if (allocations != 0)
            break; // the counter still knows where this one came from
        quarters += frames * 2.0 / kClapSampleRate;
    }
    EXPECT_GT(clap.Notes().size(), 1000u) << "the arpeggio really played";
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

} // namespace
} // namespace tumblet::test
