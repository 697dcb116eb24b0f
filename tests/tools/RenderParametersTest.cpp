// --set, --list-params and presets, on the fake plug-in whose displays are known.

#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

/// The display column of one parameter in a --list-params listing.
std::string DisplayOf(const std::string& listing, const std::string& name)
{
    const auto row = listing.find(" " + name + " ");
    if (row == std::string::npos)
        return "";
    const auto start = listing.find_first_not_of(' ', row + name.size() + 1);
    const auto end = listing.find("  ", start);
    return listing.substr(start, end - start);
}

TToolResult List(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"--plugin", FakePluginPath(), "--list-params"});
    return RunTool(arguments);
}

TEST(RenderParametersTest, ListShowsIndexNameDisplayLabelAndNormalisedValue)
{
    const auto result = List({});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(result.Out, "index  name                 display              normalised\n"
                          "0      Mode                 Alpha                0.000000\n"
                          "1      Level                0 dB                 0.500000\n"
                          "2      Amount               0.25                 0.250000\n");
}

struct TSetCase
{
    const char* Setting;
    const char* Name;
    const char* Display;
};

class RenderSetTest : public ::testing::TestWithParam<TSetCase>
{
};

TEST_P(RenderSetTest, SetsByDisplayTextOrValue)
{
    const auto result = List({"--set", GetParam().Setting});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(DisplayOf(result.Out, GetParam().Name), GetParam().Display) << result.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Fake, RenderSetTest,
    ::testing::Values(TSetCase{"Mode=Gamma", "Mode", "Gamma"}, // display text
                      TSetCase{"Mode=beta", "Mode", "Beta"},   // ignoring case
                      TSetCase{"Mode=2", "Mode", "Gamma"},     // position in the list
                      TSetCase{"Level=-6", "Level",
                               "\xE2\x88\x92"
                               "6 dB"}, // value in range
                      TSetCase{"Level=\xE2\x88\x92"
                               "12",
                               "Level",
                               "\xE2\x88\x92"
                               "12 dB"},
                      TSetCase{"Level=+7", "Level", "7 dB"},
                      TSetCase{"level=12", "Level", "12 dB"}, // name ignoring case
                      TSetCase{"Amount=0.8", "Amount", "0.80"},
                      TSetCase{"Amount=0.33", "Amount", "0.33"}));

TEST(RenderParametersTest, LaterSettingsWin)
{
    const auto result = List({"--set", "Mode=Beta", "--set", "Mode=Alpha"});
    EXPECT_EQ(DisplayOf(result.Out, "Mode"), "Alpha");
}

TEST(RenderParametersTest, SavedPresetLoadsBackTheSameSettings)
{
    TScratchFolder scratch;
    const std::string preset = scratch / "mine.brindlexp";
    const auto saved = List({"--set", "Mode=Gamma", "--set", "Level=-3", "--set", "Amount=0.9",
                             "--save-preset", preset});
    ASSERT_EQ(saved.ExitStatus, 0) << saved.Err;
    const auto loaded = List({"--preset", preset});
    ASSERT_EQ(loaded.ExitStatus, 0) << loaded.Err;
    EXPECT_EQ(loaded.Out, saved.Out);
    // --set after --preset overrides the preset.
    const auto overridden = List({"--preset", preset, "--set", "Mode=Beta"});
    EXPECT_EQ(DisplayOf(overridden.Out, "Mode"), "Beta");
    EXPECT_EQ(DisplayOf(overridden.Out, "Amount"), "0.90");
}

} // namespace
} // namespace tumblet::test
