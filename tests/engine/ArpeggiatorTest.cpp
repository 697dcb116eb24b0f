#include "engine/Arpeggiator.h"
#include "engine/BlxMidiArpVelocityModeList.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace tumblet
{
namespace
{

using test::HoldChord;
using test::TRandomRecorder;

class ArpeggiatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetRandSeed(1);
        FEngine.SetNoteEndCallback(&NoteEnd, this);
    }

    static void NoteEnd(void* context, double positionSamples)
    {
        static_cast<ArpeggiatorTest*>(context)->FNoteEnds.push_back(positionSamples);
    }

    TArpeggiator FEngine;
    std::vector<double> FNoteEnds;
};

// (rate index, note type, numerator, denominator, speed, expected step length in beats)
using TLengthCase = std::tuple<int, int, int, int, int, double>;

class StepLengthTest : public ::testing::TestWithParam<TLengthCase>
{
};

TEST_P(StepLengthTest, FollowsTableMetreTypeAndSpeed)
{
    const auto [rate, type, numerator, denominator, speed, expected] = GetParam();
    TArpeggiator engine;
    engine.SetNoteType(static_cast<std::uint8_t>(type));
    engine.SetTimeSigNumerator(numerator);
    engine.SetTimeSigDenominator(denominator);
    engine.SetSpeed(speed);
    EXPECT_DOUBLE_EQ(engine.StepLength(rate, false), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepLengthTest,
    ::testing::Values(TLengthCase{4, 1, 4, 4, 0, 0.25}, TLengthCase{0, 1, 4, 4, 0, 1.0 / 64},
                      TLengthCase{13, 1, 4, 4, 0, 128}, TLengthCase{8, 1, 3, 4, 0, 3},
                      TLengthCase{7, 1, 3, 4, 0, 2}, TLengthCase{9, 1, 6, 8, 0, 6},
                      TLengthCase{4, 2, 4, 4, 0, 0.375}, TLengthCase{5, 0, 4, 4, 0, 1.0 / 3},
                      TLengthCase{4, 1, 4, 4, 100, 0.125}, TLengthCase{4, 1, 4, 4, -100, 0.5},
                      TLengthCase{4, 1, 4, 4, -50, 0.25 / 0.66}, TLengthCase{4, 1, 4, 4, -300, 1.0},
                      TLengthCase{4, 1, 4, 4, 200, 0.25 / 3},
                      // The slowest factor stays above zero: zero would stop the clock.
                      TLengthCase{4, 1, 4, 4, -1000000, 25.0},
                      // Out of the table and a metre of zeros: clamped, not undefined.
                      TLengthCase{200, 1, 4, 4, 0, 128}, TLengthCase{8, 1, 0, 0, 0, 4}));

TEST_F(ArpeggiatorTest, ConvertsBeatsAndSamples)
{
    EXPECT_EQ(FEngine.BeatsToSamples(0.25), 5512.5);
    EXPECT_EQ(FEngine.SamplesToBeats(22050.0), 1.0);
}

TEST_F(ArpeggiatorTest, SpeedTextShowsTheFactor)
{
    EXPECT_EQ(TArpeggiator::SpeedText(0.0f, "."), "1");
    EXPECT_EQ(TArpeggiator::SpeedText(100.0f, "."), "2.00x");
    EXPECT_EQ(TArpeggiator::SpeedText(-300.0f, "."), "0.25x");
    EXPECT_EQ(TArpeggiator::SpeedText(-50.0f, ","), "0,66x");
    EXPECT_EQ(TArpeggiator::SpeedText(1.0f, "."), "1.01x");
}

TEST_F(ArpeggiatorTest, TempoChangeCutsNotesOncePerRestart)
{
    FEngine.SetPpq(1.5);
    FEngine.SetSamplePos(33075.0);
    FEngine.SetTempo(120.0);
    EXPECT_TRUE(FNoteEnds.empty()) << "the same tempo is no change";
    FEngine.SetTempo(121.0);
    ASSERT_EQ(FNoteEnds, (std::vector<double>{33075.0}));
    EXPECT_TRUE(FEngine.ResyncRequested());
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 1.5);
    FEngine.SetTempo(122.0);
    FEngine.SetTimeSigNumerator(3);
    EXPECT_EQ(FNoteEnds.size(), 1u) << "a restart is already pending";
    FEngine.Reset(false);
    FEngine.SetTimeSigDenominator(8);
    EXPECT_EQ(FNoteEnds.size(), 2u);
}

TEST_F(ArpeggiatorTest, RateChangeRestartsAtTheNextBeat)
{
    FEngine.SetPpq(1.3);
    FEngine.SetRate(5);
    EXPECT_TRUE(FNoteEnds.empty()) << "nothing to restart without a sequence";
    EXPECT_FALSE(FEngine.ResyncRequested());

    HoldChord(FEngine, {60});
    FEngine.SetRate(6);
    EXPECT_TRUE(FEngine.ResyncRequested());
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 2.0);
    EXPECT_EQ(FNoteEnds, (std::vector<double>{44100.0}));
    FEngine.SetNoteType(0);
    EXPECT_EQ(FNoteEnds.size(), 2u);
}

TEST_F(ArpeggiatorTest, SpeedChangeSchedulesFreeRunningRestart)
{
    HoldChord(FEngine, {60, 64});
    FEngine.CurrentNote().StepStart = 1.0;
    FEngine.CurrentNote().LengthBeats = 3.0;
    FEngine.SetPpq(1.1);
    FEngine.SetSpeed(100);
    // The three-beat note is waited for only up to two beats.
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 3.0);
    EXPECT_EQ(FEngine.FreeMode().ResyncPos, 3.0);
    EXPECT_EQ(FEngine.FreeMode().SpeedAtChange, 100);
    EXPECT_EQ(FEngine.FreeMode().SavedIndex, -1);
    EXPECT_TRUE(FEngine.ResyncRequested());

    FEngine.SetSpeed(50);
    EXPECT_EQ(FEngine.Speed(), 50);
    EXPECT_EQ(FEngine.FreeMode().SpeedAtChange, 100) << "the pending change stays";
    EXPECT_EQ(FNoteEnds.size(), 1u);
}

TEST_F(ArpeggiatorTest, OctavesRandomRebuildsOnlyWhenSwitchedOff)
{
    HoldChord(FEngine, {60, 64});
    FEngine.SetNoteOrder(12);
    TRandomRecorder recorder;
    FEngine.SetOctavesRandom(3);
    EXPECT_TRUE(recorder.Draws().empty());
    FEngine.SetOctavesRandom(0);
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>(4, 4))) << "one shuffle of 4 pairs";
}

TEST_F(ArpeggiatorTest, LatchOffDropsTheHeldChord)
{
    FEngine.SetLatch(true);
    HoldChord(FEngine, {60, 64});
    ASSERT_GT(FEngine.Sequence().Count(), 0);
    FEngine.SetLatch(false);
    EXPECT_EQ(FEngine.HeldNotes().Count(), 0);
    EXPECT_EQ(FEngine.Sequence().Count(), 0);
    test::TBlockPlayer player(FEngine);
    EXPECT_LT(player.PlayUntilNote(50), 0.0);
}

// Choosing Highest, Lowest or Average while a chord is held must take the chord's velocities
// (30, 91, 60) at once, not wait for the next change of the chord.
TEST_F(ArpeggiatorTest, VelocityModeChosenWhileHoldingUsesTheHeldChord)
{
    for (const auto& [mode, expected] :
         {std::pair{"Highest", 91}, std::pair{"Lowest", 30}, std::pair{"Average", 60}})
    {
        TArpeggiator engine;
        engine.HeldNotes().BeginUpdate();
        engine.HeldNotes().AddNote(0, 60, 30);
        engine.HeldNotes().AddNote(0, 64, 91);
        engine.HeldNotes().AddNote(0, 67, 60);
        engine.HeldNotes().EndUpdate();
        engine.SetVelocityMode(test::EngineCode<TMidiArpVelocityModeList>(mode));
        test::TBlockPlayer player(engine);
        ASSERT_TRUE(player.PlayAt(0.0));
        EXPECT_EQ(engine.GeneratedNote().Velocity, expected) << "mode " << mode;
    }
}

TEST_F(ArpeggiatorTest, EmptyChordStopsTheClockAndClearsTheSequence)
{
    HoldChord(FEngine, {60});
    test::TBlockPlayer player(FEngine);
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    EXPECT_GE(FEngine.StepCounter(), 0);
    FEngine.HeldNotes().RemoveNote(60);
    EXPECT_EQ(FEngine.Sequence().Count(), 0);
    EXPECT_EQ(FEngine.StepCounter(), -1);
    EXPECT_EQ(FEngine.SequenceIndex(), -1);
    EXPECT_NE(FEngine.CurrentNote().StepEnd, -1.0) << "a partial reset keeps the current note";
}

TEST_F(ArpeggiatorTest, ClearAllDropsChordAndResetsEveryClock)
{
    HoldChord(FEngine, {60});
    FEngine.SetSpeed(100);
    test::TBlockPlayer player(FEngine);
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    FEngine.FreeMode().SavedIndex = 3;
    FEngine.ClearAll();
    EXPECT_EQ(FEngine.HeldNotes().Count(), 0);
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, -1.0);
    EXPECT_EQ(FEngine.PrevPpq(), 0.0);
    EXPECT_EQ(FEngine.FreeMode().SavedIndex, -1);
    EXPECT_EQ(FEngine.FreeMode().Clock, 0.0);
    EXPECT_EQ(FEngine.FreeMode().SpeedAtChange, 0);
}

} // namespace
} // namespace tumblet
