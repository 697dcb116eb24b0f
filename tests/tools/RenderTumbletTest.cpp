// tumblet-render on the built Tumblet.so: the arpeggio a known chord and settings give, --set
// by display text and by value, presets, and the transport as a host drives it. Settings are
// chosen without randomness, so the output is exact.

#include "PluginHost.h"
#include "RenderError.h"
#include "ToolRunner.h"
#include "plugin/VendorCodes.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

constexpr int kTumbletParameters = 22;

struct TTumbletState
{
    int Parameters = 0;
    bool ProgramChunks = false;
    std::string Error;
};

const TTumbletState& Tumblet()
{
    static const TTumbletState state = []
    {
        TTumbletState result;
        try
        {
            TPluginHost host({});
            host.Load(TumbletPath());
            result.Parameters = host.NumParams();
            result.ProgramChunks = host.HasProgramChunks() && !host.GetProgramChunk().empty();
        }
        catch (const TRenderError& error)
        {
            result.Error = error.what();
        }
        return result;
    }();
    return state;
}

// These tests are about Tumblet itself: a Tumblet.so that does not load is a failure, never a
// reason to skip.
#define ASSERT_TUMBLET_LOADED()                                                                    \
    ASSERT_EQ(Tumblet().Parameters, kTumbletParameters)                                            \
        << "tumblet-render cannot load " << TumbletPath() << ": " << Tumblet().Error

std::vector<std::string> Arguments(std::vector<std::string> extra)
{
    std::vector<std::string> arguments = {"--plugin", TumbletPath(), "--chord",
                                          "C4:90 E4:80 G4:110", "--print"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

/// "position pitch" per row, which is what a reader checks first.
std::vector<std::string> Steps(const std::string& out)
{
    std::vector<std::string> steps;
    for (const auto& row : ParseTable(out))
        steps.push_back(row.Position + " " + std::to_string(row.Pitch));
    return steps;
}

const std::vector<std::string> kEighths = {"--beats", "2",         "--set", "Rate=1/8",
                                           "--set",   "Octaves=2", "--set", "Gate=50"};

std::vector<std::string> With(std::vector<std::string> extra)
{
    std::vector<std::string> all = kEighths;
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
}

TEST(RenderTumbletTest, KnownChordAndSettingsGiveTheExpectedTable)
{
    ASSERT_TUMBLET_LOADED();
    const auto result = RunTool(Arguments(kEighths));
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    const auto rows = ParseTable(result.Out);
    const std::vector<std::pair<std::string, int>> expected = {
        {"1.1.000", 60}, {"1.1.480", 64}, {"1.2.000", 67}, {"1.2.480", 72}};
    ASSERT_EQ(rows.size(), expected.size()) << result.Out;
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ(rows[i].Position, expected[i].first);
        EXPECT_EQ(rows[i].Pitch, expected[i].second);
        EXPECT_EQ(rows[i].Velocity, i % 3 == 0 ? 90 : i == 1 ? 80 : 110); // as played
        EXPECT_EQ(rows[i].Channel, 1);
        EXPECT_NEAR(rows[i].Length, 0.25, 0.001); // half of an eighth at Gate 50 %
        EXPECT_FALSE(rows[i].Open);
    }
}

struct TSetPair
{
    const char* ByText;
    const char* ByValue;
};

class RenderTumbletSetTest : public ::testing::TestWithParam<TSetPair>
{
};

TEST_P(RenderTumbletSetTest, DisplayTextAndRealValueGiveTheSameArpeggio)
{
    ASSERT_TUMBLET_LOADED();
    // One octave over six steps, released after three beats so that Latch shows.
    const std::vector<std::string> longer = {"--set", "Octaves=1", "--beats", "4", "--hold", "3"};
    auto withSetting = [&](const char* setting)
    {
        auto extra = longer;
        extra.insert(extra.end(), {"--set", setting});
        return RunTool(Arguments(With(extra)));
    };
    const auto byText = withSetting(GetParam().ByText);
    const auto byValue = withSetting(GetParam().ByValue);
    ASSERT_EQ(byText.ExitStatus, 0) << byText.Err;
    ASSERT_EQ(byValue.ExitStatus, 0) << byValue.Err;
    EXPECT_EQ(byText.Out, byValue.Out);
    const auto plain = RunTool(Arguments(With(longer)));
    EXPECT_NE(byText.Out, plain.Out) << "the setting changed nothing";
}

INSTANTIATE_TEST_SUITE_P(Parameters, RenderTumbletSetTest,
                         ::testing::Values(TSetPair{"Rate=1/16", "Rate=3"},
                                           TSetPair{"Note Order=Up->Down", "Note Order=2"},
                                           TSetPair{"Note Order=Down", "Note Order=1"},
                                           TSetPair{"Latch=On", "Latch=1"},
                                           TSetPair{"Transpose=\xE2\x88\x92"
                                                    "5",
                                                    "Transpose=-5"},
                                           TSetPair{"Velocity Mode=Lowest", "Velocity Mode=4"}));

TEST(RenderTumbletTest, LatchKeepsPlayingAfterTheChordIsReleased)
{
    ASSERT_TUMBLET_LOADED();
    const auto released = Steps(RunTool(Arguments(With({"--hold", "1"}))).Out);
    const auto latched = Steps(RunTool(Arguments(With({"--hold", "1", "--set", "Latch=On"}))).Out);
    EXPECT_EQ(released, (std::vector<std::string>{"1.1.000 60", "1.1.480 64"}));
    EXPECT_EQ(latched.size(), 4u);
}

TEST(RenderTumbletTest, ListShowsRealValuesAsTheirDisplays)
{
    ASSERT_TUMBLET_LOADED();
    const auto result = RunTool({"--plugin", TumbletPath(), "--list-params", "--set", "Speed=-50",
                                 "--set", "Velocity=-50", "--set", "Gate=150"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_NE(result.Out.find("Speed                0.66x"), std::string::npos) << result.Out;
    EXPECT_NE(result.Out.find("Velocity             \xE2\x88\x92"
                              "50%"),
              std::string::npos);
    EXPECT_NE(result.Out.find("Gate                 150%"), std::string::npos);
    const auto invalid = RunTool({"--plugin", TumbletPath(), "--list-params", "--set", "Rate=1/7"});
    EXPECT_EQ(invalid.ExitStatus, 2);
    EXPECT_NE(invalid.Err.find("valid values: 1/128, 1/64, 1/32, 1/16, 1/8, 1/4, 1/2, 1/1, 2/1, "
                               "4/1, 8/1 or a number from 0 to 10"),
              std::string::npos)
        << invalid.Err;
}

TEST(RenderTumbletTest, SongPositionPlacesTheStepsOnTheSongGrid)
{
    ASSERT_TUMBLET_LOADED();
    // Starting a quarter beat into the song, the steps fall on the song's eighths, a quarter
    // beat off the render's.
    const auto steps = Steps(RunTool(Arguments(With({"--start", "0.25"}))).Out);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"1.1.240 60", "1.1.720 64", "1.2.240 67", "1.2.720 72"}));
}

TEST(RenderTumbletTest, LoopJumpRestartsTheSequence)
{
    ASSERT_TUMBLET_LOADED();
    const auto steps = Steps(RunTool(Arguments(With({"--loop", "0:1"}))).Out);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"1.1.000 60", "1.1.480 64", "1.2.000 60", "1.2.480 64"}));
}

TEST(RenderTumbletTest, StoppedTransportPlaysOnThePlugInsOwnClock)
{
    ASSERT_TUMBLET_LOADED();
    const auto playing = RunTool(Arguments(kEighths));
    const auto stopped = RunTool(Arguments(With({"--stopped", "--start", "5.3"})));
    ASSERT_EQ(stopped.ExitStatus, 0) << stopped.Err;
    EXPECT_EQ(stopped.Out, playing.Out);
}

TEST(RenderTumbletTest, SavedPresetReproducesTheOutput)
{
    ASSERT_TUMBLET_LOADED();
    ASSERT_TRUE(Tumblet().ProgramChunks) << "Tumblet.so gives no program chunk";
    TScratchFolder scratch;
    const std::string preset = scratch / "eighths.brindlexp";
    const auto saved =
        RunTool(Arguments(With({"--set", "Note Order=Down", "--save-preset", preset})));
    ASSERT_EQ(saved.ExitStatus, 0) << saved.Err;
    const auto loaded = RunTool(Arguments({"--beats", "2", "--preset", preset}));
    ASSERT_EQ(loaded.ExitStatus, 0) << loaded.Err;
    EXPECT_EQ(loaded.Out, saved.Out);
    const auto plain = RunTool(Arguments({"--beats", "2"}));
    EXPECT_NE(plain.Out, saved.Out);
}

TEST(RenderTumbletTest, DefaultPlugInIsTheOneBesideTheTool)
{
    const auto result = RunTool({"--list-params"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Out.rfind("index  name", 0), 0u);
}

} // namespace
} // namespace tumblet::test

namespace tumblet::test
{
namespace
{

// Issue 17: random amounts and orders are reproducible through the seed the tool prints.
TEST(RenderTumbletSeedTest, SameSeedSameFileOtherSeedOtherFile)
{
    ASSERT_TUMBLET_LOADED();
    TScratchFolder scratch;
    const auto render = [&](const std::string& name, std::vector<std::string> seed)
    {
        std::vector<std::string> arguments = {"--plugin", TumbletPath(),
                                              "--chord",  "C4 E4 G4 B4",
                                              "--bars",   "4",
                                              "--set",    "Note Order=Random",
                                              "--set",    "Velocity Random=50",
                                              "--set",    "Gate Random=50",
                                              "--out",    scratch / name};
        arguments.insert(arguments.end(), seed.begin(), seed.end());
        const auto result = RunTool(arguments);
        EXPECT_EQ(result.ExitStatus, 0) << result.Err;
        return std::make_pair(ReadText(scratch / name), result.Err);
    };
    const auto [unseeded, message] = render("u.mid", {});
    const auto printed = message.find("tumblet-render: seed ");
    ASSERT_NE(printed, std::string::npos) << message;
    const std::string seed =
        message.substr(printed + 21, message.find(' ', printed + 21) - printed - 21);
    EXPECT_EQ(render("a.mid", {"--seed", seed}).first, unseeded);
    const auto first = render("b.mid", {"--seed", "42"});
    EXPECT_NE(first.second.find("seed 42 (--seed 42 plays this render again)"), std::string::npos);
    EXPECT_EQ(render("c.mid", {"--seed", "42"}).first, first.first);
    EXPECT_NE(render("d.mid", {"--seed", "43"}).first, first.first);
}

TEST(RenderTumbletSeedTest, SeedCallAnswersOneAndChangesNothingElse)
{
    ASSERT_TUMBLET_LOADED();
    TPluginHost host({});
    host.Load(TumbletPath());
    const auto chunk = host.GetProgramChunk();
    EXPECT_EQ(host.VendorSpecific(kVendorSpecificSetSeed, 12345), 1);
    EXPECT_EQ(host.VendorSpecific(kVendorSpecificSetSeed + 1, 12345), 0);
    EXPECT_EQ(host.VendorSpecific(0, kVendorSpecificSetSeed), 0);
    EXPECT_EQ(host.GetProgramChunk(), chunk);
}

TEST(RenderTumbletSeedTest, PlugInWithoutASeedRefusesTheOption)
{
    const auto result = RunTool({"--plugin", FakePluginPath(), "--chord", "C4", "--seed", "1"});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("--seed: the plug-in does not take a seed"), std::string::npos)
        << result.Err;
}

} // namespace
} // namespace tumblet::test

namespace tumblet::test
{
namespace
{

// Issue 17: a value the parameter displays means that display; a signed number is a real value.
TEST(RenderTumbletSetRuleTest, DisplayTextWinsAndASignMakesARealValue)
{
    ASSERT_TUMBLET_LOADED();
    const auto speed = [](const std::string& value)
    {
        const auto result =
            RunTool({"--plugin", TumbletPath(), "--list-params", "--set", "Speed=" + value});
        EXPECT_EQ(result.ExitStatus, 0) << result.Err;
        const auto row = result.Out.find("\n21 ");
        return result.Out.substr(row + 1, result.Out.find('\n', row + 1) - row - 1);
    };
    EXPECT_EQ(speed("1"), "21     Speed                1                    0          0.500000");
    EXPECT_EQ(speed("+1"), "21     Speed                1.01x                1          0.501667");
}

} // namespace
} // namespace tumblet::test
