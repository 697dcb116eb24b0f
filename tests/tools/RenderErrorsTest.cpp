// Every bad input ends with a message on stderr, a non-zero status, and no file written.

#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tumblet::test
{
namespace
{

class RenderErrorsTest : public ::testing::Test
{
protected:
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(FScratch / name, std::ios::binary) << bytes;
    }

    /// Runs with outputs into the scratch folder and checks status, message and that the
    /// folder holds only the files that were there before.
    void ExpectFailure(std::vector<std::string> arguments, int status, const std::string& message,
                       const std::map<std::string, std::string>& environment = {})
    {
        const auto before = FScratch.Files();
        for (const char* option : {"--out", "--png", "--save-preset"})
            arguments.insert(arguments.end(), {option, FScratch / (std::string("new") + option)});
        const auto result = RunTool(arguments, environment);
        EXPECT_EQ(result.ExitStatus, status) << result.Err;
        EXPECT_EQ(result.Err.rfind("tumblet-render: ", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
        EXPECT_EQ(FScratch.Files(), before) << "files were written";
        EXPECT_TRUE(result.Out.empty()) << result.Out;
    }

    TScratchFolder FScratch;
};

TEST_F(RenderErrorsTest, MissingPlugInNamesThePath)
{
    ExpectFailure({"--plugin", FScratch / "none.so", "--chord", "C4"}, 1,
                  "cannot load the plug-in " + (FScratch / "none.so") + ": no such file");
}

TEST_F(RenderErrorsTest, UnloadablePlugInGivesTheLoadersMessage)
{
    Write("text.so", "not a library\n");
    ExpectFailure({"--plugin", FScratch / "text.so", "--chord", "C4"}, 1, "file too short");
    Write("long.so", std::string(4096, 'x'));
    ExpectFailure({"--plugin", FScratch / "long.so", "--chord", "C4"}, 1, "invalid ELF header");
}

TEST_F(RenderErrorsTest, LibraryWithoutEntryIsNotAPlugIn)
{
    ExpectFailure({"--plugin", "/lib/x86_64-linux-gnu/libm.so.6", "--chord", "C4"}, 1,
                  "exports neither VSTPluginMain nor main");
}

TEST_F(RenderErrorsTest, PlugInThatRefusesAnInstance)
{
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4"}, 1,
                  "refused to create an instance", {{"FAKE_PLUGIN_REFUSE", "1"}});
}

TEST_F(RenderErrorsTest, FileThatIsNotAMidiFile)
{
    Write("song.mid", "RIFF....WAVEfmt ");
    ExpectFailure({"--plugin", FakePluginPath(), "--midi-in", FScratch / "song.mid"}, 1,
                  "song.mid is not a Standard MIDI File");
    ExpectFailure({"--plugin", FakePluginPath(), "--midi-in", FScratch / "none.mid"}, 1,
                  "cannot read the MIDI file");
}

TEST_F(RenderErrorsTest, MalformedChordOrRangeIsAUsageError)
{
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4 Q4"}, 2, "bad note 'Q4'");
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4:200"}, 2, "bad velocity");
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--loop", "3:1"}, 2,
                  "--loop: '3:1' is not a range");
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--tempo", "-4"}, 2,
                  "--tempo: '-4'");
}

TEST_F(RenderErrorsTest, UnknownParameterListsTheNames)
{
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--set", "Volume=3"}, 2,
                  "unknown parameter 'Volume'; valid names: Mode, Level, Amount");
}

TEST_F(RenderErrorsTest, UnknownValueListsTheValidOnes)
{
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--set", "Mode=Delta"}, 2,
                  "invalid value 'Delta' for Mode; valid values: Alpha, Beta, Gamma");
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--set", "Mode=3"}, 2,
                  "invalid value '3' for Mode");
    ExpectFailure({"--plugin", FakePluginPath(), "--chord", "C4", "--set", "Level=40"}, 2,
                  "invalid value '40' for Level");
}

TEST_F(RenderErrorsTest, TumbletPresetThatIsNotAStateContainer)
{
    Write("bad.brindlexp", "just text, not a preset");
    ExpectFailure(
        {"--plugin", TumbletPath(), "--chord", "C4", "--preset", FScratch / "bad.brindlexp"}, 1,
        "is not a Tumblet preset: it does not begin with an \"mmst\"");
    Write("short.brindlexp", std::string("mmst\x20\0\0\0TPF0", 12));
    ExpectFailure(
        {"--plugin", TumbletPath(), "--chord", "C4", "--preset", FScratch / "short.brindlexp"}, 1,
        "announces 32 bytes of state but holds 4");
}

TEST_F(RenderErrorsTest, TumbletPresetWhoseStateTheReaderWouldRefuse)
{
    // Tumblet answers the set-chunk call with success even when it rejects the state, so the
    // tool reads the stream first: here the first value is a 32-bit float, which it refuses.
    const std::string payload = std::string("TPF0\x01\x06\x04"
                                            "1.20"
                                            "\x06\0\x06\0\x06\0\0"
                                            "\x01\x01\x0F\0\0\0\0",
                                            25);
    Write("float.brindlexp", "mmst" + std::string(1, static_cast<char>(payload.size())) +
                                 std::string(3, '\0') + payload);
    ExpectFailure(
        {"--plugin", TumbletPath(), "--chord", "C4", "--preset", FScratch / "float.brindlexp"}, 1,
        "the plug-in would refuse its state: \"Invalid property value\" at byte 28");
}

TEST_F(RenderErrorsTest, PresetThePlugInRefuses)
{
    // A well-formed container whose state the fake plug-in does not accept.
    Write("other.brindlexp", std::string("mmst\x08\0\0\0TPF0abcd", 16));
    ExpectFailure(
        {"--plugin", FakePluginPath(), "--chord", "C4", "--preset", FScratch / "other.brindlexp"},
        1, "the plug-in refused the preset");
    ExpectFailure(
        {"--plugin", FakePluginPath(), "--chord", "C4", "--preset", FScratch / "missing.brindlexp"},
        1, "cannot read the preset");
}

TEST_F(RenderErrorsTest, MissingOutputFolderWritesNothingElse)
{
    const auto result =
        RunTool({"--plugin", FakePluginPath(), "--chord", "C4", "--png", FScratch / "roll.png",
                 "--out", FScratch / "no/such/folder/out.mid"});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("the folder"), std::string::npos) << result.Err;
    EXPECT_TRUE(FScratch.Files().empty());
}

TEST_F(RenderErrorsTest, HelpGoesToStandardOutput)
{
    const auto result = RunTool({"--help"});
    EXPECT_EQ(result.ExitStatus, 0);
    EXPECT_EQ(result.Out.rfind("usage: tumblet-render", 0), 0u);
    EXPECT_TRUE(result.Err.empty());
}

} // namespace
} // namespace tumblet::test
