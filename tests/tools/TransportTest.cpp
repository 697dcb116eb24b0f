#include "Transport.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

constexpr std::int32_t kValid =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

TTransportSettings Settings()
{
    TTransportSettings settings;
    settings.Grid.Tempo = 120.0; // 22050 samples per beat at 44100 Hz
    settings.Grid.SampleRate = 44100.0;
    return settings;
}

TEST(TransportTest, PlayingPositionAdvancesWithTheBlocks)
{
    TTransport transport(Settings());
    VstTimeInfo first = transport.TimeInfo();
    EXPECT_EQ(first.flags, kValid | kVstTransportPlaying | kVstTransportChanged);
    EXPECT_EQ(first.samplePos, 0.0);
    transport.Advance(512);
    const VstTimeInfo second = transport.TimeInfo();
    EXPECT_EQ(second.flags, kValid | kVstTransportPlaying);
    EXPECT_EQ(second.samplePos, 512.0);
    EXPECT_DOUBLE_EQ(second.ppqPos, 512.0 / 22050.0);
    EXPECT_EQ(second.tempo, 120.0);
    EXPECT_EQ(second.sampleRate, 44100.0);
    EXPECT_EQ(second.timeSigNumerator, 4);
    EXPECT_EQ(second.timeSigDenominator, 4);
}

TEST(TransportTest, StartBeatAndBarStartFollowTheMetre)
{
    auto settings = Settings();
    settings.Grid.Numerator = 3;
    settings.StartBeat = 3.5;
    TTransport transport(settings);
    const VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.ppqPos, 3.5);
    EXPECT_EQ(info.samplePos, 3.5 * 22050);
    EXPECT_EQ(info.barStartPos, 3.0);
    transport.Advance(22050 * 2 + 11025); // to beat 6: the start of bar 3
    EXPECT_EQ(transport.TimeInfo().barStartPos, 6.0);
}

TEST(TransportTest, CycleEndCutsTheBlockAndJumpsBackExactly)
{
    auto settings = Settings();
    settings.LoopActive = true;
    settings.LoopStartBeat = 1.0;
    settings.LoopEndBeat = 2.5;
    TTransport transport(settings);
    EXPECT_EQ(transport.TimeInfo().flags & kVstTransportCycleActive, kVstTransportCycleActive);
    EXPECT_EQ(transport.TimeInfo().cycleStartPos, 1.0);
    EXPECT_EQ(transport.TimeInfo().cycleEndPos, 2.5);
    EXPECT_EQ(transport.FramesUntilJump(), 55125);
    transport.Advance(55000);
    EXPECT_EQ(transport.FramesUntilJump(), 125);
    transport.Advance(125);
    EXPECT_EQ(transport.Jumps(), 1);
    const VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.ppqPos, 1.0);
    EXPECT_EQ(info.samplePos, 22050.0);
    EXPECT_NE(info.flags & kVstTransportChanged, 0);
    EXPECT_EQ(transport.FramesUntilJump(), 33075);
}

TEST(TransportTest, SongStartingAfterTheCycleDoesNotJump)
{
    auto settings = Settings();
    settings.LoopActive = true;
    settings.LoopStartBeat = 0.0;
    settings.LoopEndBeat = 2.0;
    settings.StartBeat = 4.0;
    TTransport transport(settings);
    EXPECT_GT(transport.FramesUntilJump(), 1000000000);
    transport.Advance(22050);
    EXPECT_EQ(transport.TimeInfo().ppqPos, 5.0);
}

TEST(TransportTest, StoppedTransportStandsStill)
{
    auto settings = Settings();
    settings.Stopped = true;
    settings.StartBeat = 2.0;
    settings.LoopActive = true;
    settings.LoopStartBeat = 0.0;
    settings.LoopEndBeat = 1.0 + 2.0;
    TTransport transport(settings);
    EXPECT_GT(transport.FramesUntilJump(), 1000000000);
    transport.Advance(30000);
    const VstTimeInfo info = transport.TimeInfo();
    EXPECT_EQ(info.flags & kVstTransportPlaying, 0);
    EXPECT_EQ(info.ppqPos, 2.0);
    EXPECT_EQ(info.samplePos, 44100.0);
    EXPECT_EQ(info.flags & kVstTransportChanged, 0);
}

} // namespace
} // namespace tumblet
