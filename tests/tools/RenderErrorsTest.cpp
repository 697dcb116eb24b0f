// Every bad input ends with a message on stderr, a non-zero status, and no file written.

#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <map>

namespace tumblet::test
{
namespace
{

struct TFailure
{
    const char* Name;
    std::vector<std::string> Arguments;
    int Status;
    std::string Message;
    std::map<std::string, std::string> Environment = {};
};

// Runs each case with outputs into the scratch folder and checks status, message and that the
// folder holds only the files that were there before.
TEST(RenderErrorsTest, EveryBadInputNamesItsProblemAndWritesNothing)
{
    TScratchFolder scratch;
    const std::string text = scratch.Write("text.so", "not a library\n");
    const std::string longFile = scratch.Write("long.so", std::string(4096, 'x'));
    const std::string wave = scratch.Write("song.mid", "RIFF....WAVEfmt ");
    const std::string badPreset = scratch.Write("bad.brindlexp", "just text, not a preset");
    const std::string shortPreset =
        scratch.Write("short.brindlexp", std::string("mmst\x20\0\0\0TPF0", 12));
    // Tumblet answers the set-chunk call with success even when it rejects the state, so the
    // tool reads the stream first: here the first value is a 32-bit float, which it refuses.
    const std::string payload = std::string("TPF0\x01\x06\x04"
                                            "1.20"
                                            "\x06\0\x06\0\x06\0\0"
                                            "\x01\x01\x0F\0\0\0\0",
                                            25);
    const std::string floatPreset = scratch.Write(
        "float.brindlexp", "mmst" + std::string(1, static_cast<char>(payload.size())) +
                               std::string(3, '\0') + payload);
    // A well-formed container whose state the fake plug-in does not accept.
    const std::string otherPreset =
        scratch.Write("other.brindlexp", std::string("mmst\x08\0\0\0TPF0abcd", 16));
    const std::string fake = FakePluginPath();
    const std::string tumblet = TumbletPath();
    // The plug-in and a chord of C4, then the given arguments.
    const auto chordOn = [](const std::string& plugin, std::vector<std::string> more = {})
    {
        more.insert(more.begin(), {"--plugin", plugin, "--chord", "C4"});
        return more;
    };
    const std::string none = scratch / "none.so";
    const TFailure cases[] = {
        {"missing plug-in", chordOn(none), 1, "cannot load the plug-in " + none + ": no such file"},
        // The loader's own reason follows; its wording is the C library's.
        {"short file as plug-in", chordOn(text), 1, "cannot load the plug-in " + text + ": "},
        {"long file as plug-in", chordOn(longFile), 1,
         "cannot load the plug-in " + longFile + ": "},
        // The LV2 plug-in's library exports only its LV2 entry.
        {"library without entry", chordOn(LIBRARY_WITHOUT_ENTRY_PATH), 1,
         "exports neither VSTPluginMain nor main"},
        {"plug-in refuses an instance",
         chordOn(fake),
         1,
         "refused to create an instance",
         {{"FAKE_PLUGIN_REFUSE", "1"}}},
        {"not a MIDI file",
         {"--plugin", fake, "--midi-in", wave},
         1,
         "song.mid is not a Standard MIDI File"},
        {"missing MIDI file",
         {"--plugin", fake, "--midi-in", scratch / "none.mid"},
         1,
         "cannot read the MIDI file"},
        {"bad note", {"--plugin", fake, "--chord", "C4 Q4"}, 2, "bad note 'Q4'"},
        {"bad velocity", {"--plugin", fake, "--chord", "C4:200"}, 2, "bad velocity"},
        {"bad range", chordOn(fake, {"--loop", "3:1"}), 2, "--loop: '3:1' is not a range"},
        {"negative tempo", chordOn(fake, {"--tempo", "-4"}), 2, "--tempo: '-4'"},
        {"unknown parameter", chordOn(fake, {"--set", "Volume=3"}), 2,
         "unknown parameter 'Volume'; valid names: Mode, Level, Amount"},
        {"unknown value name", chordOn(fake, {"--set", "Mode=Delta"}), 2,
         "invalid value 'Delta' for Mode; valid values: Alpha, Beta, Gamma"},
        {"value number past the list", chordOn(fake, {"--set", "Mode=3"}), 2,
         "invalid value '3' for Mode"},
        {"value outside the range", chordOn(fake, {"--set", "Level=40"}), 2,
         "invalid value '40' for Level"},
        {"preset that is not a container", chordOn(tumblet, {"--preset", badPreset}), 1,
         "is not a Tumblet preset: it does not begin with an \"mmst\""},
        {"preset shorter than announced", chordOn(tumblet, {"--preset", shortPreset}), 1,
         "announces 32 bytes of state but holds 4"},
        {"preset Tumblet would refuse", chordOn(tumblet, {"--preset", floatPreset}), 1,
         "the plug-in would refuse its state: \"Invalid property value\" at byte 28"},
        {"preset the plug-in refuses", chordOn(fake, {"--preset", otherPreset}), 1,
         "the plug-in refused the preset"},
        {"missing preset", chordOn(fake, {"--preset", scratch / "missing.brindlexp"}), 1,
         "cannot read the preset"},
    };
    const auto before = scratch.Files();
    for (const TFailure& c : cases)
    {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> arguments = c.Arguments;
        for (const char* option : {"--out", "--png", "--save-preset"})
            arguments.insert(arguments.end(), {option, scratch / (std::string("new") + option)});
        const auto result = RunTool(arguments, c.Environment);
        EXPECT_EQ(result.ExitStatus, c.Status) << result.Err;
        EXPECT_EQ(result.Err.rfind("tumblet-render: ", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
        EXPECT_EQ(scratch.Files(), before) << "files were written";
        EXPECT_TRUE(result.Out.empty()) << result.Out;
    }
}

TEST(RenderErrorsTest, MissingOutputFolderWritesNothingElse)
{
    TScratchFolder scratch;
    const auto result =
        RunTool({"--plugin", FakePluginPath(), "--chord", "C4", "--png", scratch / "roll.png",
                 "--out", scratch / "no/such/folder/out.mid"});
    EXPECT_EQ(result.ExitStatus, 1);
    EXPECT_NE(result.Err.find("the folder"), std::string::npos) << result.Err;
    EXPECT_TRUE(scratch.Files().empty());
}

} // namespace
} // namespace tumblet::test
