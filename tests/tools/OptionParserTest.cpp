#include "OptionParser.h"
#include "RenderError.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

TRenderOptions Parse(std::vector<std::string> arguments)
{
    return TOptionParser::Parse(arguments);
}

TEST(OptionParserTest, FirstChordStartsAtZeroAndHoldBindsToTheChordBeforeIt)
{
    const auto options = Parse({"--chord", "C4 E4", "--hold", "2", "--at", "4", "--chord", "F4",
                                "--at", "8", "--hold", "1", "--chord", "G4"});
    ASSERT_EQ(options.Chords.size(), 3u);
    EXPECT_EQ(options.Chords[0].AtBeat, 0.0);
    EXPECT_EQ(options.Chords[0].HoldBeats, 2.0);
    EXPECT_EQ(options.Chords[1].AtBeat, 4.0);
    EXPECT_FALSE(options.Chords[1].HoldBeats.has_value());
    EXPECT_EQ(options.Chords[2].AtBeat, 8.0);
    EXPECT_EQ(options.Chords[2].HoldBeats, 1.0);
}

struct TBadCase
{
    std::vector<std::string> Arguments;
    const char* Message; ///< part of the error text
};

class OptionParserRejectTest : public ::testing::TestWithParam<TBadCase>
{
};

TEST_P(OptionParserRejectTest, IsAUsageErrorNamingTheProblem)
{
    try
    {
        Parse(GetParam().Arguments);
        FAIL() << "accepted";
    }
    catch (const TRenderError& error)
    {
        EXPECT_EQ(error.ExitStatus(), 2);
        EXPECT_NE(std::string(error.what()).find(GetParam().Message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bad, OptionParserRejectTest,
    ::testing::Values(
        TBadCase{{}, "nothing to do"}, TBadCase{{"--frobnicate"}, "unknown option '--frobnicate'"},
        TBadCase{{"--chord"}, "--chord needs a value"},
        TBadCase{{"--chord", "C4 X9"}, "bad note 'X9'"},
        TBadCase{{"--chord", "C4", "--chord", "E4"}, "needs --at BEAT"},
        TBadCase{{"--chord", "C4", "--at", "2"}, "--at must be followed by --chord"},
        TBadCase{{"--chord", "C4", "--hold", "1", "--hold", "2"}, "--hold given twice"},
        TBadCase{{"--chord", "C4", "--hold", "0"}, "--hold: '0'"},
        TBadCase{{"--chord", "C4", "--midi-in", "a.mid"}, "not both"},
        TBadCase{{"--chord", "C4", "--tempo", "fast"}, "--tempo: 'fast' is not a number"},
        TBadCase{{"--chord", "C4", "--tempo", "0"}, "--tempo: '0'"},
        TBadCase{{"--chord", "C4", "--tempo", "nan"}, "--tempo: 'nan'"},
        TBadCase{{"--chord", "C4", "--time-sig", "3/5"}, "--time-sig: '3/5'"},
        TBadCase{{"--chord", "C4", "--time-sig", "0/4"}, "--time-sig: '0/4'"},
        TBadCase{{"--chord", "C4", "--time-sig", "4"}, "--time-sig: '4'"},
        TBadCase{{"--chord", "C4", "--bars", "2", "--beats", "8"}, "not both"},
        TBadCase{{"--chord", "C4", "--bars", "-1"}, "--bars: '-1'"},
        TBadCase{{"--chord", "C4", "--loop", "4:2"}, "--loop: '4:2' is not a range"},
        TBadCase{{"--chord", "C4", "--loop", "4:4"}, "--loop: '4:4'"},
        TBadCase{{"--chord", "C4", "--loop", "-1:4"}, "--loop: '-1:4'"},
        TBadCase{{"--chord", "C4", "--loop", "2-4"}, "--loop: '2-4'"},
        TBadCase{{"--chord", "C4", "--block", "0"}, "--block: '0' is not a whole number"},
        TBadCase{{"--chord", "C4", "--block", "1.5"}, "--block: '1.5'"},
        TBadCase{{"--chord", "C4", "--sample-rate", "100"}, "--sample-rate: '100'"},
        TBadCase{{"--chord", "C4", "--set", "Rate"}, "not of the form \"Name=VALUE\""},
        TBadCase{{"--chord", "C4", "--set", "=3"}, "not of the form"},
        TBadCase{{"--chord", "C4", "--host-name", ""}, "--host-name must be"}));

} // namespace
} // namespace tumblet
