// The editor's artwork, drawn with cairo at any scale: at build time at 100 % for the embedded
// PNGs, and in the editor at the scale of its window so that dials and switches stay sharp.

#include "artwork/ArtworkDrawing.h"

#include <cmath>
#include <functional>
#include <vector>

namespace tumblet
{

namespace
{

constexpr double kPi = 3.14159265358979323846;

/// The dials sweep 270 degrees, from 7:30 (minimum) clockwise to 4:30 (maximum).
constexpr double kSweepStart = 0.75 * kPi;
constexpr double kSweep = 1.5 * kPi;
constexpr int kDialSize = 48;
constexpr int kSwitchSize = 24;

struct TRgb
{
    double R, G, B;
};

constexpr TRgb kAccent{0.25, 0.74, 0.93};    // lit value arc
constexpr TRgb kAccentDim{0.10, 0.33, 0.44}; // glow under the arc

/// A surface for artwork designed at width x height, at the scale.
cairo_surface_t* CreateScaled(int width, int height, double scale)
{
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::ceil(width * scale)),
                                      int(std::ceil(height * scale)));
}

void SetRgba(cairo_t* cr, TRgb c, double a = 1.0)
{
    cairo_set_source_rgba(cr, c.R, c.G, c.B, a);
}

double AngleOf(double position)
{
    return kSweepStart + kSweep * position;
}

/// The groove the value arc runs in.
void DrawTrack(cairo_t* cr, double cx, double cy, double r)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, kSweepStart, kSweepStart + kSweep);
    cairo_set_line_width(cr, 4.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.42);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2.4);
    cairo_set_source_rgba(cr, 0.36, 0.38, 0.41, 0.85);
    cairo_stroke(cr);
}

/// The lit part of the groove between two positions, with a soft glow beneath it.
void DrawValueArc(cairo_t* cr, double cx, double cy, double r, double from, double to)
{
    if (std::fabs(to - from) < 1e-9)
    {
        return;
    }
    double a0 = AngleOf(std::min(from, to));
    double a1 = AngleOf(std::max(from, to));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, a0, a1);
    cairo_set_line_width(cr, 5.0);
    SetRgba(cr, kAccentDim, 0.55);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2.6);
    SetRgba(cr, kAccent);
    cairo_stroke(cr);
}

/// A soft shadow below the knob, from a few widening translucent discs.
void DrawKnobShadow(cairo_t* cr, double cx, double cy, double r)
{
    for (int i = 4; i >= 1; --i)
    {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy + 1.6, r + i * 0.6, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.09);
        cairo_fill(cr);
    }
}

/// A white pointer with a dark drop line, from near the centre to the rim of the top face.
void DrawPointer(cairo_t* cr, double cx, double cy, double top, double position)
{
    double a = AngleOf(position);
    double ux = std::cos(a), uy = std::sin(a);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int pass = 0; pass < 2; ++pass)
    {
        double drop = pass == 0 ? 0.8 : 0;
        cairo_new_path(cr);
        cairo_move_to(cr, cx + ux * 4.0, cy + uy * 4.0 + drop);
        cairo_line_to(cr, cx + ux * (top - 1.5), cy + uy * (top - 1.5) + drop);
        cairo_set_line_width(cr, pass == 0 ? 3.0 : 2.4);
        if (pass == 0)
        {
            cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
        }
        else
        {
            cairo_set_source_rgb(cr, 0.96, 0.97, 0.98);
        }
        cairo_stroke(cr);
    }
}

/// The knob: a soft shadow, a bevelled graphite body, a dished top and the pointer.
void DrawKnobBody(cairo_t* cr, double cx, double cy, double r, double position)
{
    DrawKnobShadow(cr, cx, cy, r);
    cairo_pattern_t* body = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.47, 0.49, 0.53);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.11, 0.12, 0.13);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    double top = r - 2.2;
    cairo_pattern_t* face =
        cairo_pattern_create_radial(cx - top * 0.35, cy - top * 0.45, 1, cx, cy, top * 1.1);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.36, 0.38, 0.41);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.17, 0.18, 0.20);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, top, 0, 2 * kPi);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);

    DrawPointer(cr, cx, cy, top, position);
}

enum class TDialKind
{
    FromMinimum,
    FromCentre,
    Detents,
};

/// Small dots just outside the groove at each detent; the ones up to the value are lit.
void DrawDetents(cairo_t* cr, double cx, double cy, int count, double position)
{
    for (int i = 0; i < count; ++i)
    {
        double p = double(i) / (count - 1);
        double a = AngleOf(p);
        cairo_new_path(cr);
        cairo_arc(cr, cx + std::cos(a) * 22.3, cy + std::sin(a) * 22.3, 1.45, 0, 2 * kPi);
        if (p <= position + 1e-9)
        {
            SetRgba(cr, kAccent);
        }
        else
        {
            cairo_set_source_rgba(cr, 0.55, 0.57, 0.60, 0.9);
        }
        cairo_fill(cr);
    }
}

void DrawDialFrame(cairo_t* cr, double oy, double position, TDialKind kind, int detents)
{
    double cx = kDialSize / 2.0, cy = oy + kDialSize / 2.0 + 1.0;
    double ring = kind == TDialKind::Detents ? 18.6 : 19.6;
    DrawTrack(cr, cx, cy, ring);
    double from = kind == TDialKind::FromCentre ? 0.5 : 0.0;
    DrawValueArc(cr, cx, cy, ring, from, position);
    if (kind == TDialKind::FromCentre)
    {
        // The centre mark of a bipolar dial.
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy - ring - 3.2, 1.2, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0.75, 0.77, 0.80, 0.95);
        cairo_fill(cr);
    }
    if (kind == TDialKind::Detents)
    {
        DrawDetents(cr, cx, cy, detents, position);
    }
    DrawKnobBody(cr, cx, cy, 14.0, position);
}

cairo_surface_t* MakeDial(double scale, int frames, TDialKind kind)
{
    cairo_surface_t* s = CreateScaled(kDialSize, kDialSize * frames, scale);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, scale, scale);
    for (int k = 0; k < frames; ++k)
    {
        cairo_save(cr);
        cairo_rectangle(cr, 0, k * kDialSize, kDialSize, kDialSize);
        cairo_clip(cr);
        DrawDialFrame(cr, k * kDialSize, double(k) / (frames - 1), kind, frames);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

struct TSwitchColors
{
    TRgb Back;
    TRgb CapTop;
    TRgb CapBottom;
    TRgb LedOff;
};

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

/// One 24 x 24 frame: a rounded push cap with an LED that is dark (off) or glowing (on).
void DrawSwitchFrame(cairo_t* cr, double oy, bool on, const TSwitchColors& c)
{
    SetRgba(cr, c.Back);
    cairo_rectangle(cr, 0, oy, kSwitchSize, kSwitchSize);
    cairo_fill(cr);
    double inset = on ? 2.6 : 2.0; // a pressed cap sits slightly lower
    RoundRect(cr, 2, oy + 2.8, 20, 20, 4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.30);
    cairo_fill(cr);
    cairo_pattern_t* cap = cairo_pattern_create_linear(0, oy + inset, 0, oy + inset + 19);
    cairo_pattern_add_color_stop_rgb(cap, 0, c.CapTop.R, c.CapTop.G, c.CapTop.B);
    cairo_pattern_add_color_stop_rgb(cap, 1, c.CapBottom.R, c.CapBottom.G, c.CapBottom.B);
    RoundRect(cr, 2.5, oy + inset, 19, 19, 3.5);
    cairo_set_source(cr, cap);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(cap);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_stroke(cr);

    double cx = 12, cy = oy + inset + 9.5;
    if (on)
    {
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 1, cx, cy, 8);
        cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.R, kAccent.G, kAccent.B, 0.75);
        cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.R, kAccent.G, kAccent.B, 0);
        cairo_arc(cr, cx, cy, 8, 0, 2 * kPi);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 3.6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, 2.8, 0, 2 * kPi);
    if (on)
    {
        cairo_pattern_t* led = cairo_pattern_create_radial(cx - 0.8, cy - 0.8, 0.3, cx, cy, 2.8);
        cairo_pattern_add_color_stop_rgb(led, 0, 0.92, 0.99, 1.0);
        cairo_pattern_add_color_stop_rgb(led, 1, kAccent.R, kAccent.G, kAccent.B);
        cairo_set_source(cr, led);
        cairo_fill(cr);
        cairo_pattern_destroy(led);
    }
    else
    {
        SetRgba(cr, c.LedOff);
        cairo_fill(cr);
    }
}

cairo_surface_t* MakeSwitch(double scale, const TSwitchColors& colors)
{
    cairo_surface_t* s = CreateScaled(kSwitchSize, 2 * kSwitchSize, scale);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, scale, scale);
    DrawSwitchFrame(cr, 0, false, colors);
    DrawSwitchFrame(cr, kSwitchSize, true, colors);
    cairo_destroy(cr);
    return s;
}

/// A 16 x 16 carbon-fibre weave: two pairs of 8 x 8 cells shaded across each other.
cairo_surface_t* MakeBackground(double scale)
{
    cairo_surface_t* s = CreateScaled(16, 16, scale);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, scale, scale);
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.18);
    cairo_paint(cr);
    for (int cell = 0; cell < 4; ++cell)
    {
        int x = (cell % 2) * 8, y = (cell / 2) * 8;
        bool across = (cell == 0 || cell == 3);
        cairo_pattern_t* g = across ? cairo_pattern_create_linear(x, y, x + 8, y)
                                    : cairo_pattern_create_linear(x, y, x, y + 8);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.21, 0.23);
        cairo_pattern_add_color_stop_rgb(g, 0.5, 0.27, 0.28, 0.30);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.17, 0.18, 0.19);
        cairo_rectangle(cr, x + 0.5, y + 0.5, 7, 7);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    cairo_destroy(cr);
    return s;
}

/// Three black 12 x 2 bars on magenta, which the menu button recolours per skin.
cairo_surface_t* MakeMenuGlyph(double scale)
{
    cairo_surface_t* s = CreateScaled(16, 16, scale);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    // The bars keep hard edges on whole device pixels: the button swaps the magenta key for
    // its own colour, and a blended edge would keep a magenta tint.
    const auto device = [scale](double v) { return std::round(v * scale); };
    for (int y : {3, 7, 11})
    {
        cairo_rectangle(cr, device(2), device(y), device(14) - device(2),
                        device(y + 2) - device(y));
    }
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

const TSwitchColors kDarkSwitch{
    {0.19, 0.19, 0.20}, {0.33, 0.34, 0.36}, {0.17, 0.18, 0.19}, {0.24, 0.25, 0.26}};
const TSwitchColors kBrightSwitch{
    {0.89, 0.89, 0.90}, {0.98, 0.98, 0.98}, {0.80, 0.81, 0.83}, {0.62, 0.64, 0.66}};

struct TArtworkPiece
{
    const char* Name;
    std::function<cairo_surface_t*(double scale)> Draw;
};

const std::vector<TArtworkPiece>& Pieces()
{
    static const std::vector<TArtworkPiece> pieces = {
        {"Dial100", [](double s) { return MakeDial(s, 101, TDialKind::FromMinimum); }},
        {"Dial100_Center", [](double s) { return MakeDial(s, 101, TDialKind::FromCentre); }},
        {"Dial5", [](double s) { return MakeDial(s, 5, TDialKind::Detents); }},
        {"Dial200", [](double s) { return MakeDial(s, 201, TDialKind::FromMinimum); }},
        {"STITCHED_ONOFF_DARK", [](double s) { return MakeSwitch(s, kDarkSwitch); }},
        {"STITCHED_ONOFF_BRIGHT", [](double s) { return MakeSwitch(s, kBrightSwitch); }},
        {"EditorBackground", &MakeBackground},
        {"menu16", &MakeMenuGlyph},
    };
    return pieces;
}

} // namespace

std::vector<std::string> ArtworkNames()
{
    std::vector<std::string> names;
    for (const TArtworkPiece& piece : Pieces())
    {
        names.emplace_back(piece.Name);
    }
    return names;
}

cairo_surface_t* DrawArtwork(const std::string& name, double scale)
{
    if (!(scale > 0))
    {
        return nullptr;
    }
    for (const TArtworkPiece& piece : Pieces())
    {
        if (name == piece.Name)
        {
            return piece.Draw(scale);
        }
    }
    return nullptr;
}

} // namespace tumblet
