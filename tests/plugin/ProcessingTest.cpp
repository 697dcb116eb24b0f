// The arpeggiator in a host: block processing and incoming MIDI, through the binary interface.

#include "PluginTestSupport.h"

#include "engine/Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tumblet::test
{
namespace
{

constexpr std::int32_t kBlock = 512;
constexpr double kSixteenth = 44100.0 * 60.0 / 120.0 / 4.0; // 5512.5 samples at 120 BPM

class ProcessingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(Host.LoadAndOpen(), nullptr);
        SetRandSeed(1);
    }

    void PlayBlocks(int blocks, std::int32_t frames = kBlock)
    {
        for (int i = 0; i < blocks; ++i)
            Host.ProcessAndAdvance(frames);
    }

    TTestHost Host;
};

TEST_F(ProcessingTest, HeldChordPlaysUpTwoOctavesOnTheSixteenthGrid)
{
    Host.SetPlaying();
    Host.SendEvents({NoteOn(64), NoteOn(60), NoteOn(67)});
    PlayBlocks(80); // about 7 sixteenths
    const auto ons = NoteOns(Host.Timeline);
    ASSERT_GE(ons.size(), 7u);
    const int expected[] = {60, 64, 67, 72, 76, 79, 60};
    for (std::size_t i = 0; i < 7; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(ons[i].Event.Data[1], expected[i]);
        EXPECT_EQ(ons[i].Event.Data[2], 100);
        EXPECT_NEAR(static_cast<double>(ons[i].Position), i * kSixteenth, 1.0);
    }
}

TEST_F(ProcessingTest, NoteOffsFollowAcrossBlockBoundariesAtTheGateLength)
{
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60)});
    PlayBlocks(40);
    const auto ons = NoteOns(Host.Timeline);
    const auto offs = NoteOffs(Host.Timeline);
    ASSERT_GE(ons.size(), 3u);
    ASSERT_GE(offs.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(offs[i].Event.Data[1], ons[i].Event.Data[1]);
        // Gate 100 %: the note ends where the next begins (a little before, never after).
        const double length = static_cast<double>(offs[i].Position - ons[i].Position);
        EXPECT_NEAR(length, kSixteenth, 2.0);
        EXPECT_LE(offs[i].Position, ons[i + 1].Position);
    }
    // The second note's off lands inside a later block than its on.
    EXPECT_NE(ons[1].Position / kBlock, offs[1].Position / kBlock);
}

TEST_F(ProcessingTest, StoppingTheTransportEndsEverythingAndEmptiesEvenALatchedChord)
{
    SetNormalised(Host, 12, 1.0f); // Latch on
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60), NoteOn(64)});
    Host.SendEvents({NoteOff(60), NoteOff(64)});
    SetNormalised(Host, 5, 1.0f); // Gate 200 %: notes overlap, so some are always sounding
    PlayBlocks(30);
    Host.ClearRecords();
    Host.SetStopped();
    Host.ProcessAndAdvance(kBlock);
    ASSERT_FALSE(Host.Timeline.empty());
    for (const auto& e : Host.Timeline)
    {
        EXPECT_EQ(e.Event.Status() & 0xF0, 0x80);
        EXPECT_EQ(e.Event.DeltaFrames, 0);
    }
    // Nothing more plays while stopped: the latched chord is gone.
    Host.ClearRecords();
    PlayBlocks(40);
    EXPECT_TRUE(NoteOns(Host.Timeline).empty());
}

TEST_F(ProcessingTest, StoppedTransportRunsItsOwnClockFromTheFirstKey)
{
    Host.SetStopped();
    PlayBlocks(7); // the own clock runs on while nothing is held
    Host.ClearRecords();
    const std::int64_t start = Host.ProcessedSamples;
    Host.SendEvents({NoteOn(60), NoteOn(62)});
    PlayBlocks(30);
    const auto ons = NoteOns(Host.Timeline);
    ASSERT_GE(ons.size(), 2u);
    EXPECT_EQ(ons[0].Position, start);
    EXPECT_NEAR(static_cast<double>(ons[1].Position - start), kSixteenth, 1.0);
    // Releasing every key stops the arpeggio; sounding notes end at their own length.
    Host.SendEvents({NoteOff(60), NoteOff(62)});
    PlayBlocks(30);
    Host.ClearRecords();
    PlayBlocks(30);
    EXPECT_TRUE(Host.Timeline.empty());
}

TEST_F(ProcessingTest, LoopJumpBackEndsSoundingNotesAndRestartsTheSequence)
{
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60), NoteOn(64), NoteOn(67)});
    PlayBlocks(18); // a few steps into the sequence
    Host.ClearRecords();
    Host.TimeInfo.ppqPos = 0.0;
    Host.TimeInfo.samplePos = 0.0;
    Host.ProcessAndAdvance(kBlock);
    const auto& events = Host.Timeline;
    ASSERT_FALSE(events.empty());
    // First the note-offs at offset 0, then the first entry of the sequence again.
    const auto ons = NoteOns(events);
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].Event.Data[1], 60);
    EXPECT_EQ(ons[0].Event.DeltaFrames, 0);
    for (const auto& e : events)
    {
        if ((e.Event.Status() & 0xF0) == 0x80)
        {
            EXPECT_EQ(e.Event.DeltaFrames, 0);
        }
    }
    EXPECT_EQ(events.back().Event.Data[1], 60);
}

// Issue 16: a relocation ahead finds the grid again instead of playing every missed step at
// once.
TEST_F(ProcessingTest, RelocationAheadPlaysNoBurstOfMissedSteps)
{
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60), NoteOn(64)});
    PlayBlocks(10);
    Host.ClearRecords();
    Host.TimeInfo.ppqPos += 8.0;
    Host.TimeInfo.samplePos += 8.0 * 22050.0;
    Host.ProcessAndAdvance(kBlock);
    const auto ons = NoteOns(Host.Timeline);
    ASSERT_EQ(ons.size(), 1u); // at the next grid point, beat 8.25
    EXPECT_EQ(ons[0].Event.DeltaFrames, 393);
}

TEST_F(ProcessingTest, SameKeyTwiceIsHeldTwiceAndOneNoteOffRemovesOne)
{
    SetReal(Host, 3, 1.0f, 1.0f, 5.0f); // one octave
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60), NoteOn(60), NoteOn(67)});
    PlayBlocks(70);
    auto ons = NoteOns(Host.Timeline);
    ASSERT_GE(ons.size(), 6u);
    EXPECT_EQ(ons[0].Event.Data[1], 60);
    EXPECT_EQ(ons[1].Event.Data[1], 60);
    EXPECT_EQ(ons[2].Event.Data[1], 67);
    Host.SendEvents({NoteOff(60)});
    Host.ClearRecords();
    PlayBlocks(70);
    ons = NoteOns(Host.Timeline);
    int sixty = 0, sixtySeven = 0;
    for (const auto& e : ons)
        (e.Event.Data[1] == 60 ? sixty : sixtySeven) += 1;
    EXPECT_GT(sixty, 0);
    EXPECT_NEAR(sixty, sixtySeven, 1);
}

TEST_F(ProcessingTest, RepeatedPitchEndsBeforeTheNewNoteOnAtTheSameOffset)
{
    SetReal(Host, 3, 1.0f, 1.0f, 5.0f); // one octave
    SetNormalised(Host, 5, 1.0f);       // gate 200 %: the old note still sounds
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60)});
    PlayBlocks(30);
    const auto& events = Host.Timeline;
    bool sawPair = false;
    for (std::size_t i = 1; i < events.size(); ++i)
    {
        const auto& on = events[i].Event;
        if ((on.Status() & 0xF0) != 0x90)
            continue;
        const auto& before = events[i - 1].Event;
        if ((before.Status() & 0xF0) == 0x80 && before.Data[1] == on.Data[1] &&
            before.DeltaFrames == on.DeltaFrames)
            sawPair = true;
    }
    EXPECT_TRUE(sawPair);
}

// Issue 16: the notes end before the block's start, which hosts cannot place; they go out at
// its first sample.
TEST_F(ProcessingTest, TempoChangeEndsSoundingNotesAtTheBlockStart)
{
    Host.SetPlaying();
    Host.SendEvents({NoteOn(60)});
    SetNormalised(Host, 5, 1.0f); // long notes, so one is sounding at the change
    PlayBlocks(5);
    Host.ClearRecords();
    Host.TimeInfo.tempo = 100.0;
    Host.ProcessAndAdvance(kBlock);
    const auto offs = NoteOffs(Host.Timeline);
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs[0].Event.DeltaFrames, 0);
}

TEST_F(ProcessingTest, OtherChannelMessagesPassThroughAndProgramChangesAreDropped)
{
    Host.SendEvents({{17, 0xB2, 7, 99},
                     {3, 0xC0, 5, 0},
                     {4, 0xE1, 0, 64},
                     {5, 0xD3, 80, 0},
                     {6, 0xA4, 60, 33},
                     {7, 0xF8, 0, 0}});
    Host.Process(kBlock);
    // They leave in time order.
    const auto& events = Host.Timeline;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].Event.Status(), 0xE1);
    EXPECT_EQ(events[0].Event.Data[2], 64);
    EXPECT_EQ(events[1].Event.Status(), 0xD3);
    EXPECT_EQ(events[1].Event.Data[1], 80);
    EXPECT_EQ(events[1].Event.Data[2], 0);
    EXPECT_EQ(events[2].Event.Status(), 0xA4);
    EXPECT_EQ(events[2].Event.DeltaFrames, 6);
    EXPECT_EQ(events[3].Event.Status(), 0xB2);
    EXPECT_EQ(events[3].Event.Data[1], 7);
    EXPECT_EQ(events[3].Event.Data[2], 99);
    EXPECT_EQ(events[3].Event.DeltaFrames, 17);
}

TEST_F(ProcessingTest, OutputsAreSilentAndTimeInfoIsAskedWithTheBlockMask)
{
    Host.ClearRecords();
    Host.Process(64);
    EXPECT_EQ(Host.Outputs[0][0], 0.0f);
    EXPECT_EQ(Host.Outputs[1][63], 0.0f);
    ASSERT_EQ(Host.RequestedTimeMasks.size(), 1u);
    EXPECT_EQ(Host.RequestedTimeMasks[0], 0x3602);
}

TEST_F(ProcessingTest, NoTimeInfoOrZeroTempoIsTreatedAsStopped)
{
    Host.TimeInfoAvailable = false;
    Host.SendEvents({NoteOn(60)});
    PlayBlocks(25);
    EXPECT_FALSE(NoteOns(Host.Timeline).empty()); // the own clock at the last tempo
    Host.TimeInfoAvailable = true;
    Host.SetPlaying(0.0);
    PlayBlocks(5);
    Host.TimeInfo.tempo = std::nan("");
    PlayBlocks(5);
    Host.TimeInfo.tempo = -120.0;
    PlayBlocks(5);
    Host.SetStopped();
    Host.SendEvents({NoteOff(60)});
    PlayBlocks(40);
    EXPECT_TRUE(EveryNoteEnds(Host.Timeline));
}

// A host that gives no name ("Unknown") gets the sample position from its song position; a
// named host keeps its own.
TEST(UnknownHostTest, SamplePositionFollowsTheSongPositionOnlyForAnUnnamedHost)
{
    for (const bool named : {false, true})
    {
        TTestHost host;
        host.ProductStringAnswer = named;
        ASSERT_NE(host.LoadAndOpenWith(&InProcessEntry), nullptr);
        host.SetPlaying();
        host.TimeInfo.ppqPos = 1.0;
        host.TimeInfo.samplePos = 12345.0;
        host.Process(kBlock);
        EXPECT_EQ(PluginOf(host.Effect()).Arpeggiator().SamplePos(), named ? 12345.0 : 22050.0);
    }
}

class LatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(Host.LoadAndOpenWith(&InProcessEntry), nullptr);
        SetNormalised(Host, 12, 1.0f);
        Host.SetPlaying();
    }
    std::vector<int> Held()
    {
        std::vector<int> notes;
        TMidiNoteList& held = PluginOf(Host.Effect()).Arpeggiator().HeldNotes();
        for (int i = 0; i < held.Count(); ++i)
            notes.push_back(held.Items(i).Note);
        return notes;
    }
    /// Processes the given time of audio in 10 ms blocks (441 samples at 44100 Hz).
    void PlayMilliseconds(int milliseconds)
    {
        for (int i = 0; i < milliseconds / 10; ++i)
            Host.ProcessAndAdvance(441);
    }
    TTestHost Host;
};

// Issue 16: the window is measured in processed audio, so an offline render that runs far
// faster than real time keeps chords apart as live playing does.
TEST_F(LatchTest, NotesWithinTheWindowFormOneChordAndALaterNoteReplacesIt)
{
    Host.SendEvents({NoteOn(60)});
    PlayMilliseconds(100);
    Host.SendEvents({NoteOn(64)});
    Host.SendEvents({NoteOff(60), NoteOff(64)});
    PlayMilliseconds(10);
    EXPECT_EQ(Held(), (std::vector<int>{60, 64}));
    PlayMilliseconds(300);
    Host.SendEvents({NoteOn(67)});
    PlayMilliseconds(10);
    EXPECT_EQ(Held(), (std::vector<int>{67}));
}

TEST_F(LatchTest, KeysStillDownStayWhenANewChordStarts)
{
    Host.SendEvents({NoteOn(60), NoteOn(64)});
    Host.SendEvents({NoteOff(64)});
    PlayMilliseconds(400);
    Host.SendEvents({NoteOn(67)});
    PlayMilliseconds(10);
    EXPECT_EQ(Held(), (std::vector<int>{60, 67}));
    Host.SendEvents({NoteOn(67)}); // already held: not added twice
    PlayMilliseconds(10);
    EXPECT_EQ(Held(), (std::vector<int>{60, 67}));
}

TEST_F(LatchTest, StopEmptiesTheChordAndTheEditorLineShowsNothing)
{
    Host.SendEvents({NoteOn(60)});
    Host.ProcessAndAdvance(kBlock);
    TEditorMailbox::TKind kind{};
    std::string text;
    TEditorMailbox& mailbox = PluginOf(Host.Effect()).EditorMailbox();
    ASSERT_TRUE(mailbox.Take(kind, text));
    EXPECT_EQ(kind, TEditorMailbox::TKind::InfoLabel);
    EXPECT_FALSE(text.empty());
    Host.SetStopped();
    Host.ProcessAndAdvance(kBlock);
    ASSERT_TRUE(mailbox.Take(kind, text));
    EXPECT_EQ(kind, TEditorMailbox::TKind::InfoLabel);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(Held().empty());
}

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
