// Draws the editor's artwork with cairo at build time and writes it as a C++ source file that
// embeds the PNG bytes (and, for review, the PNG files themselves).
//
// Usage: tumblet_artwork_gen <output.cpp> [png-folder]

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

struct TImage
{
    std::string Name;
    cairo_surface_t* Surface;
};

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

TImage MakeDial(const std::string& name, int frames, TDialKind kind)
{
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kDialSize, kDialSize * frames);
    cairo_t* cr = cairo_create(s);
    for (int k = 0; k < frames; ++k)
    {
        cairo_save(cr);
        cairo_rectangle(cr, 0, k * kDialSize, kDialSize, kDialSize);
        cairo_clip(cr);
        DrawDialFrame(cr, k * kDialSize, double(k) / (frames - 1), kind, frames);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return {name, s};
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

TImage MakeSwitch(const std::string& name, const TSwitchColors& colors)
{
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSwitchSize, 2 * kSwitchSize);
    cairo_t* cr = cairo_create(s);
    DrawSwitchFrame(cr, 0, false, colors);
    DrawSwitchFrame(cr, kSwitchSize, true, colors);
    cairo_destroy(cr);
    return {name, s};
}

/// A 16 x 16 carbon-fibre weave: two pairs of 8 x 8 cells shaded across each other.
TImage MakeBackground()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
    cairo_t* cr = cairo_create(s);
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
    return {"EditorBackground", s};
}

/// Three black 12 x 2 bars on magenta, which the menu button recolours per skin.
TImage MakeMenuGlyph()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int y : {3, 7, 11})
    {
        cairo_rectangle(cr, 2, y, 12, 2);
    }
    cairo_fill(cr);
    cairo_destroy(cr);
    return {"menu16", s};
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

void WriteArray(std::ofstream& out, const std::string& id, const std::vector<unsigned char>& b)
{
    out << "const unsigned char " << id << "[] = {";
    for (size_t i = 0; i < b.size(); ++i)
    {
        out << (i % 24 == 0 ? "\n    " : "") << unsigned(b[i]) << ',';
    }
    out << "\n};\n\n";
}

/// Encodes every image as PNG (also written to pngDir when given) and emits the C++ source
/// holding the bytes; frees the surfaces. Returns the process exit status.
int WriteSource(const std::vector<TImage>& images, const char* cppPath, const char* pngDir)
{
    std::ofstream out(cppPath, std::ios::binary);
    out << "// Generated by tumblet_artwork_gen; do not edit.\n"
        << "#include \"artwork/BlxArtworkData.h\"\n\nnamespace tumblet\n{\n\nnamespace\n{\n\n";
    std::vector<size_t> sizes;
    int status = 0;
    for (size_t i = 0; i < images.size(); ++i)
    {
        std::vector<unsigned char> png;
        if (cairo_surface_write_to_png_stream(images[i].Surface, AppendBytes, &png) !=
            CAIRO_STATUS_SUCCESS)
        {
            std::fprintf(stderr, "cannot encode %s\n", images[i].Name.c_str());
            status = 1;
        }
        if (pngDir)
        {
            std::string path = std::string(pngDir) + "/" + images[i].Name + ".png";
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        }
        WriteArray(out, "kImage" + std::to_string(i), png);
        sizes.push_back(png.size());
        cairo_surface_destroy(images[i].Surface);
    }
    out << "const TBlxArtworkResource kResources[] = {\n";
    for (size_t i = 0; i < images.size(); ++i)
    {
        out << "    {\"" << images[i].Name << "\", kImage" << i << ", " << sizes[i] << "},\n";
    }
    out << "};\n\n} // namespace\n\nstd::span<const TBlxArtworkResource> BlxArtworkResources()\n"
        << "{\n    return kResources;\n}\n\n} // namespace tumblet\n";
    out.close();
    return out ? status : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s <output.cpp> [png-folder]\n", argv[0]);
        return 2;
    }
    TSwitchColors dark{
        {0.19, 0.19, 0.20}, {0.33, 0.34, 0.36}, {0.17, 0.18, 0.19}, {0.24, 0.25, 0.26}};
    TSwitchColors bright{
        {0.89, 0.89, 0.90}, {0.98, 0.98, 0.98}, {0.80, 0.81, 0.83}, {0.62, 0.64, 0.66}};
    std::vector<TImage> images = {
        MakeDial("Dial100", 101, TDialKind::FromMinimum),
        MakeDial("Dial100_Center", 101, TDialKind::FromCentre),
        MakeDial("Dial5", 5, TDialKind::Detents),
        MakeDial("Dial200", 201, TDialKind::FromMinimum),
        MakeSwitch("STITCHED_ONOFF_DARK", dark),
        MakeSwitch("STITCHED_ONOFF_BRIGHT", bright),
        MakeBackground(),
        MakeMenuGlyph(),
    };
    return WriteSource(images, argv[1], argc > 2 ? argv[2] : nullptr);
}
