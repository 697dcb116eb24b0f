#include "PianoRoll.h"

#include "NoteNames.h"
#include "NoteTable.h"
#include "RenderError.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace tumblet
{

namespace
{

constexpr int kPitchPadding = 2;     // empty rows above and below the notes
constexpr double kMaxWidth = 8000.0; // pixels; cairo's limit is far beyond
constexpr double kMinPixelsPerBeat = 8.0;
constexpr double kMaxPixelsPerBeat = 80.0;
constexpr int kMaxVelocity = 127;
constexpr double kLabelSize = 9.0;   // points
constexpr int kMaxImageSide = 32767; // pixels: cairo's image surfaces go no larger

struct TSurfaceDeleter
{
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct TContextDeleter
{
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

bool IsBlackKey(int pitch)
{
    const int pc = pitch % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

std::vector<int> InputPitches(const std::vector<TInputNote>& input)
{
    std::set<int> pitches;
    for (const auto& note : input)
        pitches.insert(note.Pitch);
    return std::vector<int>(pitches.rbegin(), pitches.rend());
}

void DrawRows(cairo_t* cr, const TPianoRollLayout& layout)
{
    for (int pitch = layout.LowestPitch; pitch <= layout.HighestPitch; ++pitch)
    {
        const double shade = IsBlackKey(pitch) ? 0.10 : 0.14;
        cairo_set_source_rgb(cr, shade, shade, shade);
        cairo_rectangle(cr, layout.kLeftMargin, layout.Y(pitch), layout.Width - layout.kLeftMargin,
                        layout.kRowHeight);
        cairo_fill(cr);
        if (pitch % 12 == 0)
        {
            cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
            cairo_move_to(cr, 4, layout.Y(pitch) + layout.kRowHeight);
            cairo_show_text(cr, PitchName(pitch).c_str());
        }
    }
}

void DrawGrid(cairo_t* cr, const TPianoRollLayout& layout, const TTimeGrid& grid)
{
    const double beatUnit = 4.0 / grid.Denominator;
    const int units = static_cast<int>(std::ceil(grid.LengthBeats / beatUnit));
    for (int unit = 0; unit <= units; ++unit)
    {
        const bool bar = unit % grid.Numerator == 0;
        const double x = std::floor(layout.X(unit * beatUnit)) + 0.5;
        cairo_set_source_rgb(cr, bar ? 0.55 : 0.28, bar ? 0.55 : 0.28, bar ? 0.55 : 0.28);
        cairo_set_line_width(cr, 1.0);
        cairo_move_to(cr, x, layout.kTopMargin);
        cairo_line_to(cr, x, layout.Height);
        cairo_stroke(cr);
        if (bar)
        {
            cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
            cairo_move_to(cr, x + 3, layout.kTopMargin - 6);
            cairo_show_text(cr, std::to_string(unit / grid.Numerator + 1).c_str());
        }
    }
}

void DrawOutput(cairo_t* cr, const TPianoRollLayout& layout, const TNoteTable& table,
                const TTimeGrid& grid)
{
    const double samplesPerBeat = grid.SamplesPerBeat();
    for (const auto& note : table.Notes())
    {
        const double x0 = layout.X(std::max(0.0, note.StartSample / samplesPerBeat));
        const double x1 = layout.X(note.EndSample / samplesPerBeat);
        double red = 0.0, green = 0.0, blue = 0.0;
        TPianoRoll::VelocityColour(note.Velocity, red, green, blue);
        cairo_set_source_rgb(cr, red, green, blue);
        cairo_rectangle(cr, x0, layout.Y(note.Pitch) + 1, std::max(1.0, x1 - x0 - 1),
                        layout.kRowHeight - 2);
        cairo_fill(cr);
    }
}

void DrawInput(cairo_t* cr, const TPianoRollLayout& layout, const std::vector<TInputNote>& input)
{
    const std::vector<int> pitches = InputPitches(input);
    cairo_set_source_rgb(cr, 0.08, 0.10, 0.08);
    cairo_rectangle(cr, layout.kLeftMargin, layout.LaneTop, layout.Width - layout.kLeftMargin,
                    layout.LaneRows * layout.kRowHeight);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
    cairo_move_to(cr, 4, layout.LaneTop + layout.kRowHeight);
    cairo_show_text(cr, "input");
    for (const auto& note : input)
    {
        const auto row = std::find(pitches.begin(), pitches.end(), note.Pitch) - pitches.begin();
        const double y = layout.LaneTop + static_cast<double>(row) * layout.kRowHeight;
        const double x0 = layout.X(note.StartBeat);
        cairo_set_source_rgb(cr, 0.35, 0.80, 0.45);
        cairo_rectangle(cr, x0, y + 1, std::max(1.0, layout.X(note.EndBeat) - x0 - 1),
                        layout.kRowHeight - 2);
        cairo_fill(cr);
    }
}

} // namespace

TPianoRollLayout TPianoRollLayout::Compute(const std::vector<TRenderedNote>& output,
                                           const std::vector<TInputNote>& input,
                                           const TTimeGrid& grid)
{
    TPianoRollLayout layout;
    int low = 128;
    int high = -1;
    for (const auto& note : output)
    {
        low = std::min(low, note.Pitch);
        high = std::max(high, note.Pitch);
    }
    for (const auto& note : input)
    {
        low = std::min(low, note.Pitch);
        high = std::max(high, note.Pitch);
    }
    if (high >= 0)
    {
        layout.LowestPitch = std::max(0, low - kPitchPadding);
        layout.HighestPitch = std::min(127, high + kPitchPadding);
    }
    layout.PixelsPerBeat = std::clamp(kMaxWidth / std::max(grid.LengthBeats, 1.0),
                                      kMinPixelsPerBeat, kMaxPixelsPerBeat);
    layout.Width = static_cast<int>(std::ceil(layout.X(grid.LengthBeats))) + kRightMargin;
    layout.LaneRows = std::max<int>(1, static_cast<int>(InputPitches(input).size()));
    layout.LaneTop =
        kTopMargin + (layout.HighestPitch - layout.LowestPitch + 1) * kRowHeight + kLaneGap;
    layout.Height = layout.LaneTop + layout.LaneRows * kRowHeight + kLaneGap / 2;
    return layout;
}

void TPianoRoll::VelocityColour(int velocity, double& red, double& green, double& blue)
{
    const double loudness = std::clamp(velocity, 0, kMaxVelocity) / double(kMaxVelocity);
    red = 0.15 + 0.85 * loudness;
    green = 0.30;
    blue = 1.0 - 0.85 * loudness;
}

double TPianoRoll::MaxBeats()
{
    return (kMaxImageSide - TPianoRollLayout::kLeftMargin - TPianoRollLayout::kRightMargin - 1) /
           kMinPixelsPerBeat;
}

void TPianoRoll::CheckLength(const std::string& path, const TTimeGrid& grid)
{
    if (grid.LengthBeats > MaxBeats())
        ThrowRuntime("cannot draw the piano roll " + path + ": a render of " +
                     std::to_string(std::lround(grid.LengthBeats)) +
                     " beats is too wide for a PNG image; draw at most " +
                     std::to_string(static_cast<long>(MaxBeats())) + " beats (--bars or --beats)");
}

std::vector<std::uint8_t> TPianoRoll::Draw(const std::string& path, const TNoteTable& table,
                                           const std::vector<TInputNote>& input,
                                           const TTimeGrid& grid)
{
    CheckLength(path, grid);
    const TPianoRollLayout layout = TPianoRollLayout::Compute(table.Notes(), input, grid);
    std::unique_ptr<cairo_surface_t, TSurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.Width, layout.Height));
    std::unique_ptr<cairo_t, TContextDeleter> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kLabelSize);
    DrawRows(cr, layout);
    DrawGrid(cr, layout, grid);
    DrawOutput(cr, layout, table, grid);
    DrawInput(cr, layout, input);
    cairo_surface_flush(surface.get());
    std::vector<std::uint8_t> bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length)
    {
        try
        {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        }
        catch (...) // nothing may unwind through cairo
        {
            return CAIRO_STATUS_NO_MEMORY;
        }
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), append, &bytes);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || status != CAIRO_STATUS_SUCCESS)
        ThrowRuntime(
            "cannot draw the piano roll " + path + ": " +
            cairo_status_to_string(status != CAIRO_STATUS_SUCCESS ? status : cairo_status(cr)));
    return bytes;
}

} // namespace tumblet
