// The LV2 run call allocates nothing: notes, song positions and control port moves, in blocks
// shorter and longer than a step. Every operator new in this binary is counted, the plug-in
// library's too (it takes the process's allocator).

#include "Lv2TestHost.h"
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
    for (int i = 0; i < 10000; ++i)
    {
        const auto note = static_cast<std::uint8_t>(48 + (i / 7) % 24);
        std::vector<TInEvent> notes;
        if (i % 7 == 0)
            notes = {NoteOn(note, 90, 3), NoteOn(static_cast<std::uint8_t>(note + 4), 80, 5)};
        if (i % 7 == 5)
            notes = {NoteOff(note, 2), NoteOff(static_cast<std::uint8_t>(note + 4), 4)};
        if (i % 11 == 0)
            notes.push_back({6, 0xB0, 1, static_cast<std::uint8_t>(i % 128)});
        if (i % 13 == 0)
        {
            const std::uint32_t parameter = static_cast<std::uint32_t>(i / 13) % (ports - 2);
            const std::uint32_t port = kLv2FirstParameterPort + parameter;
            lv2.Control(parameter) =
                min[port] + (max[port] - min[port]) * static_cast<float>((i * 37) % 100) / 100.0f;
        }
        const double position = i / 400;
        lv2.Prepare(i % 400 == 0 ? &position : nullptr, notes);
        const std::uint32_t frames = (i % 4 == 0) ? 4096 : (i % 4 == 1 ? 7 : kBlock);
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
