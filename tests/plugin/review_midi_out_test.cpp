// Review findings in the module's use of the outgoing event block.

#include "PluginTestSupport.h"

#include "engine/Random.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

constexpr std::int32_t kBlock = 512;
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
