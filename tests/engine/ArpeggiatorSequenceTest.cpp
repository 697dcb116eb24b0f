#include "engine/Arpeggiator.h"
#include "engine/BlxMidiArpNoteOrderList.h"
#include "engine/BlxMidiArpOctaveOrderList.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tumblet
{
namespace
{

using test::HoldChord;
using test::SequenceCounters;
using test::SequenceValues;
using test::TRandomRecorder;
using TValues = std::vector<std::int32_t>;

struct TBuildCase
{
    const char* NoteOrder; ///< as users see it, or a faulty number
    const char* OctaveOrder;
    int Octaves;
    TValues Chord;
    TValues Expected;
};

class SequenceBuildTest : public ::testing::TestWithParam<TBuildCase>
{
};

TEST_P(SequenceBuildTest, BuildsTheSequenceForTheChord)
{
    const TBuildCase& c = GetParam();
    TArpeggiator engine;
    engine.SetNoteOrder(test::EngineCode<TMidiArpNoteOrderList>(c.NoteOrder));
    engine.SetOctaveOrder(test::EngineCode<TMidiArpOctaveOrderList>(c.OctaveOrder));
    engine.SetOctaves(c.Octaves);
    HoldChord(engine, c.Chord);
    EXPECT_EQ(SequenceValues(engine), c.Expected);
}

const TValues kChord{64, 60, 67}; // E4 C4 G4 in arrival order

// Every note order on the chord over two octaves, octave order "Up".
INSTANTIATE_TEST_SUITE_P(
    NoteOrders, SequenceBuildTest,
    ::testing::Values(
        TBuildCase{"Up", "Up", 2, kChord, {60, 64, 67, 72, 76, 79}},
        TBuildCase{"Down", "Up", 2, kChord, {67, 64, 60, 79, 76, 72}},
        TBuildCase{"Up->Down", "Up", 2, kChord, {60, 64, 67, 72, 76, 79, 76, 72, 67, 64}},
        TBuildCase{"Up->Down 2", "Up", 2, kChord, {60, 64, 67, 72, 76, 79, 79, 76, 72, 67, 64, 60}},
        TBuildCase{"Up->Down Oct", "Up", 2, kChord, {60, 64, 67, 64, 60, 72, 76, 79, 76, 72}},
        TBuildCase{"Up-><-Down", "Up", 2, kChord, {60, 79, 64, 76, 67, 72}},
        TBuildCase{"Up-><-Down Oct", "Up", 2, kChord, {60, 67, 64, 72, 79, 76}},
        TBuildCase{"Down->Up", "Up", 2, kChord, {79, 76, 72, 67, 64, 60, 64, 67, 72, 76}},
        TBuildCase{"Down->Up 2", "Up", 2, kChord, {79, 76, 72, 67, 64, 60, 60, 64, 67, 72, 76, 79}},
        TBuildCase{"Down->Up Oct", "Up", 2, kChord, {67, 64, 60, 64, 67, 79, 76, 72, 76, 79}},
        TBuildCase{"Down-><-Up", "Up", 2, kChord, {79, 60, 76, 64, 72, 67}},
        TBuildCase{"Down-><-Up Oct", "Up", 2, kChord, {67, 60, 64, 79, 72, 76}},
        TBuildCase{"As Played", "Up", 2, kChord, {64, 60, 67, 76, 72, 79}},
        TBuildCase{"Xross", "Up", 2, kChord, {60, 79, 64, 76, 67, 72, 64, 76, 60, 79}},
        TBuildCase{"18", "Up", 2, kChord, {}}, TBuildCase{"255", "Up", 2, kChord, {}},
        // Octave order "Down" applies to "Down"; the orders that arrange octaves ignore it.
        TBuildCase{"Down", "Down", 2, kChord, {79, 76, 72, 67, 64, 60}},
        TBuildCase{"Up->Down", "Down", 2, kChord, {60, 64, 67, 72, 76, 79, 76, 72, 67, 64}},
        // Xross of five notes returns; of three or fewer it does not.
        TBuildCase{"Xross", "Up", 1, {62, 60, 67, 64, 65}, {60, 67, 62, 65, 64, 62, 65, 60, 67}},
        TBuildCase{"Xross", "Up", 1, kChord, {60, 67, 64}},
        // Up->Down and Down->Up of a single note in one octave play it once.
        TBuildCase{"Up->Down", "Up", 1, {60}, {60}}, TBuildCase{"Down->Up", "Up", 1, {60}, {60}}));

// Every octave order on a single note.
INSTANTIATE_TEST_SUITE_P(
    OctaveOrders, SequenceBuildTest,
    ::testing::Values(TBuildCase{"Up", "Up", 3, {60}, {60, 72, 84}},
                      TBuildCase{"Up", "Down", 3, {60}, {84, 72, 60}},
                      TBuildCase{"Up", "Up->Down", 3, {60}, {60, 72, 84, 72}},
                      TBuildCase{"Up", "Up->Down 2", 3, {60}, {60, 72, 84, 84, 72, 60}},
                      TBuildCase{"Up", "Down->Up", 3, {60}, {84, 72, 60, 72}},
                      TBuildCase{"Up", "Down->Up 2", 3, {60}, {84, 72, 60, 60, 72, 84}},
                      TBuildCase{"Up", "Up->Down", 1, {60}, {60}},
                      TBuildCase{"Up", "Up->Down 2", 1, {60}, {60, 60}},
                      TBuildCase{"Up", "Down->Up", 1, {60}, {60}},
                      TBuildCase{"Up", "Down->Up 2", 1, {60}, {60, 60}},
                      // Faulty parameter values are held to one to five octaves.
                      TBuildCase{"Up", "Up", 0, {60}, {60}},
                      TBuildCase{"Up", "Up", 99, {60}, {60, 72, 84, 96, 108}},
                      TBuildCase{"Up", "42", 2, {60}, {60, 72}}));

class ArpeggiatorSequenceTest : public ::testing::Test
{
protected:
    void SetUp() override { SetRandSeed(7); }
    TArpeggiator FEngine;
};

TEST_F(ArpeggiatorSequenceTest, CountersFollowThePitches)
{
    HoldChord(FEngine, {64, 60, 67});
    EXPECT_EQ(SequenceCounters(FEngine), (TValues{1, 0, 2, 1, 0, 2}));
}

TEST_F(ArpeggiatorSequenceTest, RestsAreAppended)
{
    FEngine.SetRest(2);
    HoldChord(FEngine, {60});
    EXPECT_EQ(SequenceValues(FEngine), (TValues{60, 72, -1, -1}));
    EXPECT_EQ(SequenceCounters(FEngine), (TValues{0, 0, 0, 0}));
}

// Without Restart a rebuild carries on after the pitch played last.
TEST_F(ArpeggiatorSequenceTest, AddedNoteKeepsThePosition)
{
    HoldChord(FEngine, {64, 60, 67});
    test::TBlockPlayer player(FEngine);
    std::vector<std::int32_t> played;
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_GE(player.PlayUntilNote(), 0.0);
        played.push_back(FEngine.GeneratedNote().Pitch);
    }
    ASSERT_EQ(played, (TValues{60, 64}));
    HoldChord(FEngine, {62});
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    EXPECT_EQ(FEngine.GeneratedNote().Pitch, 67);
}

TEST_F(ArpeggiatorSequenceTest, RestartBeginsAgainAfterARebuild)
{
    FEngine.SetRestart(true);
    HoldChord(FEngine, {64, 60, 67});
    test::TBlockPlayer player(FEngine);
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    HoldChord(FEngine, {62});
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    EXPECT_EQ(FEngine.GeneratedNote().Pitch, 60);
}

TEST_F(ArpeggiatorSequenceTest, OctavesRandomDrawsOnlyWhatFits)
{
    FEngine.SetOctaves(4);
    FEngine.SetOctavesRandom(3);
    TRandomRecorder recorder;
    HoldChord(FEngine, {60});
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{2}));
    const int count = FEngine.Sequence().Count();
    EXPECT_TRUE(count == 4 || count == 5) << count;

    FEngine.SetOctavesRandom(300);
    recorder.Clear();
    FEngine.SetRest(1);
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{2}));
}

// The build draws the octave count, then the octave shuffle, then one shuffle per slot.
TEST_F(ArpeggiatorSequenceTest, RandomDrawsOfOneBuildInOrder)
{
    FEngine.SetOctaves(5);
    FEngine.SetOctavesRandom(2); // no room above five octaves: Random(1)
    FEngine.SetOctaveOrder(6);
    FEngine.SetNoteOrder(13);
    TRandomRecorder recorder;
    HoldChord(FEngine, {60, 64, 67});
    std::vector<std::uint32_t> expected{1, 5, 5, 5, 5, 5};
    expected.insert(expected.end(), 15, 3);
    EXPECT_EQ(recorder.Draws(), expected);
    EXPECT_EQ(FEngine.Sequence().Count(), 15);
}

TEST_F(ArpeggiatorSequenceTest, RandomShufflesAllPairsOnce)
{
    FEngine.SetOctaveOrder(6); // ignored: "Random" arranges the octaves itself
    FEngine.SetNoteOrder(12);
    TRandomRecorder recorder;
    HoldChord(FEngine, {60, 64, 67});
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>(6, 6)));
    TValues sorted = SequenceValues(FEngine);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (TValues{60, 64, 67, 72, 76, 79}));
}

TEST_F(ArpeggiatorSequenceTest, SameSeedSameSequence)
{
    FEngine.SetNoteOrder(12);
    FEngine.SetOctaves(3);
    SetRandSeed(99);
    HoldChord(FEngine, {60, 62, 64, 65, 67});
    const TValues first = SequenceValues(FEngine);
    FEngine.HeldNotes().Clear();
    SetRandSeed(99);
    HoldChord(FEngine, {60, 62, 64, 65, 67});
    EXPECT_EQ(SequenceValues(FEngine), first);
}

// The longest sequence the bounds allow, and rests held to the room that is left.
TEST_F(ArpeggiatorSequenceTest, LargestChordFitsAndRestsAreBounded)
{
    FEngine.SetOctaves(5);
    FEngine.SetOctaveOrder(3);
    FEngine.SetNoteOrder(4);
    FEngine.SetRest(1000);
    std::vector<std::int32_t> notes;
    for (int i = 0; i < TArpeggiator::kMaxHeldNotes + 10; ++i)
    {
        notes.push_back(i % 128);
    }
    HoldChord(FEngine, notes);
    EXPECT_EQ(FEngine.HeldNotes().Count(), TArpeggiator::kMaxHeldNotes);
    EXPECT_EQ(FEngine.Sequence().Count(), TArpeggiator::kMaxSequence);
    const int notesInSequence = 10 * (2 * TArpeggiator::kMaxHeldNotes - 1);
    EXPECT_EQ(FEngine.Sequence().Items(notesInSequence - 1), 0) << "the last slot ends on note 0";
    EXPECT_EQ(FEngine.Sequence().Items(notesInSequence), -1);
}

TEST_F(ArpeggiatorSequenceTest, RestsWithASmallChordAreNotCutToSixteen)
{
    FEngine.SetRest(1000);
    HoldChord(FEngine, {60});
    EXPECT_EQ(FEngine.Sequence().Count(), 2 + 1000);
}

} // namespace
} // namespace tumblet
