// Files in and out: a multi-track MIDI file played in, the Standard MIDI File and the PNG
// written out, checked with libsmf and cairo themselves.

#include "PianoRoll.h"
#include "ToolRunner.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <smf.h>

#include <cmath>
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

TEST(RenderFilesTest, PianoRollShowsGridInputLaneAndNotesByVelocity)
{
    TScratchFolder scratch;
    const std::string png = scratch / "roll.png";
    const auto result = RunTool({"--plugin", FakePluginPath(), "--chord", "C4:127 G4:20", "--hold",
                                 "1", "--bars", "1", "--png", png});
    ASSERT_EQ(result.ExitStatus, 0) << result.Err;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create_from_png(png.c_str()), &cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);

    TTimeGrid grid;
    grid.LengthBeats = 4.0;
    std::vector<TRenderedNote> output = {{0, 22050, 60, 127, 0, true}, {0, 22050, 67, 20, 0, true}};
    std::vector<TInputNote> input = {{0, 1, 60, 127}, {0, 1, 67, 20}};
    const auto layout = TPianoRollLayout::Compute(output, input, grid);
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), layout.Width);
    EXPECT_EQ(cairo_image_surface_get_height(image.get()), layout.Height);

    const auto pixel = [&](double x, double y)
    {
        const unsigned char* data = cairo_image_surface_get_data(image.get());
        const int stride = cairo_image_surface_get_stride(image.get());
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(data + static_cast<int>(y) * stride);
        return row[static_cast<int>(x)] & 0xFFFFFF;
    };
    const auto colour = [](int velocity)
    {
        double red = 0, green = 0, blue = 0;
        TPianoRoll::VelocityColour(velocity, red, green, blue);
        const auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(v * 255)); };
        return (byte(red) << 16) | (byte(green) << 8) | byte(blue);
    };
    // cairo may round a channel either way.
    const auto near = [](std::uint32_t a, std::uint32_t b)
    {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                         static_cast<int>((b >> shift) & 0xFF)) > 1)
                return false;
        return true;
    };
    const double middle = layout.X(0.5);
    const double rowMiddle = TPianoRollLayout::kRowHeight / 2.0;
    EXPECT_TRUE(near(pixel(middle, layout.Y(60) + rowMiddle), colour(127)));
    EXPECT_TRUE(near(pixel(middle, layout.Y(67) + rowMiddle), colour(20)));
    EXPECT_FALSE(near(pixel(layout.X(2.5), layout.Y(60) + rowMiddle), colour(127))); // released
    // The input lane holds one row per input pitch, highest first, drawn in its own colour.
    const auto lane = pixel(middle, layout.LaneTop + rowMiddle);
    EXPECT_FALSE(near(lane, colour(20)));
    EXPECT_EQ(lane, pixel(middle, layout.LaneTop + TPianoRollLayout::kRowHeight + rowMiddle));
    EXPECT_EQ(layout.LaneRows, 2);
}

} // namespace
} // namespace tumblet::test
