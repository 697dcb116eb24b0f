// What a host's settings do to the arpeggio, through the built Tumblet.so: the sample rate, the
// tempo and the time signature decide where steps fall, the chord's channel is the output's
// channel, Transpose moves the pitches, and the random orders keep or redraw their order per
// pass. Every expected number is worked out by hand from the musical rules, not by the plug-in's
// own formulas.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace tumblet::test
{
namespace
{

constexpr std::int32_t kBlock = 512;
constexpr std::int32_t kRateParameter = 0;
constexpr std::int32_t kNoteOrderParameter = 2;
constexpr std::int32_t kOctavesParameter = 3;
constexpr std::int32_t kOctaveOrderParameter = 4;
constexpr std::int32_t kTransposeParameter = 14;

// Tags of the Rate parameter.
constexpr float kWhole = 7;       // "1/1": a bar of the current time signature
constexpr float kDoubleWhole = 8; // "2/1": two bars
constexpr float kQuarter = 5;     // "1/4": one quarter note whatever the bar
constexpr float kEighth = 4;
constexpr float kSixteenth = 3;

struct THostRow
{
    const char* Name;
    double SampleRate;
    double Tempo; // quarter notes per minute
    int Numerator;
    int Denominator;
    float Rate;
    double StepQuarters; // expected step length
    std::uint8_t Channel;
    float Transpose;
    std::vector<std::uint8_t> Chord;
    std::vector<int> Pitches; // expected pitches of the first steps ("Up" over two octaves)
};

void PrintTo(const THostRow& row, std::ostream* out)
{
    *out << row.Name;
}

std::vector<THostRow> HostRows()
{
    return {
        {"cd_rate", 44100, 120, 4, 4, kSixteenth, 0.25, 0, 0, {60, 64}, {60, 64, 72, 76}},
        {"rate_48k", 48000, 120, 4, 4, kSixteenth, 0.25, 0, 0, {60, 64}, {60, 64, 72, 76}},
        {"rate_96k_90bpm", 96000, 90, 4, 4, kEighth, 0.5, 0, 0, {60, 64}, {60, 64, 72, 76}},
        {"rate_22k", 22050, 120, 4, 4, kSixteenth, 0.25, 0, 0, {60, 64}, {60, 64, 72, 76}},
        {"rate_192k", 192000, 133, 4, 4, kSixteenth, 0.25, 0, 0, {60, 64}, {60, 64, 72, 76}},
        {"channel_10", 44100, 120, 4, 4, kSixteenth, 0.25, 9, 0, {60, 64}, {60, 64, 72, 76}},
        {"channel_16", 48000, 120, 4, 4, kSixteenth, 0.25, 15, 0, {48}, {48, 60, 48, 60}},
        {"transpose_up", 44100, 120, 4, 4, kSixteenth, 0.25, 0, 7, {60, 64}, {67, 71, 79, 83}},
        {"transpose_down", 44100, 120, 4, 4, kSixteenth, 0.25, 2, -36, {60, 64}, {24, 28, 36, 40}},
        // A note moved past 127 is not played, but its step still passes.
        {"transpose_off_top", 44100, 120, 4, 4, kSixteenth, 0.25, 0, 36, {90}, {126, -1, 126, -1}},
        {"bar_4_4", 44100, 120, 4, 4, kWhole, 4.0, 0, 0, {60}, {60, 72, 60, 72}},
        {"bar_3_4", 44100, 120, 3, 4, kWhole, 3.0, 0, 0, {60}, {60, 72, 60, 72}},
        {"bar_6_8", 48000, 120, 6, 8, kWhole, 3.0, 0, 0, {60}, {60, 72, 60, 72}},
        {"two_bars_7_8", 44100, 150, 7, 8, kDoubleWhole, 7.0, 0, 0, {60}, {60, 72, 60, 72}},
        {"quarter_in_5_4", 44100, 120, 5, 4, kQuarter, 1.0, 0, 0, {60}, {60, 72, 60, 72}},
    };
}

std::vector<TInEvent> Chord(const std::vector<std::uint8_t>& notes, std::uint8_t channel = 0)
{
    std::vector<TInEvent> events;
    for (std::uint8_t note : notes)
        events.push_back(NoteOn(note, 100, 0, channel));
    return events;
}

class HostSettingsTest : public ::testing::TestWithParam<THostRow>
{
};

TEST_P(HostSettingsTest, StepsFallWhereTheHostsTimeSaysOnTheChordsChannelAndTransposed)
{
    const THostRow& row = GetParam();
    const double stepSamples = row.StepQuarters * 60.0 / row.Tempo * row.SampleRate;
    TTestHost host;
    host.SampleRateAnswer = static_cast<std::intptr_t>(row.SampleRate);
    ASSERT_NE(host.LoadAndOpen(), nullptr);
    SetReal(host, kRateParameter, row.Rate, 0, 10);
    SetReal(host, kTransposeParameter, row.Transpose, -36, 36);
    host.SetPlaying(row.Tempo, row.SampleRate);
    host.TimeInfo.timeSigNumerator = row.Numerator;
    host.TimeInfo.timeSigDenominator = row.Denominator;
    host.SendEvents(Chord(row.Chord, row.Channel));
    const auto length = static_cast<std::int64_t>(stepSamples * row.Pitches.size() + kBlock);
    while (host.ProcessedSamples < length)
        host.ProcessAndAdvance(kBlock);
    // Stopping ends what still sounds, on the same channel.
    host.SetStopped();
    host.ProcessAndAdvance(kBlock);

    // Step k starts k steps after the song start, at the nearest sample.
    std::vector<std::int64_t> wantOnsets;
    std::vector<int> wantPitches;
    for (std::size_t k = 0; k < row.Pitches.size(); ++k)
        if (row.Pitches[k] >= 0)
        {
            wantOnsets.push_back(std::llround(k * stepSamples));
            wantPitches.push_back(row.Pitches[k]);
        }
    const auto ons = NoteOns(host.Timeline);
    ASSERT_GE(ons.size(), wantOnsets.size());
    for (std::size_t i = 0; i < wantOnsets.size(); ++i)
    {
        EXPECT_NEAR(ons[i].Position, wantOnsets[i], 1) << "step " << i;
        EXPECT_EQ(int{ons[i].Event.Data[1]}, wantPitches[i]) << "step " << i;
    }
    for (const auto& on : ons)
        EXPECT_EQ(on.Event.Status(), 0x90 | row.Channel);
    // At the full gate a note lasts its step, less the one sample before the next note-on.
    const auto offs = NoteOffs(host.Timeline);
    ASSERT_FALSE(offs.empty());
    EXPECT_NEAR(offs.front().Position - ons.front().Position, stepSamples - 1, 1);
    for (const auto& off : offs)
        EXPECT_EQ(off.Event.Status(), 0x80 | row.Channel);
    EXPECT_TRUE(EveryNoteEnds(host.Timeline));
}

INSTANTIATE_TEST_SUITE_P(Rows, HostSettingsTest, ::testing::ValuesIn(HostRows()),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TRandomRow
{
    const char* Name;
    float NoteOrder;   // tag
    float OctaveOrder; // tag
    float Octaves;
    std::vector<std::uint8_t> Chord;
    std::vector<int> Pass; // the pitches of one pass, in any order
    bool KeepsOrder;
};

void PrintTo(const TRandomRow& row, std::ostream* out)
{
    *out << row.Name;
}

// "Random" and "Random Oct" (tags 12 and 13) and the octave order "Random" (6) draw a new
// order for every pass; their "Once" forms (16, 17 and 7) keep the first order.
std::vector<TRandomRow> RandomRows()
{
    const std::vector<std::uint8_t> chord = {60, 62, 64, 65};
    const std::vector<int> oneOctave = {60, 62, 64, 65};
    const std::vector<int> twoOctaves = {60, 62, 64, 65, 72, 74, 76, 77};
    return {
        {"random", 12, 0, 1, chord, oneOctave, false},
        {"random_once", 16, 0, 1, chord, oneOctave, true},
        {"random_oct", 13, 0, 2, chord, twoOctaves, false},
        {"random_oct_once", 17, 0, 2, chord, twoOctaves, true},
        {"octaves_random", 0, 6, 4, {48}, {48, 60, 72, 84}, false},
        {"octaves_random_once", 0, 7, 4, {48}, {48, 60, 72, 84}, true},
    };
}

class RandomOrderTest : public ::testing::TestWithParam<TRandomRow>
{
};

TEST_P(RandomOrderTest, EveryPassIsAPermutationThatIsKeptOnlyByTheOnceOrders)
{
    const TRandomRow& row = GetParam();
    constexpr std::size_t kPasses = 8;
    TTestHost host;
    ASSERT_NE(host.LoadAndOpen(), nullptr);
    SetReal(host, kNoteOrderParameter, row.NoteOrder, 0, 17);
    SetReal(host, kOctaveOrderParameter, row.OctaveOrder, 0, 7);
    SetReal(host, kOctavesParameter, row.Octaves, 1, 5);
    host.SetPlaying();
    host.SendEvents(Chord(row.Chord));
    const std::size_t steps = kPasses * row.Pass.size();
    while (NoteOns(host.Timeline).size() < steps && host.ProcessedSamples < 44100 * 60)
        host.ProcessAndAdvance(kBlock);

    const auto ons = NoteOns(host.Timeline);
    ASSERT_GE(ons.size(), steps);
    std::vector<std::vector<int>> passes(kPasses);
    for (std::size_t i = 0; i < steps; ++i)
        passes[i / row.Pass.size()].push_back(ons[i].Event.Data[1]);
    std::vector<int> expected = row.Pass;
    std::sort(expected.begin(), expected.end());
    for (const auto& pass : passes)
    {
        std::vector<int> sorted = pass;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, expected) << "a pass plays every pitch once";
    }
    // Eight passes that all come out the same by chance: at most one in 24^7.
    const bool allSame =
        std::all_of(passes.begin(), passes.end(), [&](const auto& p) { return p == passes[0]; });
    EXPECT_EQ(allSame, row.KeepsOrder);
}

INSTANTIATE_TEST_SUITE_P(Rows, RandomOrderTest, ::testing::ValuesIn(RandomRows()),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace tumblet::test
