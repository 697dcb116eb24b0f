#include "ui/BlxCanvas.h"

#include "ui/BlxPixelBuffer.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

void TBlxCanvas::ResetTransform()
{
    cairo_identity_matrix(FCairo);
    if (FScale != 1.0)
    {
        cairo_scale(FCairo, FScale, FScale);
    }
}

double TBlxCanvas::SnapStroke(double coordinate, double width, bool vertical) const
{
    if (FScale == 1.0)
    {
        return coordinate;
    }
    // The centre of an odd number of device pixels lies on a half pixel, of an even number on
    // a whole one; anything else smears the line over two rows of device pixels.
    double x = vertical ? coordinate : 0, y = vertical ? 0 : coordinate;
    cairo_user_to_device(FCairo, &x, &y);
    double device = vertical ? x : y;
    const long pixels = std::max(1L, std::lround(width * FScale));
    device = pixels % 2 == 1 ? std::floor(device) + 0.5 : std::round(device);
    x = vertical ? device : 0;
    y = vertical ? 0 : device;
    cairo_device_to_user(FCairo, &x, &y);
    return vertical ? x : y;
}

void TBlxCanvas::ClipRect(const TBlxRect& r)
{
    cairo_rectangle(FCairo, r.Left, r.Top, r.Width, r.Height);
    cairo_clip(FCairo);
}

TBlxRect TBlxCanvas::ClipBounds() const
{
    double x1, y1, x2, y2;
    cairo_clip_extents(FCairo, &x1, &y1, &x2, &y2);
    int l = int(std::floor(x1)), t = int(std::floor(y1));
    return {l, t, int(std::ceil(x2)) - l, int(std::ceil(y2)) - t};
}

void TBlxCanvas::SetColor(TBlxColor c)
{
    cairo_set_source_rgba(FCairo, c.R() / 255.0, c.G() / 255.0, c.B() / 255.0, c.A() / 255.0);
}

void TBlxCanvas::FillRect(const TBlxRect& r, TBlxColor c)
{
    SetColor(c);
    cairo_rectangle(FCairo, r.Left, r.Top, r.Width, r.Height);
    cairo_fill(FCairo);
}

void TBlxCanvas::FrameRect(const TBlxRect& r, TBlxColor c, double width)
{
    if (r.IsEmpty() || width <= 0)
    {
        return;
    }
    SetColor(c);
    double h = width / 2;
    const double stroke = StrokeWidth(width);
    cairo_set_line_width(FCairo, stroke);
    const double left = SnapStroke(r.Left + h, width, true);
    const double top = SnapStroke(r.Top + h, width, false);
    const double right = SnapStroke(r.Right() - h, width, true);
    const double bottom = SnapStroke(r.Bottom() - h, width, false);
    cairo_rectangle(FCairo, left, top, right - left, bottom - top);
    cairo_stroke(FCairo);
}

void TBlxCanvas::RoundRectPath(double x, double y, double w, double h, double radius)
{
    radius = std::clamp(radius, 0.0, std::min(w, h) / 2);
    cairo_new_sub_path(FCairo);
    cairo_arc(FCairo, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(FCairo, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(FCairo, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(FCairo, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(FCairo);
}

void TBlxCanvas::FillRoundRect(const TBlxRect& r, double radius, TBlxColor c)
{
    SetColor(c);
    RoundRectPath(r.Left, r.Top, r.Width, r.Height, radius);
    cairo_fill(FCairo);
}

void TBlxCanvas::FrameRoundRect(const TBlxRect& r, double radius, TBlxColor c, double width)
{
    SetColor(c);
    double h = width / 2;
    cairo_set_line_width(FCairo, width);
    RoundRectPath(r.Left + h, r.Top + h, r.Width - width, r.Height - width,
                  std::max(0.0, radius - h));
    cairo_stroke(FCairo);
}

void TBlxCanvas::FillEllipse(const TBlxRect& r, TBlxColor c)
{
    SetColor(c);
    cairo_save(FCairo);
    cairo_translate(FCairo, r.Left + r.Width / 2.0, r.Top + r.Height / 2.0);
    cairo_scale(FCairo, r.Width / 2.0, r.Height / 2.0);
    cairo_arc(FCairo, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(FCairo);
    cairo_fill(FCairo);
}

void TBlxCanvas::Line(double x1, double y1, double x2, double y2, TBlxColor c, double width)
{
    SetColor(c);
    cairo_set_line_width(FCairo, StrokeWidth(width));
    // Straight lines land on device pixels; slanted ones are left to antialiasing.
    if (x1 == x2)
    {
        x1 = x2 = SnapStroke(x1, width, true);
    }
    else if (y1 == y2)
    {
        y1 = y2 = SnapStroke(y1, width, false);
    }
    cairo_move_to(FCairo, x1, y1);
    cairo_line_to(FCairo, x2, y2);
    cairo_stroke(FCairo);
}

void TBlxCanvas::FillPolygon(const std::vector<std::pair<double, double>>& points, TBlxColor c)
{
    if (points.empty())
    {
        return;
    }
    SetColor(c);
    cairo_move_to(FCairo, points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i)
    {
        cairo_line_to(FCairo, points[i].first, points[i].second);
    }
    cairo_close_path(FCairo);
    cairo_fill(FCairo);
}

void TBlxCanvas::DrawText(const TBlxRect& r, const std::string& text, const TBlxFont& font,
                          const TBlxTextFormat& format)
{
    if (text.empty() || r.IsEmpty())
    {
        return;
    }
    PangoLayout* layout = BlxText::CachedLayout(FCairo, font, text, format.WordWrap ? r.Width : -1);
    PangoAlignment align = !format.WordWrap                        ? PANGO_ALIGN_LEFT
                           : format.Align == TBlxAlignment::Center ? PANGO_ALIGN_CENTER
                           : format.Align == TBlxAlignment::Right  ? PANGO_ALIGN_RIGHT
                                                                   : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, align);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    int x = r.Left;
    if (!format.WordWrap && format.Align == TBlxAlignment::Center)
    {
        x = r.Left + (r.Width - w) / 2;
    }
    else if (!format.WordWrap && format.Align == TBlxAlignment::Right)
    {
        x = r.Right() - w;
    }
    int y = format.VAlign == TBlxVAlign::Center   ? r.Top + (r.Height - h) / 2
            : format.VAlign == TBlxVAlign::Bottom ? r.Bottom() - h
                                                  : r.Top;
    cairo_save(FCairo);
    ClipRect(r);
    SetColor(font.Color);
    cairo_move_to(FCairo, x, y);
    pango_cairo_show_layout(FCairo, layout);
    cairo_restore(FCairo);
}

void TBlxCanvas::DrawImage(const TBlxPixelBuffer& image, int x, int y, double opacity,
                           double imageScale)
{
    if (!image.Surface() || !(imageScale > 0))
    {
        return;
    }
    cairo_save(FCairo);
    cairo_translate(FCairo, x, y);
    if (imageScale != 1.0)
    {
        cairo_scale(FCairo, 1.0 / imageScale, 1.0 / imageScale);
    }
    cairo_set_source_surface(FCairo, image.Surface(), 0, 0);
    cairo_rectangle(FCairo, 0, 0, image.Width(), image.Height());
    cairo_clip(FCairo);
    cairo_paint_with_alpha(FCairo, opacity);
    cairo_restore(FCairo);
}

void TBlxCanvas::TileImage(const TBlxPixelBuffer& image, double imageScale)
{
    if (!image.Surface() || image.Width() <= 0 || image.Height() <= 0 || !(imageScale > 0))
    {
        return;
    }
    cairo_save(FCairo);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image.Surface());
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    if (imageScale != 1.0)
    {
        cairo_matrix_t matrix;
        cairo_matrix_init_scale(&matrix, imageScale, imageScale);
        cairo_pattern_set_matrix(pattern, &matrix);
    }
    cairo_set_source(FCairo, pattern);
    cairo_set_operator(FCairo, CAIRO_OPERATOR_SOURCE);
    cairo_paint(FCairo);
    cairo_pattern_destroy(pattern);
    cairo_restore(FCairo);
}

void TBlxCanvas::GrabBackground(TBlxPixelBuffer& into, const TBlxRect& r) const
{
    // The copy keeps the device pixels: the control draws it back at the canvas's scale.
    const int width = int(std::ceil(r.Width * FScale)), height = int(std::ceil(r.Height * FScale));
    into.Resize(width, height);
    double dx = r.Left, dy = r.Top;
    cairo_user_to_device(FCairo, &dx, &dy);
    TCairoContextHandle cr = into.CreateContext();
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), cairo_get_target(FCairo), -dx, -dy);
    cairo_paint(cr.get());
}

double TBlxCanvas::StrokeWidth(double width) const
{
    if (FScale == 1.0)
    {
        return width;
    }
    return double(std::max(1L, std::lround(width * FScale))) / FScale;
}

} // namespace tumblet
