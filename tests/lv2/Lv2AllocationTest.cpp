// The LV2 run call allocates nothing: notes, song positions and control port moves, in blocks
// shorter and longer than a step. Every operator new in this binary is counted, the plug-in
// library's too (it takes the process's allocator).

#include "Lv2TestHost.h"
#include "support/AllocationScript.h"
#include "support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

TEST_F(Lv2HostTest, TenThousandRunCallsAllocateNothing)
{
    TLv2Host lv2(FWorld, FPlugin, FMap);
    ASSERT_NE(lv2.Instance(), nullptr);
    const std::uint32_t ports = lilv_plugin_get_num_ports(FPlugin);
    std::vector<float> min(ports), max(ports);
    lilv_plugin_get_port_ranges_float(FPlugin, min.data(), max.data(), nullptr);
    lv2.Events.reserve(200000);
    lv2.FrameInBlock.reserve(200000);

    const double bar = 0;
    for (int i = 0; i < 20; ++i)
        lv2.Run(kBlock, i == 0 ? &bar : nullptr, {});

    long allocations = 0;
    for (int i = 0; i < kAllocationScriptBlocks; ++i)
    {
        const TAllocationScriptBlock script = AllocationScript(i);
        const std::vector<TInEvent> notes(script.Events.begin(),
                                          script.Events.begin() + script.EventCount);
        if (script.Parameter >= 0)
        {
            const auto parameter = static_cast<std::uint32_t>(script.Parameter);
            const std::uint32_t port = kLv2FirstParameterPort + parameter;
            lv2.Control(parameter) = min[port] + (max[port] - min[port]) * script.Amount;
        }
        const double position = i / 400;
        lv2.Prepare(i % 400 == 0 ? &position : nullptr, notes);
        const auto frames = static_cast<std::uint32_t>(script.Frames);
        allocations = CountAllocations([&] { lv2.RunPrepared(frames); });
        if (allocations != 0)
            break; // the counter still knows where this one came from
        lv2.Collect(frames);
    }
    EXPECT_GT(lv2.Events.size(), 1000u) << "the arpeggio really played";
    EXPECT_EQ(allocations, 0);
    if (allocations != 0)
        TAllocationCounter::PrintFirstAllocation();
}

} // namespace
} // namespace tumblet::test
