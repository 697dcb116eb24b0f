// Where the output goes: an existing device or FIFO is written through and never replaced, a
// link keeps pointing at the file it names, temporary files never follow a planted link and fit
// beside the longest file name, and messages name the file the user gave. Issue 17.

#include "ToolRunner.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

namespace tumblet::test
{
namespace
{

namespace fs = std::filesystem;

const std::vector<std::string> kRender = {"--plugin", FakePluginPath(), "--chord",
                                          "C4 E4",    "--bars",         "1"};

std::vector<std::string> With(std::vector<std::string> extra)
{
    std::vector<std::string> arguments = kRender;
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

TEST(RenderOutputTargetsTest, DeviceNodeIsWrittenThroughNotReplaced)
{
    TScratchFolder scratch;
    const std::string node = scratch / "null";
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here";
    const auto result = RunTool(With({"--out", node, "--png", scratch / "roll.png"}));
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(node.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device node was replaced";
    // On a folder mounted without devices the node cannot be opened: then the run must fail
    // with the system's reason, still leaving the node in place.
    if (result.ExitStatus != 0)
    {
        EXPECT_NE(result.Err.find("cannot write " + node + ": "), std::string::npos) << result.Err;
    }
    EXPECT_EQ(scratch.Files().size(), result.ExitStatus == 0 ? 2u : 1u);
}

TEST(RenderOutputTargetsTest, FifoIsWrittenThroughToItsReader)
{
    TScratchFolder scratch;
    const std::string fifo = scratch / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The reader is there before the tool starts; the small file fits in the pipe's buffer.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const auto result = RunTool(With({"--out", fifo}));
    char received[4] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 4);
    ::close(reader);
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(std::string(received, 4), "MThd");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(scratch.Files().size(), 1u);
}

TEST(RenderOutputTargetsTest, FoldersAndSocketsAreRefused)
{
    TScratchFolder scratch;
    fs::create_directory(scratch / "folder");
    const auto result = RunTool(With({"--out", scratch / "folder"}));
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("cannot write " + (scratch / "folder") + ": it is a folder"),
              std::string::npos)
        << result.Err;
}

TEST(RenderOutputTargetsTest, LinkToAFileKeepsPointingAtIt)
{
    TScratchFolder scratch;
    scratch.Write("real.mid", "old");
    fs::create_symlink(scratch / "real.mid", scratch / "link.mid");
    const auto result = RunTool(With({"--out", scratch / "link.mid"}));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_TRUE(fs::is_symlink(scratch / "link.mid"));
    EXPECT_EQ(ReadText(scratch / "real.mid").rfind("MThd", 0), 0u);
}

TEST(RenderOutputTargetsTest, PlantedLinksAtTemporaryNamesAreNotFollowed)
{
    TScratchFolder scratch;
    // Links at every name a temporary could predictably take beside the output (the pattern
    // itself, as if it were used unfilled, and the usual fixed names), pointing at a victim.
    // A temporary opened without O_EXCL at any of them would write through to the victim.
    scratch.Write("victim", "keep");
    const char* const planted[] = {".tumblet-XXXXXX", "o.mid.tmp",  ".o.mid.tmp",
                                   "o.mid~",          ".o.mid.swp", ".o.mid.tmp-0"};
    for (const char* name : planted)
        fs::create_symlink(scratch / "victim", scratch / name);
    const auto result = RunTool(With({"--out", scratch / "o.mid"}));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(ReadText(scratch / "o.mid").rfind("MThd", 0), 0u);
    EXPECT_EQ(ReadText(scratch / "victim"), "keep");
    for (const char* name : planted)
        EXPECT_TRUE(fs::is_symlink(scratch / name)) << name;
}

TEST(RenderOutputTargetsTest, LongestFileNameWorks)
{
    TScratchFolder scratch;
    const std::string name = std::string(NAME_MAX - 4, 'n') + ".mid";
    const auto result = RunTool(With({"--out", scratch / name}));
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    EXPECT_EQ(ReadText(scratch / name).rfind("MThd", 0), 0u);
    EXPECT_EQ(scratch.Files().size(), 1u);
}

TEST(RenderOutputTargetsTest, FailedRunLeavesNoTemporaryFiles)
{
    TScratchFolder scratch;
    // The MIDI file is written before the piano roll fails to find its folder.
    const auto result =
        RunTool(With({"--out", scratch / "o.mid", "--png", scratch / "missing/roll.png"}));
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("cannot write " + (scratch / "missing/roll.png") + ": the folder " +
                              (scratch / "missing") + " does not exist"),
              std::string::npos)
        << result.Err;
    EXPECT_TRUE(scratch.Files().empty());
}

} // namespace
} // namespace tumblet::test

namespace tumblet::test
{
namespace
{

TEST(RenderOutputTargetsTest, MessageNamesTheGivenFileAndTheSystemsReason)
{
    // sysfs refuses new files even to root.
    if (!std::filesystem::is_directory("/sys/kernel"))
        GTEST_SKIP() << "no /sys here";
    const auto result = RunTool(With({"--out", "/sys/kernel/render.mid"}));
    EXPECT_EQ(result.ExitStatus, 1);
    // A container may mount sysfs read-only: either reason is the system's own.
    const std::string message = "cannot write /sys/kernel/render.mid: ";
    EXPECT_TRUE(result.Err.find(message + std::strerror(EACCES)) != std::string::npos ||
                result.Err.find(message + std::strerror(EROFS)) != std::string::npos)
        << result.Err;
    EXPECT_EQ(result.Err.find("tmp"), std::string::npos) << result.Err;
}

} // namespace
} // namespace tumblet::test
