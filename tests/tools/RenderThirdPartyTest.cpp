// A plug-in we did not write, from Debian's dpf-plugins-vst, proves the tool speaks the
// interface as other plug-ins expect.

#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tumblet::test
{
namespace
{

const char* const kThreeBandEq = "/usr/lib/vst/3BandEQ-vst.so";
const char* const kKars = "/usr/lib/vst/Kars-vst.so";

#define SKIP_UNLESS_INSTALLED(path)                                                                \
    if (!std::filesystem::exists(path))                                                            \
    GTEST_SKIP() << path << " is missing: install the Debian package dpf-plugins-vst"

TEST(RenderThirdPartyTest, ListsTheParametersOfADebianPlugIn)
{
    SKIP_UNLESS_INSTALLED(kThreeBandEq);
    const auto result = RunTool({"--plugin", kThreeBandEq, "--list-params", "--set", "Low=-12"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_NE(result.Out.find("0      Low                  -12.000000 dB        0.250000"),
              std::string::npos)
        << result.Out;
    EXPECT_NE(result.Out.find("Mid-High Freq"), std::string::npos);
}

TEST(RenderThirdPartyTest, SetsValuesInTheUnitsThePlugInDisplays)
{
    SKIP_UNLESS_INSTALLED(kThreeBandEq);
    const auto result =
        RunTool({"--plugin", kThreeBandEq, "--list-params", "--set", "Mid-High Freq=5000"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_NE(result.Out.find("Mid-High Freq        5000.000000 Hz"), std::string::npos)
        << result.Out;
    const auto outside =
        RunTool({"--plugin", kThreeBandEq, "--list-params", "--set", "Mid-High Freq=50000"});
    EXPECT_EQ(outside.ExitStatus, 2);
    EXPECT_NE(outside.Err.find("valid values: a number from 1000 to 20000"), std::string::npos)
        << outside.Err;
}

TEST(RenderThirdPartyTest, PlaysADebianSynthThroughAWholeRender)
{
    SKIP_UNLESS_INSTALLED(kKars);
    TScratchFolder scratch;
    const auto result = RunTool({"--plugin", kKars, "--chord", "C4 E4 G4", "--hold", "1", "--bars",
                                 "1", "--out", scratch / "kars.mid", "--print"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    // A synth sends no MIDI back: the table is empty and the file holds only its tracks.
    EXPECT_NE(result.Out.find("0 notes"), std::string::npos) << result.Out;
    EXPECT_TRUE(std::filesystem::exists(scratch / "kars.mid"));
}

} // namespace
} // namespace tumblet::test
