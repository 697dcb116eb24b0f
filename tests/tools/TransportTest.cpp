#include "Transport.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

TTransportSettings Settings()
{
    TTransportSettings settings;
    settings.Grid.Tempo = 120.0; // 22050 samples per beat at 44100 Hz
    settings.Grid.SampleRate = 44100.0;
    return settings;
}

// Block by block positions, metre, bar starts and the loop's cut and jump are checked through
// the tool, seen from the fake plug-in; the cases here are ones those renders do not reach.

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
