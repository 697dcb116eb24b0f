// The CLAP plug-in with a host's two threads at once: the audio thread plays while the main
// thread loads states, whose parameter reports cross to the audio thread's output. Every report
// reaches the host, and the arpeggio plays on.

#include "ClapTestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tumblet::test
{
namespace
{

TEST(ClapThreadsTest, StateLoadsWhilePlayingReachTheHostWhole)
{
    constexpr int kLoads = 40;
    TClapHost clap;
    ASSERT_TRUE(clap.Ready());
    TClapStreams state;
    ASSERT_TRUE(clap.State->save(clap.Plugin, &state.Out));

    // What a VST 2.4 host hears of the same loads.
    TTestHost vst;
    ASSERT_NE(vst.LoadAndOpen(), nullptr);
    for (int i = 0; i < kLoads; ++i)
        vst.Dispatch(effSetChunk, 1, static_cast<std::intptr_t>(state.Bytes.size()),
                     state.Bytes.data());
    const std::size_t reported = vst.CountCalls(audioMasterAutomate);
    ASSERT_GT(reported, 0u);

    std::atomic<bool> loading{true};
    std::thread audio(
        [&]
        {
            double quarters = 0;
            for (int block = 0; loading || block < 400; ++block)
            {
                if (block == 0)
                    for (std::uint8_t note : {60, 64, 67})
                        clap.In.AddMidi(0, 0x90, note, 100);
                const clap_event_transport_t start = Transport(quarters, 120.0, true);
                clap.Process(256, &start);
                quarters += 256 * 2.0 / kClapSampleRate;
            }
        });
    for (int i = 0; i < kLoads; ++i)
    {
        state.ReadAt = 0;
        EXPECT_TRUE(clap.State->load(clap.Plugin, &state.In));
    }
    loading = false;
    audio.join();
    clap.Flush();

    std::size_t values = 0;
    for (const auto& [at, event] : clap.Output())
        values += event.Type == CLAP_EVENT_PARAM_VALUE ? 1 : 0;
    EXPECT_EQ(values, reported);
    EXPECT_GT(clap.Notes().size(), 30u) << "the arpeggio played through the loads";
}

} // namespace
} // namespace tumblet::test
