// Hostile and empty input: every malformed MIDI file, every empty or clashing output name and a
// render with nothing to play ends with a message and its exit status, writing nothing.
// Issue 17.

#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace tumblet::test
{
namespace
{

using TBytes = std::string;

TBytes Big(std::uint32_t value, int count)
{
    TBytes bytes;
    for (int i = count - 1; i >= 0; --i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

/// A header chunk (format, declared tracks, 96 ticks per beat) and the given track bodies.
TBytes MidiFile(const std::vector<TBytes>& tracks, std::uint16_t declared = 0, int format = 1)
{
    TBytes file = "MThd" + Big(6, 4) + Big(static_cast<std::uint32_t>(format), 2) +
                  Big(declared != 0 ? declared : static_cast<std::uint32_t>(tracks.size()), 2) +
                  Big(96, 2);
    for (const auto& track : tracks)
        file += "MTrk" + Big(static_cast<std::uint32_t>(track.size()), 4) + track;
    return file;
}

const TBytes kNote = TBytes("\x00\x90\x3C\x64\x60\x80\x3C\x00", 8);
const TBytes kEnd = TBytes("\x00\xFF\x2F\x00", 4);

class RenderInputSafetyTest : public ::testing::Test
{
protected:
    TToolResult ExpectRefused(std::vector<std::string> arguments, int status,
                              const std::string& message)
    {
        const auto before = FScratch.Files();
        arguments.insert(arguments.begin(), {"--plugin", FakePluginPath()});
        const auto result = RunTool(arguments);
        EXPECT_EQ(result.ExitStatus, status) << result.Err;
        EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
        EXPECT_EQ(FScratch.Files(), before) << "files were written";
        return result;
    }

    TScratchFolder FScratch;
};

TEST_F(RenderInputSafetyTest, MalformedMidiFilesAreRefusedWithTheProblemAndItsOffset)
{
    struct TCase
    {
        const char* Name;
        TBytes File;
        const char* Message;
    };
    const TCase cases[] = {
        {"empty", "", "does not begin with an \"MThd\" header at byte 0"},
        {"truncated header", MidiFile({kNote + kEnd}).substr(0, 11), "ends inside the header"},
        {"truncated track", MidiFile({kNote + kEnd}).substr(0, 26), "chunk declares 12 bytes"},
        {"zero-length track", MidiFile({""}), "track 1 has no end-of-track event at byte 22"},
        {"no end of track", MidiFile({kNote}), "track 1 has no end-of-track event"},
        {"huge chunk length", MidiFile({}, 1) + "MTrk\xFF\xFF\xFF\xF0", "chunk declares"},
        {"65535 tracks", MidiFile({kNote + kEnd}, 65535), "declares 65535 tracks but the file"},
        {"five-byte delta", MidiFile({TBytes("\x81\x81\x81\x81\x01", 5) + kEnd}),
         "longer than four bytes at byte 22"},
        {"far delta", MidiFile({TBytes("\xFF\xFF\xFF\x7F\x90\x3C\x64", 7) + kEnd}),
         "beyond beat 100000"},
        {"data without status", MidiFile({TBytes("\x00\x3C\x64", 3) + kEnd}),
         "data byte without a status at byte 23"},
        {"status inside data", MidiFile({TBytes("\x00\x90\x3C\x90", 4) + kEnd}),
         "cut short by a status byte"},
        {"huge meta", MidiFile({TBytes("\x00\xFF\x01\x8F\xFF\xFF\x7F", 7) + kEnd}),
         "ends inside a meta event"},
        {"huge sysex", MidiFile({TBytes("\x00\xF0\x8F\xFF\xFF\x7F", 6) + kEnd}),
         "ends inside a system-exclusive event"},
        {"tempo 0", MidiFile({TBytes("\x00\xFF\x51\x03\x00\x00\x00", 7) + kNote + kEnd}),
         "tempo of 0 microseconds"},
        {"tempo absurd", MidiFile({TBytes("\x00\xFF\x51\x03\x00\x00\x01", 7) + kNote + kEnd}),
         "outside 4 to 999 BPM"},
        {"denominator 2^30",
         MidiFile({TBytes("\x00\xFF\x58\x04\x04\x1E\x18\x08", 8) + kNote + kEnd}),
         "denominator 2^30 is not"},
        {"numerator 0", MidiFile({TBytes("\x00\xFF\x58\x04\x00\x02\x18\x08", 8) + kNote + kEnd}),
         "numerator 0 is outside"},
        {"bytes after the end", MidiFile({kNote + kEnd + kNote}), "bytes after its end-of-track"},
        {"format 0 with two tracks", MidiFile({kNote + kEnd, kNote + kEnd}, 0, 0),
         "declares 2 tracks instead of 1"},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(test.Name);
        const std::string path = FScratch.Write("in.mid", test.File);
        const auto result = ExpectRefused({"--midi-in", path, "--out", FScratch / "o.mid", "--png",
                                           FScratch / "o.png", "--print"},
                                          1, test.Message);
        EXPECT_NE(result.Err.find(path + " is not a Standard MIDI File: "), std::string::npos);
    }
}

TEST_F(RenderInputSafetyTest, RefusedCommandLinesSayWhy)
{
    const std::string controllers =
        FScratch.Write("cc.mid", MidiFile({TBytes("\x00\xB0\x07\x64", 4) + kEnd}));
    const std::string x = FScratch / "x";
    const struct
    {
        std::vector<std::string> Arguments;
        int ExitStatus;
        std::string Message;
    } cases[] = {
        {{"--print"}, 2, "nothing to play: give --chord or --midi-in"},
        {{"--out", FScratch / "o.mid"}, 2, "nothing to play: give --chord or --midi-in"},
        {{"--midi-in", controllers, "--print"},
         1,
         "nothing to play: " + controllers + " holds no note-on"},
        {{"--chord", "C4", "--out", ""}, 2, "--out needs a file name"},
        {{"--chord", "C4", "--out", x, "--png", x}, 2, "--out and --png name the same file"},
        {{"--chord", "C4", "--out", x, "--save-preset", FScratch / "./x"},
         2,
         "--out and --save-preset name the same file"},
        {{"--chord", "C4", "--bars", "25001"},
         2,
         "the render would last 100004 beats; the longest render is 100000 beats"},
        {{"--chord", "C4", "--bars", "1100", "--png", FScratch / "roll.png"},
         1,
         "is too wide for a PNG image; draw at most"},
    };
    for (const auto& c : cases)
        ExpectRefused(c.Arguments, c.ExitStatus, c.Message);
}

TEST_F(RenderInputSafetyTest, ValidFileStillPlays)
{
    const std::string path = FScratch.Write("ok.mid", MidiFile({kNote + kEnd, kNote + kEnd}));
    const auto result = RunTool({"--plugin", FakePluginPath(), "--midi-in", path, "--print"});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
}

} // namespace
} // namespace tumblet::test
