#include "engine/Arpeggiator.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace tumblet
{
namespace
{

struct TFaultyCase
{
    std::string Name;
    std::function<void(TArpeggiator&)> Apply;
};

class ArpeggiatorRobustnessTest : public ::testing::TestWithParam<TFaultyCase>
{
};

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Values the parameter layer should never send (its handlers do not clamp). The engine must
// neither crash nor invoke undefined behaviour (the sanitizer build runs this too), and any
// note it sends must be valid MIDI.
TEST_P(ArpeggiatorRobustnessTest, FaultySettingsKeepNotesValid)
{
    SetRandSeed(5);
    TArpeggiator engine;
    engine.SetVelocityRandom(30);
    engine.SetGateRandom(30);
    engine.SetShiftRandom(30);
    engine.SetSwingRandom(30);
    GetParam().Apply(engine);
    test::HoldChord(engine, {0, 60, 64, 67, 127});
    test::TBlockPlayer player(engine);
    for (int block = 0; block < 3000; ++block)
    {
        if (block == 1500)
        {
            engine.HeldNotes().RemoveNote(60);
        }
        if (player.PlayAt(block * 512.0))
        {
            const TGeneratedNote& note = engine.GeneratedNote();
            ASSERT_GE(note.Pitch, 0);
            ASSERT_LE(note.Pitch, 127);
            ASSERT_GE(note.Velocity, 0);
            ASSERT_LE(note.Velocity, 127);
            ASSERT_GE(note.Length, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, ArpeggiatorRobustnessTest,
    ::testing::Values(
        TFaultyCase{"Rate0", [](TArpeggiator& e) { e.SetRate(0); }},
        TFaultyCase{"Rate13", [](TArpeggiator& e) { e.SetRate(13); }},
        TFaultyCase{"Rate255", [](TArpeggiator& e) { e.SetRate(255); }},
        TFaultyCase{"NoteType9", [](TArpeggiator& e) { e.SetNoteType(9); }},
        TFaultyCase{"Octaves0", [](TArpeggiator& e) { e.SetOctaves(0); }},
        TFaultyCase{"Octaves99", [](TArpeggiator& e) { e.SetOctaves(99); }},
        TFaultyCase{"OctavesMin", [](TArpeggiator& e) { e.SetOctaves(kIntMin); }},
        TFaultyCase{"OctavesRandom300", [](TArpeggiator& e) { e.SetOctavesRandom(300); }},
        TFaultyCase{"OctavesRandomMax", [](TArpeggiator& e) { e.SetOctavesRandom(kIntMax); }},
        TFaultyCase{"OctaveOrder200", [](TArpeggiator& e) { e.SetOctaveOrder(200); }},
        TFaultyCase{"NoteOrder200", [](TArpeggiator& e) { e.SetNoteOrder(200); }},
        TFaultyCase{"Rest1000", [](TArpeggiator& e) { e.SetRest(1000); }},
        TFaultyCase{"RestMax", [](TArpeggiator& e) { e.SetRest(kIntMax); }},
        TFaultyCase{"RestNegative", [](TArpeggiator& e) { e.SetRest(-5); }},
        TFaultyCase{"GateHuge", [](TArpeggiator& e) { e.SetGate(kIntMax); }},
        TFaultyCase{"GateNegative", [](TArpeggiator& e) { e.SetGate(kIntMin); }},
        TFaultyCase{"ShiftHuge", [](TArpeggiator& e) { e.SetShift(kIntMax); }},
        TFaultyCase{"ShiftNegative", [](TArpeggiator& e) { e.SetShift(-1000); }},
        TFaultyCase{"SwingHuge", [](TArpeggiator& e) { e.SetSwing(kIntMax); }},
        TFaultyCase{"VelocityScaleHuge", [](TArpeggiator& e) { e.SetVelocityScale(kIntMax); }},
        TFaultyCase{"VelocityScaleMin", [](TArpeggiator& e) { e.SetVelocityScale(kIntMin); }},
        TFaultyCase{"VelocityMode9", [](TArpeggiator& e) { e.SetVelocityMode(9); }},
        TFaultyCase{"VelocityFixedHuge", [](TArpeggiator& e)
                    {
                        e.SetVelocityMode(6);
                        e.SetVelocityFixed(kIntMax);
                    }},
        TFaultyCase{"ProbabilityNegative", [](TArpeggiator& e) { e.SetNoteProbability(-5); }},
        TFaultyCase{"TransposeHuge", [](TArpeggiator& e) { e.SetTranspose(kIntMax); }},
        TFaultyCase{"TransposeMin", [](TArpeggiator& e) { e.SetTranspose(kIntMin); }},
        TFaultyCase{"SpeedVerySlow", [](TArpeggiator& e) { e.SetSpeed(kIntMin); }},
        TFaultyCase{"SpeedVeryFast", [](TArpeggiator& e) { e.SetSpeed(kIntMax); }},
        TFaultyCase{"TempoZero", [](TArpeggiator& e) { e.SetTempo(0.0); }},
        TFaultyCase{"TempoNaN",
                    [](TArpeggiator& e) { e.SetTempo(std::numeric_limits<double>::quiet_NaN()); }},
        TFaultyCase{"SampleRateZero", [](TArpeggiator& e) { e.SetSampleRate(0.0); }},
        TFaultyCase{"MetreZero",
                    [](TArpeggiator& e)
                    {
                        e.SetTimeSigNumerator(0);
                        e.SetTimeSigDenominator(0);
                        e.SetRate(10);
                    }},
        TFaultyCase{"ReversedLoop",
                    [](TArpeggiator& e)
                    {
                        e.SetCycleActive(true);
                        e.SetCycleStart(50000.0);
                        e.SetCycleEnd(100.0);
                    }},
        TFaultyCase{"LoopAtZero",
                    [](TArpeggiator& e)
                    {
                        e.SetCycleActive(true);
                        e.SetCycleEnd(0.0);
                    }}),
    [](const ::testing::TestParamInfo<TFaultyCase>& info) { return info.param.Name; });

// A huge song position must not overflow the grid index.
TEST(ArpeggiatorRobustnessEdgeTest, HugeSongPositionKeepsPlaying)
{
    TArpeggiator engine;
    test::HoldChord(engine, {60});
    test::TBlockPlayer player(engine);
    int notes = 0;
    for (int block = 0; block < 200; ++block)
    {
        notes += player.PlayAt(1e15 + block * 512.0) ? 1 : 0;
    }
    EXPECT_GT(notes, 10);
}

// A base value already past the cap of its random addition leaves no room: the draw is still
// made, as Random(1), instead of asking for a negative range.
TEST(ArpeggiatorRobustnessEdgeTest, NoRoomAboveTheCapStillDrawsOnce)
{
    TArpeggiator engine;
    engine.SetShift(80);
    engine.SetShiftRandom(10);
    engine.SetGate(500);
    engine.SetGateRandom(10);
    engine.SetVelocityScale(300);
    engine.SetVelocityRandom(10);
    test::HoldChord(engine, {60});
    test::TRandomRecorder recorder;
    test::TBlockPlayer player(engine);
    ASSERT_GE(player.PlayUntilNote(), 0.0);
    // Setup shift; then velocity, gate, probability and the next step's shift.
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{1, 1, 1, 100, 1}));
    EXPECT_EQ(engine.CurrentShift(), 50);
    EXPECT_EQ(engine.GeneratedNote().Velocity, 127);
}

} // namespace
} // namespace tumblet
