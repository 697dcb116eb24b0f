// Finding the plug-in, asking for help and naming what a bad preset path is, for tumblet-render
// and tumblet-info alike. Issue 17.

#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tumblet::test
{
namespace
{

namespace fs = std::filesystem;

TEST(RenderCommandLineTest, BareNameOfAnExistingFileIsAPath)
{
    TScratchFolder scratch;
    fs::copy_file(FakePluginPath(), scratch / "Fake.so");
    const auto render =
        RunTool({"--plugin", "Fake.so", "--chord", "C4", "--print"}, {}, ToolPath(), scratch / "");
    EXPECT_EQ(render.ExitStatus, 0) << render.Err;
    const auto info = RunTool({"Fake.so"}, {}, InfoToolPath(), scratch / "");
    EXPECT_EQ(info.ExitStatus, 0) << info.Err;
}

TEST(RenderCommandLineTest, DefaultPlugInIsTheOneBesideTheTool)
{
    TScratchFolder scratch;
    const auto info = RunTool({}, {}, InfoToolPath(), scratch / "");
    EXPECT_EQ(info.ExitStatus, 0) << info.Err;
    EXPECT_NE(info.Out.find("name:          Tumblet"), std::string::npos) << info.Out;
}

TEST(RenderCommandLineTest, HelpWinsWhereverItStands)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--chord", "Q9", "--help"}, {"--tempo", "fast", "-h"}, {"--print", "--help"}})
    {
        const auto result = RunTool(arguments);
        EXPECT_EQ(result.ExitStatus, 0) << result.Err;
        EXPECT_EQ(result.Out.rfind("usage: tumblet-render", 0), 0u);
        EXPECT_NE(result.Out.find("--seed N"), std::string::npos);
        EXPECT_TRUE(result.Err.empty()) << result.Err;
    }
    const auto info = RunTool({"/no/such.so", "-h"}, {}, InfoToolPath());
    EXPECT_EQ(info.ExitStatus, 0) << info.Err;
    EXPECT_EQ(info.Out.rfind("usage: tumblet-info", 0), 0u);
}

TEST(RenderCommandLineTest, PresetThatIsNoFileSaysWhatItIs)
{
    TScratchFolder scratch;
    fs::create_directory(scratch / "folder");
    ASSERT_EQ(::mkfifo((scratch / "fifo").c_str(), 0600), 0);
    fs::create_symlink(scratch / "loop", scratch / "loop");
    const std::pair<std::string, std::string> cases[] = {
        {scratch / "folder", "it is a folder"},
        {scratch / "fifo", "it is a FIFO"},
        {"/dev/null", "it is a device"},
        // The system's own reasons, in its own words.
        {scratch / "loop", std::strerror(ELOOP)},
        {scratch / "none", std::strerror(ENOENT)},
    };
    for (const auto& [path, reason] : cases)
    {
        const auto result =
            RunTool({"--plugin", FakePluginPath(), "--chord", "C4", "--preset", path});
        EXPECT_EQ(result.ExitStatus, 1);
        EXPECT_NE(result.Err.find("cannot read the preset " + path + ": " + reason),
                  std::string::npos)
            << result.Err;
    }
}

} // namespace
} // namespace tumblet::test
