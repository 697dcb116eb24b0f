#include "engine/Arpeggiator.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace tumblet
{
namespace
{

using test::HoldChord;
using test::TBlockPlayer;
using test::TRandomRecorder;

// 120 BPM, 44100 Hz, 4/4, blocks of 512 samples, sixteenth steps (5512.5 samples), gate 100,
// no randomness, synchronised, transport from Ppq 0.
class ArpeggiatorStepTest : public ::testing::Test
{
protected:
    void SetUp() override { SetRandSeed(2024); }

    const TGeneratedNote& Note() const { return FEngine.GeneratedNote(); }

    TArpeggiator FEngine;
    TBlockPlayer FPlayer{FEngine};
};

TEST_F(ArpeggiatorStepTest, FirstTwoStepsOnTheGrid)
{
    HoldChord(FEngine, {60});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    EXPECT_EQ(Note().Pitch, 60);
    EXPECT_EQ(Note().Offset, 0);
    EXPECT_EQ(Note().Length, 5511);
    EXPECT_EQ(Note().Velocity, 100);
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 0.25);

    ASSERT_EQ(FPlayer.PlayUntilNote(), 5120.0);
    EXPECT_EQ(Note().Pitch, 72);
    EXPECT_EQ(Note().Offset, 392);
    EXPECT_EQ(Note().Length, 5511);
}

TEST_F(ArpeggiatorStepTest, SecondStepLandsAfterSwing)
{
    FEngine.SetSwing(50);
    HoldChord(FEngine, {60});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    ASSERT_EQ(FPlayer.PlayUntilNote(), 6656.0);
    EXPECT_EQ(FEngine.CurrentNote().StepStart, 0.3125);
    EXPECT_EQ(Note().Offset, 235);
    EXPECT_EQ(Note().Length, 4133);
}

// Step 0 would move to -0.05 beat, before the song start: it stays and is shortened instead.
TEST_F(ArpeggiatorStepTest, EarlyShiftAtSongStartShortensTheFirstNote)
{
    FEngine.SetShift(-20);
    HoldChord(FEngine, {60});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    EXPECT_EQ(Note().Offset, 0);
    EXPECT_EQ(Note().Length, 4409);
    EXPECT_DOUBLE_EQ(FEngine.NextStepPos(), 0.2);
    ASSERT_EQ(FPlayer.PlayUntilNote(), 4096.0);
    EXPECT_EQ(Note().Offset, 314);
    EXPECT_EQ(Note().Length, 5511);
}

TEST_F(ArpeggiatorStepTest, GateZeroGivesTheMinimumLength)
{
    FEngine.SetGate(0);
    HoldChord(FEngine, {60});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    EXPECT_EQ(Note().Length, 344);
}

TEST_F(ArpeggiatorStepTest, ZeroProbabilityDrawsForEveryStepAndSendsNothing)
{
    FEngine.SetNoteProbability(0);
    HoldChord(FEngine, {60});
    TRandomRecorder recorder;
    for (int block = 0; block < 20; ++block)
    {
        EXPECT_FALSE(FPlayer.PlayAt(block * 512.0));
    }
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{100, 100}));
    EXPECT_EQ(FEngine.StepCounter(), 2);
}

TEST_F(ArpeggiatorStepTest, DroppedPitchStillDrawsVelocityAndGate)
{
    FEngine.SetTranspose(36);
    FEngine.SetVelocityRandom(10);
    FEngine.SetGateRandom(10);
    HoldChord(FEngine, {100});
    TRandomRecorder recorder;
    EXPECT_FALSE(FPlayer.PlayAt(0.0));
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{11, 11, 100}));
    EXPECT_EQ(Note().Pitch, -1);
    EXPECT_EQ(Note().Length, 0);
}

// Issue 16: a block longer than a step plays every step of it, each at its own offset, and a
// step that lies before the block is played at its start, shortened to end where it would have.
TEST_F(ArpeggiatorStepTest, LongBlocksPlayEveryStepOnTheGrid)
{
    FEngine.SetRate(2); // 1/16 beat: 1378.125 samples
    HoldChord(FEngine, {60});
    std::vector<double> onsets;
    for (int block = 0; block < 8; ++block)
    {
        FEngine.SetSamplePos(block * 4096.0);
        FEngine.SetPpq(FEngine.SamplesToBeats(block * 4096.0));
        FEngine.BeginBlock(4096);
        while (FEngine.NextStep())
        {
            ASSERT_GE(Note().Offset, 0);
            ASSERT_LE(Note().Offset, 4096);
            onsets.push_back(block * 4096.0 + Note().Offset);
        }
        FEngine.EndBlock();
    }
    ASSERT_EQ(onsets.size(), 24u); // grid points 0 to 23 start within 8 × 4096 samples
    for (std::size_t i = 0; i < onsets.size(); ++i)
        EXPECT_NEAR(onsets[i], i * 1378.125, 0.5) << i;
}

class TempoRampTest : public ::testing::TestWithParam<bool>
{
};

// Every block changes the tempo, so every block restarts the sequence at its first entry.
TEST_P(TempoRampTest, EveryStepPlaysTheFirstEntry)
{
    TArpeggiator engine;
    engine.SetRestart(GetParam());
    HoldChord(engine, {64, 60, 67});
    TBlockPlayer player(engine);
    int notes = 0;
    for (int block = 0; block < 400; ++block)
    {
        engine.SetTempo(120.0 + 0.25 * block);
        if (player.PlayAt(block * 512.0))
        {
            ++notes;
            EXPECT_EQ(engine.GeneratedNote().Pitch, 60) << "block " << block;
        }
    }
    EXPECT_GT(notes, 10);
}

INSTANTIATE_TEST_SUITE_P(RestartOffAndOn, TempoRampTest, ::testing::Bool());

TEST_F(ArpeggiatorStepTest, RestsAlternateAndStillDrawForProbability)
{
    FEngine.SetOctaves(1);
    FEngine.SetRest(1);
    HoldChord(FEngine, {60});
    TRandomRecorder recorder;
    std::vector<bool> sounded;
    for (int block = 0; block < 43; ++block)
    {
        const std::size_t before = recorder.Draws().size();
        const bool note = FPlayer.PlayAt(block * 512.0);
        if (recorder.Draws().size() > before)
        {
            sounded.push_back(note);
        }
    }
    EXPECT_EQ(sounded, (std::vector<bool>{true, false, true, false}));
}

// A whole-bar rate starts at the next beat and ends where the previous bar's note would have.
TEST_F(ArpeggiatorStepTest, WholeNoteStartsAtNextBeat)
{
    FEngine.SetRate(8);
    FPlayer.SetPosition(33075.0); // beat 1.5
    HoldChord(FEngine, {60});
    EXPECT_FALSE(FPlayer.PlayAt(33075.0));
    EXPECT_EQ(FEngine.PendingOffset(), -2.0);
    EXPECT_EQ(FEngine.NextStepPos(), 2.0);
    FPlayer.SetPosition(33075.0 + 512.0);
    ASSERT_EQ(FPlayer.PlayUntilNote(), 43827.0);
    EXPECT_EQ(Note().Offset, 273);
    EXPECT_EQ(Note().Length, 44099);
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 4.0);
    EXPECT_EQ(FEngine.NextStepPos(), 4.0);
    EXPECT_EQ(FEngine.PendingOffset(), 0.0);
}

TEST_F(ArpeggiatorStepTest, FreeRunningStepsAtTheChangedSpeed)
{
    FEngine.SetSpeed(100);
    FEngine.SetShift(-20); // not applied while free-running
    HoldChord(FEngine, {60});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    EXPECT_EQ(Note().Length, 2755);
    ASSERT_EQ(FPlayer.PlayUntilNote(), 2560.0);
    EXPECT_EQ(Note().Offset, 196);
    EXPECT_EQ(FEngine.CurrentNote().StepStart, 0.125);
    EXPECT_EQ(FEngine.FreeMode().Clock, 0.25) << "the unswung position of the next step";
}

// Switching to free-running waits for the current note, then resumes after the entry played.
TEST_F(ArpeggiatorStepTest, SpeedChangeResumesAtTheSavedIndex)
{
    FEngine.SetOctaves(1);
    HoldChord(FEngine, {64, 60, 67});
    std::vector<std::int32_t> pitches;
    std::vector<double> starts;
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_GE(FPlayer.PlayUntilNote(), 0.0);
        pitches.push_back(Note().Pitch);
    }
    FEngine.SetSpeed(100);
    EXPECT_EQ(FEngine.FreeMode().SavedIndex, 1);
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_GE(FPlayer.PlayUntilNote(), 0.0);
        pitches.push_back(Note().Pitch);
        starts.push_back(FEngine.CurrentNote().StepStart);
    }
    EXPECT_EQ(pitches, (std::vector<std::int32_t>{60, 64, 67, 60}));
    EXPECT_NEAR(starts[0], 0.25 + FEngine.SamplesToBeats(5511), 1e-12);
    EXPECT_DOUBLE_EQ(starts[1] - starts[0], 0.125);
}

TEST_F(ArpeggiatorStepTest, RateChangeWaitsForTheNextBeatThenRestarts)
{
    FEngine.SetOctaves(1);
    HoldChord(FEngine, {64, 60, 67});
    ASSERT_EQ(FPlayer.PlayUntilNote(), 0.0);
    ASSERT_GE(FPlayer.PlayUntilNote(), 0.0);
    FEngine.SetRate(5);
    EXPECT_EQ(FEngine.CurrentNote().StepEnd, 1.0);
    const double start = FPlayer.PlayUntilNote();
    EXPECT_EQ(start, 22016.0) << "the block that reaches beat 1";
    EXPECT_EQ(Note().Pitch, 60);
    EXPECT_EQ(Note().Offset, 34);
    EXPECT_EQ(Note().Length, 11024);
}

// (velocity mode, scale, expected velocity of the first step) for held velocities 30, 90, 60
// on notes 64, 60, 67; the first step plays 60, held with velocity 90.
struct TVelocityCase
{
    int Mode;
    int Scale;
    int Expected;
};

class VelocityTest : public ::testing::TestWithParam<TVelocityCase>
{
};

TEST_P(VelocityTest, ModeAndScaling)
{
    TArpeggiator engine;
    engine.SetVelocityMode(static_cast<std::uint8_t>(GetParam().Mode));
    engine.SetVelocityScale(GetParam().Scale);
    engine.SetVelocityFixed(100);
    engine.HeldNotes().BeginUpdate();
    engine.HeldNotes().AddNote(0, 64, 30);
    engine.HeldNotes().AddNote(0, 60, 90);
    engine.HeldNotes().AddNote(0, 67, 60);
    engine.HeldNotes().EndUpdate();
    TBlockPlayer player(engine);
    ASSERT_TRUE(player.PlayAt(0.0));
    EXPECT_EQ(engine.GeneratedNote().Velocity, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, VelocityTest,
                         ::testing::Values(TVelocityCase{0, 0, 90}, TVelocityCase{1, 0, 30},
                                           TVelocityCase{2, 0, 60}, TVelocityCase{3, 0, 90},
                                           TVelocityCase{4, 0, 30}, TVelocityCase{5, 0, 60},
                                           TVelocityCase{6, 0, 100}, TVelocityCase{0, -50, 45},
                                           TVelocityCase{0, -100, 0}, TVelocityCase{0, 100, 127},
                                           // 30 + RoundEven(48.5): the tie goes to the even 48.
                                           TVelocityCase{1, 50, 78}, TVelocityCase{0, 1000, 127},
                                           TVelocityCase{0, -1000, 0}, TVelocityCase{9, 0, 90}));

TEST_F(ArpeggiatorStepTest, HostLoopEndWaitsForTheJumpBack)
{
    FEngine.SetOctaves(1);
    HoldChord(FEngine, {64, 60, 67});
    FEngine.SetCycleActive(true);
    FEngine.SetCycleStart(0.0);
    FEngine.SetCycleEnd(22000.0); // just before beat 1
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_GE(FPlayer.PlayUntilNote(), 0.0);
        EXPECT_FALSE(FEngine.CycleWrapPending());
    }
    ASSERT_EQ(FPlayer.PlayUntilNote(), 16384.0);
    EXPECT_EQ(Note().Length, 22000 - 16384 - Note().Offset) << "cut at the loop end";
    EXPECT_TRUE(FEngine.CycleWrapPending());
    EXPECT_LT(FPlayer.PlayUntilNote(30), 0.0) << "nothing until the host jumps back";
    ASSERT_TRUE(FPlayer.PlayAt(0.0));
    EXPECT_EQ(Note().Pitch, 60);
    EXPECT_FALSE(FEngine.CycleWrapPending());
}

// The step at beat 0.75 starts in the block at sample 16384 and would end at 22049.5.
struct TLoopCutCase
{
    double CycleEnd;
    bool Sounds; ///< false: cut below 1/32 beat and dropped
};

class HostLoopCutTest : public ::testing::TestWithParam<TLoopCutCase>
{
};

TEST_P(HostLoopCutTest, StepReachingTheLoopEndIsCutOrDropped)
{
    TArpeggiator engine;
    HoldChord(engine, {60});
    engine.SetCycleActive(true);
    engine.SetCycleEnd(GetParam().CycleEnd);
    TBlockPlayer player(engine);
    for (int block = 0; block < 32; ++block)
    {
        player.PlayAt(block * 512.0);
    }
    EXPECT_EQ(player.PlayAt(16384.0), GetParam().Sounds);
    const TGeneratedNote& note = engine.GeneratedNote();
    if (GetParam().Sounds)
    {
        EXPECT_EQ(note.Length, GetParam().CycleEnd - 16384 - note.Offset);
    }
    else
    {
        EXPECT_EQ(note.Length, 0);
    }
    EXPECT_TRUE(engine.CycleWrapPending());
}

INSTANTIATE_TEST_SUITE_P(Ends, HostLoopCutTest,
                         ::testing::Values(TLoopCutCase{21050.0, true},
                                           TLoopCutCase{17038.0, false}));

// Every random amount set: the draws of one step come in a fixed order.
TEST_F(ArpeggiatorStepTest, RandomDrawsOfAStepInOrder)
{
    FEngine.SetOctaves(5);
    FEngine.SetOctavesRandom(1); // no room above five octaves: Random(1)
    FEngine.SetNoteOrder(12);
    FEngine.SetVelocityRandom(50);
    FEngine.SetGateRandom(30);
    FEngine.SetShiftRandom(20);
    FEngine.SetSwing(10);
    FEngine.SetSwingRandom(40);
    HoldChord(FEngine, {60, 64});
    ASSERT_EQ(FEngine.Sequence().Count(), 10);

    TRandomRecorder recorder;
    std::vector<std::uint32_t> expected{21}; // the first step's shift, in SetupFirstStep
    for (int step = 0; step < 11; ++step)
    {
        if (step == 10)
        {
            expected.push_back(1); // the wrap rebuilds: octave count, then the shuffle
            expected.insert(expected.end(), 10, 10);
        }
        expected.insert(expected.end(), {51, 31, 100, 21});
        if ((step + 1) % 2 == 1)
        {
            expected.push_back(41);
        }
        ASSERT_GE(FPlayer.PlayUntilNote(), 0.0) << "step " << step;
    }
    EXPECT_EQ(recorder.Draws(), expected);
}

TEST_F(ArpeggiatorStepTest, FirstStepOnAnOddGridPointDrawsShiftThenSwing)
{
    FEngine.SetShift(-50); // an early shift keeps the grid index odd
    FEngine.SetShiftRandom(20);
    FEngine.SetSwingRandom(40);
    HoldChord(FEngine, {60});
    TRandomRecorder recorder;
    FPlayer.PlayAt(2205.0); // beat 0.1: the first grid point is step 1
    ASSERT_GE(recorder.Draws().size(), 2u);
    EXPECT_EQ(recorder.Draws()[0], 21u);
    EXPECT_EQ(recorder.Draws()[1], 41u);
}

TEST_F(ArpeggiatorStepTest, SameSeedSameNotes)
{
    auto run = []
    {
        SetRandSeed(31337);
        TArpeggiator engine;
        engine.SetNoteOrder(12);
        engine.SetVelocityRandom(100);
        engine.SetGateRandom(100);
        engine.SetShiftRandom(30);
        engine.SetSwingRandom(60);
        engine.SetNoteProbability(70);
        HoldChord(engine, {60, 63, 67, 70});
        TBlockPlayer player(engine);
        std::vector<std::int32_t> trace;
        for (int block = 0; block < 500; ++block)
        {
            if (player.PlayAt(block * 512.0))
            {
                const TGeneratedNote& note = engine.GeneratedNote();
                trace.insert(trace.end(),
                             {block, note.Pitch, note.Velocity, note.Offset, note.Length});
            }
        }
        return trace;
    };
    const std::vector<std::int32_t> first = run();
    EXPECT_GT(first.size(), 50u);
    EXPECT_EQ(run(), first);
}

} // namespace
} // namespace tumblet
