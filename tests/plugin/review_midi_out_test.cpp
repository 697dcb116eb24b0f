// Review findings in the module's use of the outgoing event block.

#include "PluginTestSupport.h"

#include "engine/Random.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

constexpr std::int32_t kBlock = 512;
constexpr double kSixteenth = 44100.0 * 60.0 / 120.0 / 4.0;
// More passed-through messages than one outgoing block can carry.
constexpr int kControllerFlood = 1100;

std::vector<TInEvent> ControllerFlood()
{
    std::vector<TInEvent> events;
    for (int i = 0; i < kControllerFlood; ++i)
        events.push_back({i % kBlock, 0xB0, 1, static_cast<std::uint8_t>(i % 128)});
    return events;
}

class VSTPluginMidiOutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(Host.LoadAndOpen(), nullptr);
        SetRandSeed(1);
        Host.SetPlaying();
        Host.SendEvents({NoteOn(60), NoteOn(64)});
        Host.ProcessAndAdvance(kBlock);
        ASSERT_EQ(NoteOns(Host.Timeline).size(), 1u);
    }

    TTestHost Host;
};

TEST_F(VSTPluginMidiOutTest, StoppingEndsSoundingNotesDespiteAControllerFlood)
{
    Host.SetStopped();
    Host.SendEvents(ControllerFlood());
    Host.ProcessAndAdvance(kBlock);
    EXPECT_TRUE(EveryNoteEnds(Host.Timeline));
}

TEST_F(VSTPluginMidiOutTest, DueNoteOffsGetThroughAControllerFlood)
{
    // The first step's note-off falls due in block 10 (a sixteenth is 5512.5 samples).
    for (int block = 1; block < 40; ++block)
    {
        Host.SendEvents(ControllerFlood());
        Host.ProcessAndAdvance(kBlock);
    }
    Host.SetStopped();
    Host.ProcessAndAdvance(kBlock);
    ASSERT_GE(NoteOns(Host.Timeline).size(), 3u);
    EXPECT_TRUE(EveryNoteEnds(Host.Timeline));
}

TEST_F(VSTPluginMidiOutTest, ControllersStillPassWhileNothingSounds)
{
    Host.SetStopped();
    Host.ProcessAndAdvance(kBlock);
    Host.SendEvents({NoteOff(60), NoteOff(64)});
    Host.Flushes.clear();
    Host.SendEvents(ControllerFlood());
    Host.ProcessAndAdvance(kBlock);
    ASSERT_EQ(Host.Flushes.size(), 1u);
    // Only the room the note-offs might need is held back.
    EXPECT_GE(Host.Flushes[0].size(), static_cast<std::size_t>(TVSTPlugin::kMidiOutLimit - 2));
}

} // namespace
} // namespace tumblet::test

namespace tumblet::test
{
namespace
{

// A note started on the module's own clock while the host was stopped must not wait for (or
// be dated far before) a host position that has nothing to do with when it began.
class VSTPluginTransportStartTest : public ::testing::TestWithParam<double>
{
};

TEST_P(VSTPluginTransportStartTest, NotesFromTheOwnClockEndInsideTheStartingBlock)
{
    TTestHost host;
    ASSERT_NE(host.LoadAndOpen(), nullptr);
    SetRandSeed(1);
    host.SetStopped();
    host.SendEvents({NoteOn(60), NoteOn(64)});
    for (int i = 0; i < 100; ++i)
        host.ProcessAndAdvance(kBlock);
    const std::size_t before = host.Timeline.size();
    host.SetPlaying();
    host.TimeInfo.ppqPos = GetParam();
    host.TimeInfo.samplePos = GetParam() * 22050.0;
    host.ProcessAndAdvance(kBlock);
    for (int i = 0; i < 20; ++i)
        host.ProcessAndAdvance(kBlock);
    host.SetStopped();
    host.ProcessAndAdvance(kBlock);
    EXPECT_TRUE(EveryNoteEnds(host.Timeline));
    const auto ons = NoteOns(host.Timeline);
    const auto offs = NoteOffs(host.Timeline);
    for (const auto& on : ons)
    {
        // Its note-off: the first of its pitch at or after it.
        for (const auto& off : offs)
        {
            if (off.Event.Data[1] != on.Event.Data[1] || off.Position < on.Position)
                continue;
            EXPECT_LE(off.Position - on.Position, kSixteenth + kBlock) << on.Position;
            break;
        }
    }
    for (std::size_t i = before; i < host.Timeline.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_GE(host.Timeline[i].Event.DeltaFrames, 0);
        EXPECT_LT(host.Timeline[i].Event.DeltaFrames, kBlock);
    }
}

// The song start, a position just behind the own clock's and one far past it.
INSTANTIATE_TEST_SUITE_P(SongPositions, VSTPluginTransportStartTest,
                         ::testing::Values(0.0, 1.0, 20.0));

} // namespace
} // namespace tumblet::test
