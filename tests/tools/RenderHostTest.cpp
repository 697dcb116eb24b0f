// tumblet-render as a host, seen from the fake plug-in: what it answers, the time info of every
// block, and where the input events land.

#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tumblet::test
{
namespace
{

constexpr double kSamplesPerBeat = 22050.0; // 120 BPM at 44100 Hz
constexpr unsigned kValid = 0x3E00;         // ppq, tempo, bars, cycle and metre are valid
constexpr unsigned kPlaying = 0x2;
constexpr unsigned kChanged = 0x1;
constexpr unsigned kCycleActive = 0x4;

class RenderHostTest : public ::testing::Test
{
protected:
    TFakeLog Render(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--plugin", FakePluginPath()});
        const std::string log = FScratch / "fake.log";
        Result = RunTool(arguments, {{"FAKE_PLUGIN_LOG", log}});
        EXPECT_EQ(Result.ExitStatus, 0) << Result.Err;
        return TFakeLog::Read(log);
    }

    /// The render sample at which an event arrived.
    static std::int64_t Arrival(const TFakeLog& log, const TFakeEvent& event)
    {
        return log.Blocks.at(event.Block).RenderStart + event.Delta;
    }

    TScratchFolder FScratch;
    TToolResult Result;
};

TEST_F(RenderHostTest, AnswersTheQueriesOfAPlugIn)
{
    const auto log = Render({"--chord", "C4", "--beats", "1", "--host-name", "Test Host",
                             "--sample-rate", "48000", "--block", "256"});
    EXPECT_EQ(log.HostLine, "host version=2400 product=Test Host vendor=Tumblet rate=48000 "
                            "block=256 timeinfo=1 sizewindow=-1");
    EXPECT_TRUE(log.Has("samplerate 48000"));
    EXPECT_TRUE(log.Has("blocksize 256"));
    EXPECT_TRUE(log.Has("mains 1"));
    EXPECT_EQ(log.Lines.back(), "mains 0");
}

TEST_F(RenderHostTest, EveryBlockGetsItsTimeInfo)
{
    const auto log = Render({"--chord", "C4", "--beats", "1", "--block", "512"});
    ASSERT_EQ(log.Blocks.size(), 44u); // 22050 samples: 43 full blocks and 34 samples
    EXPECT_EQ(log.Blocks.back().Frames, 34);
    for (std::size_t i = 0; i < log.Blocks.size(); ++i)
    {
        const auto& block = log.Blocks[i];
        EXPECT_EQ(block.SamplePos, static_cast<double>(block.RenderStart));
        EXPECT_NEAR(block.Ppq, block.RenderStart / kSamplesPerBeat, 1e-9);
        EXPECT_EQ(block.Tempo, 120.0);
        EXPECT_EQ(block.SampleRate, 44100.0);
        EXPECT_EQ(block.Numerator, 4);
        EXPECT_EQ(block.Denominator, 4);
        EXPECT_EQ(block.BarStart, 0.0);
        EXPECT_EQ(block.Flags, kValid | kPlaying | (i == 0 ? kChanged : 0u)) << "block " << i;
    }
}

TEST_F(RenderHostTest, EventsArriveAtTheirExactSampleInsideTheBlock)
{
    const auto log = Render({"--chord", "C4 E4:77", "--hold", "0.5", "--at", "1.37", "--chord",
                             "G4", "--hold", "0.25", "--beats", "2", "--block", "100", "--print"});
    ASSERT_EQ(log.Events.size(), 6u);
    const std::int64_t expected[] = {0,
                                     0,
                                     11025,
                                     11025,
                                     std::llround(1.37 * kSamplesPerBeat),
                                     std::llround(1.62 * kSamplesPerBeat)};
    for (std::size_t i = 0; i < log.Events.size(); ++i)
    {
        EXPECT_EQ(Arrival(log, log.Events[i]), expected[i]) << "event " << i;
        EXPECT_GE(log.Events[i].Delta, 0);
        EXPECT_LT(log.Events[i].Delta, log.Blocks.at(log.Events[i].Block).Frames);
    }
    EXPECT_EQ(log.Events[1].Data[0], 0x90u);
    EXPECT_EQ(log.Events[1].Data[2], 77u);
    // The echo comes back at the same samples: 1.37 beats is tick 1315 of 960 per beat.
    const auto rows = ParseTable(Result.Out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].Position, "1.2.355");
    EXPECT_EQ(rows[2].Name, "G4");
    EXPECT_NEAR(rows[2].Length, 0.25, 1e-3);
}

TEST_F(RenderHostTest, RepeatedPitchIsReleasedBeforeItIsStruckAgain)
{
    const auto log = Render({"--chord", "C4", "--hold", "1", "--at", "1", "--chord", "C4",
                             "--beats", "2", "--block", "64"});
    ASSERT_EQ(log.Events.size(), 3u);
    EXPECT_EQ(Arrival(log, log.Events[1]), 22050);
    EXPECT_EQ(log.Events[1].Data[0], 0x80u);
    EXPECT_EQ(Arrival(log, log.Events[2]), 22050);
    EXPECT_EQ(log.Events[2].Data[0], 0x90u);
}

TEST_F(RenderHostTest, LoopCutsTheBlockAtTheCycleEndAndJumpsBack)
{
    const auto log = Render({"--chord", "C4", "--at", "3", "--chord", "E4", "--loop", "1:2",
                             "--beats", "4", "--block", "1000"});
    int jumps = 0;
    for (std::size_t i = 0; i < log.Blocks.size(); ++i)
    {
        const auto& block = log.Blocks[i];
        EXPECT_EQ(block.Flags & kCycleActive, kCycleActive);
        EXPECT_EQ(block.CycleStart, 1.0);
        EXPECT_EQ(block.CycleEnd, 2.0);
        // No block reaches past the cycle end: the jump falls between two blocks.
        EXPECT_LE(block.Ppq + block.Frames / kSamplesPerBeat, 2.0 + 1e-9) << "block " << i;
        if (i > 0 && block.Ppq < log.Blocks[i - 1].Ppq)
        {
            ++jumps;
            EXPECT_EQ(block.Ppq, 1.0);
            EXPECT_EQ(block.SamplePos, kSamplesPerBeat);
            EXPECT_EQ(block.Flags & kChanged, kChanged);
            EXPECT_NEAR(log.Blocks[i - 1].Ppq + log.Blocks[i - 1].Frames / kSamplesPerBeat, 2.0,
                        1e-9);
        }
    }
    EXPECT_EQ(jumps, 2);
    // Input keeps render time: the chord at beat 3 of the render arrives while the song loops.
    ASSERT_EQ(log.Events.size(), 2u);
    EXPECT_EQ(Arrival(log, log.Events[1]), 3 * 22050);
}

TEST_F(RenderHostTest, StoppedTransportReportsAStandingPosition)
{
    const auto log = Render({"--chord", "C4", "--at", "1", "--chord", "E4", "--stopped", "--start",
                             "2", "--beats", "2"});
    ASSERT_FALSE(log.Blocks.empty());
    for (const auto& block : log.Blocks)
    {
        EXPECT_EQ(block.Flags & kPlaying, 0u);
        EXPECT_EQ(block.Ppq, 2.0);
        EXPECT_EQ(block.SamplePos, 2 * kSamplesPerBeat);
    }
    ASSERT_EQ(log.Events.size(), 2u);
    EXPECT_EQ(Arrival(log, log.Events[1]), 22050);
}

TEST_F(RenderHostTest, TempoAndMetreReachThePlugIn)
{
    const auto log = Render(
        {"--chord", "C4", "--tempo", "90", "--time-sig", "6/8", "--bars", "2", "--start", "1"});
    ASSERT_FALSE(log.Blocks.empty());
    const double samplesPerBeat = 44100.0 * 60.0 / 90.0;
    EXPECT_NEAR(log.Blocks.back().RenderStart + log.Blocks.back().Frames, 6 * samplesPerBeat, 1);
    for (const auto& block : log.Blocks)
    {
        EXPECT_EQ(block.Tempo, 90.0);
        EXPECT_EQ(block.Numerator, 6);
        EXPECT_EQ(block.Denominator, 8);
        EXPECT_EQ(block.BarStart, std::floor(block.Ppq / 3.0 + 1e-9) * 3.0);
    }
}

} // namespace
} // namespace tumblet::test
