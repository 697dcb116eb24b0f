// The CLAP process call allocates nothing: notes, parameter changes and song positions inside
// blocks shorter and longer than a step. Every operator new in this binary is counted, the
// plug-in library's too (it takes the process's allocator).

#include "ClapTestHost.h"
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
    for (int i = 0; i < 10000; ++i)
    {
        const std::uint32_t frames = (i % 4 == 0) ? 4096 : (i % 4 == 1 ? 7 : 512);
        const auto note = static_cast<std::uint8_t>(48 + (i / 7) % 24);
        if (i % 7 == 0)
        {
            clap.In.AddMidi(0, 0x90, note, 90);
            clap.In.AddMidi(frames / 2, 0x90, static_cast<std::uint8_t>(note + 4), 80);
        }
        if (i % 7 == 5)
        {
            clap.In.AddMidi(0, 0x80, note, 0);
            clap.In.AddMidi(frames - 1, 0x80, static_cast<std::uint8_t>(note + 4), 0);
        }
        if (i % 11 == 0)
            clap.In.AddMidi(frames / 3, 0xB0, 1, static_cast<std::uint8_t>(i % 128));
        if (i % 13 == 0)
        {
            const clap_param_info_t& info = infos[static_cast<std::size_t>(i / 13) % infos.size()];
            clap.In.AddParameter(frames / 4, info.id,
                                 std::round(info.min_value + (info.max_value - info.min_value) *
                                                                 ((i * 37) % 100) / 100.0));
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
