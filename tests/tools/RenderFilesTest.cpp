// Files in and out: a multi-track MIDI file played in, the Standard MIDI File and the PNG
// written out, checked with libsmf and cairo themselves.

#include "ToolRunner.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <smf.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace tumblet::test
{
namespace
{

struct TSmfDeleter
{
    void operator()(smf_t* smf) const { smf_delete(smf); }
};
using TSmf = std::unique_ptr<smf_t, TSmfDeleter>;

void AddBytes(smf_track_t* track, int pulses, std::vector<unsigned char> bytes)
{
    smf_track_add_event_pulses(
        track, smf_event_new_from_pointer(bytes.data(), static_cast<int>(bytes.size())), pulses);
}

/// Two tracks at 480 ticks per beat and 100 BPM: notes on one, a controller and a note on the
/// other, so the tool must merge them in time order.
void WriteTwoTrackFile(const std::string& path)
{
    TSmf smf(smf_new());
    ASSERT_EQ(smf_set_ppqn(smf.get(), 480), 0);
    smf_track_t* first = smf_track_new();
    smf_add_track(smf.get(), first);
    AddBytes(first, 0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0});  // 600000 us: 100 BPM
    AddBytes(first, 0, {0xFF, 0x58, 0x04, 0x03, 0x02, 24, 8}); // 3/4
    AddBytes(first, 0, {0x90, 60, 100});
    AddBytes(first, 240, {0x80, 60, 0});
    smf_track_t* second = smf_track_new();
    smf_add_track(smf.get(), second);
    AddBytes(second, 121, {0xB1, 7, 90});
    AddBytes(second, 360, {0x91, 64, 80});
    AddBytes(second, 720, {0x81, 64, 0});
    ASSERT_EQ(smf_save(smf.get(), path.c_str()), 0);
}

TEST(RenderFilesTest, MultiTrackMidiFileArrivesMergedAtExactSamples)
{
    TScratchFolder scratch;
    WriteTwoTrackFile(scratch / "in.mid");
    const std::string log = scratch / "fake.log";
    const auto result =
        RunTool({"--plugin", FakePluginPath(), "--midi-in", scratch / "in.mid", "--print"},
                {{"FAKE_PLUGIN_LOG", log}});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    const auto fake = TFakeLog::Read(log);
    ASSERT_FALSE(fake.Blocks.empty());
    EXPECT_EQ(fake.Blocks[0].Tempo, 100.0); // the file's tempo and metre, none given
    EXPECT_EQ(fake.Blocks[0].Numerator, 3);
    // One bar of 3/4 at 100 BPM: the file's 1.5 beats rounded up to a whole bar.
    EXPECT_EQ(fake.Blocks.back().RenderStart + fake.Blocks.back().Frames, 3 * 26460);
    const double samplesPerTick = 26460.0 / 480.0;
    const std::vector<std::pair<int, unsigned>> expected = {
        {0, 0x90}, {121, 0xB1}, {240, 0x80}, {360, 0x91}, {720, 0x81}};
    ASSERT_EQ(fake.Events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const auto& event = fake.Events[i];
        EXPECT_EQ(fake.Blocks.at(event.Block).RenderStart + event.Delta,
                  std::llround(expected[i].first * samplesPerTick))
            << "event " << i;
        EXPECT_EQ(event.Data[0], expected[i].second);
    }
    const auto rows = ParseTable(result.Out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Position, "1.1.720"); // tick 360 of 480 is 720 of 960
    EXPECT_EQ(rows[1].Channel, 2);
}

TEST(RenderFilesTest, MidiOutputHasTempoMetreAndNotesAtSampleAccurateTicks)
{
    TScratchFolder scratch;
    const auto result = RunTool({"--plugin", FakePluginPath(), "--chord", "C4:90", "--hold", "0.5",
                                 "--at", "1.001", "--chord", "E4", "--tempo", "150", "--time-sig",
                                 "3/4", "--bars", "1", "--out", scratch / "o.mid"});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    TSmf smf(smf_load((scratch / "o.mid").c_str()));
    ASSERT_TRUE(smf);
    EXPECT_EQ(smf->ppqn, 960);
    EXPECT_EQ(smf->number_of_tracks, 2);
    const smf_tempo_t* tempo = smf_get_tempo_by_pulses(smf.get(), 0);
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(tempo->microseconds_per_quarter_note, 400000);
    EXPECT_EQ(tempo->numerator, 3);
    EXPECT_EQ(tempo->denominator, 4);
    std::vector<std::pair<int, int>> notes; // (pulses, status)
    smf_rewind(smf.get());
    while (smf_event_t* event = smf_get_next_event(smf.get()))
        if (!smf_event_is_metadata(event))
            notes.push_back({event->time_pulses, event->midi_buffer[0]});
    // The note-on at beat 1.001 lands on tick 961; E4 is still sounding at the end (tick 2880).
    const std::vector<std::pair<int, int>> expected = {
        {0, 0x90}, {480, 0x80}, {961, 0x90}, {2880, 0x80}};
    EXPECT_EQ(notes, expected);
}

// The piano roll of a chord held for some beats, as its pixels.
struct TPicture
{
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
};

TPicture PianoRoll(const TScratchFolder& scratch, const std::string& chord, const char* bars,
                   const char* hold = "1")
{
    const std::string png = scratch / "roll.png";
    const auto result = RunTool({"--plugin", FakePluginPath(), "--chord", chord, "--hold", hold,
                                 "--bars", bars, "--png", png});
    EXPECT_EQ(result.ExitStatus, 0) << result.Err;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create_from_png(png.c_str()), &cairo_surface_destroy);
    TPicture picture;
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return picture;
    picture.Width = cairo_image_surface_get_width(image.get());
    picture.Height = cairo_image_surface_get_height(image.get());
    const unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x)
            picture.Pixels.push_back(reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] &
                                     0xFFFFFF);
    return picture;
}

/// The columns a colour spans in a picture: first and last.
std::pair<int, int> Columns(const TPicture& picture, std::uint32_t colour)
{
    std::pair<int, int> columns{picture.Width, -1};
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
        if (picture.Pixels[i] == colour)
        {
            const int x = static_cast<int>(i) % picture.Width;
            columns = {std::min(columns.first, x), std::max(columns.second, x)};
        }
    return columns;
}

// The picture grows with the song's length and its range of pitches; swapping two notes'
// velocities swaps only their colours, the loud note is the redder and the lower pitch lies
// lower, and a note ends where its key was released.
TEST(RenderFilesTest, PianoRollGrowsWithTheSongAndColoursNotesByVelocity)
{
    TScratchFolder scratch;
    const TPicture loudLow = PianoRoll(scratch, "C4:127 G4:20", "1");
    const TPicture loudHigh = PianoRoll(scratch, "C4:20 G4:127", "1");
    const TPicture longer = PianoRoll(scratch, "C4:127 G4:20", "2");
    const TPicture wider = PianoRoll(scratch, "C4:127 G5:20", "1");
    const TPicture heldLonger = PianoRoll(scratch, "C4:127 G4:20", "1", "2");
    ASSERT_GT(loudLow.Width, 0);
    EXPECT_GT(longer.Width, loudLow.Width);
    EXPECT_EQ(longer.Height, loudLow.Height);
    EXPECT_GT(wider.Height, loudLow.Height);
    EXPECT_EQ(wider.Width, loudLow.Width);
    ASSERT_EQ(loudHigh.Pixels.size(), loudLow.Pixels.size());

    // Where the two pictures differ: the colour pairs, and the rows each colour of loudLow spans.
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> swaps;
    std::map<std::uint32_t, std::pair<int, int>> rows;
    for (std::size_t i = 0; i < loudLow.Pixels.size(); ++i)
    {
        const std::uint32_t a = loudLow.Pixels[i], b = loudHigh.Pixels[i];
        if (a == b)
            continue;
        ++swaps[{a, b}];
        const int y = static_cast<int>(i) / loudLow.Width;
        rows.try_emplace(a, y, y).first->second.second = y;
    }
    ASSERT_EQ(swaps.size(), 2u) << "only the two notes change";
    const auto [one, other] = swaps.begin()->first;
    EXPECT_EQ(swaps.count({other, one}), 1u);
    const auto redness = [](std::uint32_t c)
    { return static_cast<int>(c >> 16) - static_cast<int>(c & 0xFF); };
    ASSERT_NE(redness(one), redness(other));
    const std::uint32_t loud = redness(one) > redness(other) ? one : other;
    const std::uint32_t soft = loud == one ? other : one;
    EXPECT_GT(rows[loud].first, rows[soft].second) << "C4 lies below G4";

    // Held for two beats instead of one, the note is twice as long.
    const auto [start, end] = Columns(loudLow, loud);
    const auto [heldStart, heldEnd] = Columns(heldLonger, loud);
    EXPECT_EQ(heldStart, start);
    EXPECT_NEAR(heldEnd - heldStart + 1, 2 * (end - start + 1), 2);
}

} // namespace
} // namespace tumblet::test
