#include "controls/BlxGuiPanel.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxStyle.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{
/// Darkening and lightening of a dimmed skin border, in percent.
constexpr int kDimPercent = 25;
constexpr double kPi = 3.14159265358979323846;

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    if (r <= 0)
    {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

void SetSource(cairo_t* cr, TBlxColor c, double alpha)
{
    cairo_set_source_rgba(cr, c.R() / 255.0, c.G() / 255.0, c.B() / 255.0, alpha);
}
} // namespace

TBlxGuiPanel::TBlxGuiPanel()
{
    SetBounds(0, 0, 185, 41);
}

void TBlxGuiPanel::Changed()
{
    FShapeValid = false;
    Invalidate();
}

void TBlxGuiPanel::SetPanelColor(TBlxColor color)
{
    if (color != FPanelColor)
    {
        FPanelColor = color;
        Changed();
    }
}

void TBlxGuiPanel::SetAlpha(uint8_t alpha)
{
    if (alpha != FAlpha)
    {
        FAlpha = alpha;
        Changed();
    }
}

void TBlxGuiPanel::SetBorderColor(TBlxColor color)
{
    if (color != FBorderColor)
    {
        FBorderColor = color;
        Changed();
    }
}

void TBlxGuiPanel::SetBorderWidth(float width)
{
    if (width != FBorderWidth)
    {
        FBorderWidth = width;
        Changed();
    }
}

void TBlxGuiPanel::SetBorderRadius(float radius)
{
    if (radius != FBorderRadius)
    {
        FBorderRadius = radius;
        Changed();
    }
}

void TBlxGuiPanel::SetBorderVisible(bool visible)
{
    if (visible != FBorderVisible)
    {
        FBorderVisible = visible;
        Changed();
    }
}

void TBlxGuiPanel::SetTransparent(bool transparent)
{
    if (transparent != FTransparent)
    {
        FTransparent = transparent;
        Invalidate();
    }
}

void TBlxGuiPanel::SetNative(bool native)
{
    if (native != FNative)
    {
        FNative = native;
        Invalidate();
    }
}

void TBlxGuiPanel::Resized()
{
    Changed();
}

void TBlxGuiPanel::Loaded(bool designMode)
{
    if (!designMode && FUseStyles && Skin() != nullptr)
    {
        ApplyPalette(*Skin());
    }
}

void TBlxGuiPanel::ApplyPalette(const TBlxPalette& palette)
{
    bool light = palette.Name == "Light";
    if (!FPanelGroupColor)
    {
        SetPanelColor(palette.Panel);
    }
    else
    {
        SetPanelColor(light ? palette.GenericBackground : palette.CategoryPanelGroup);
    }
    if (light)
    {
        SetBorderColor(FDimBorderColor ? palette.Border.Lighten(kDimPercent) : palette.Border);
    }
    else
    {
        SetBorderColor(FDimBorderColor ? palette.HintGradientBase.Darken(kDimPercent)
                                       : palette.HintGradientBase);
    }
}

void TBlxGuiPanel::EnsureShape(double scale)
{
    if (!FShapeValid || FShapeScale != scale)
    {
        FShapeScale = scale;
        FShapeValid = false;
    }
    if (!FShapeValid || FShape.Width() != int(std::ceil(Width() * scale)) ||
        FShape.Height() != int(std::ceil(Height() * scale)))
    {
        RebuildShape();
    }
}

void TBlxGuiPanel::RebuildShape()
{
    ++FRebuilds;
    FShapeValid = true;
    FShape.Resize(int(std::ceil(Width() * FShapeScale)), int(std::ceil(Height() * FShapeScale)));
    FShape.Clear(BlxColors::Transparent);
    if (Width() <= 0 || Height() <= 0)
    {
        return;
    }
    TCairoContextHandle context = FShape.CreateContext();
    cairo_t* cr = context.get();
    // Drawn at the window's scale, so that the rounded edge stays sharp.
    if (FShapeScale != 1.0)
    {
        cairo_scale(cr, FShapeScale, FShapeScale);
    }
    double w = Width(), h = Height();
    double radius = std::min(double(FBorderRadius), std::min(w, h) / 2);
    double band = std::max(1.0, double(FBorderWidth));
    double fillAlpha = FAlpha / 255.0;
    // The outline band first, then the interior replaces what lies inside it; SOURCE keeps the
    // interior's own opacity instead of blending it over the band.
    RoundRectPath(cr, 0, 0, w, h, radius);
    if (FBorderVisible)
    {
        SetSource(cr, FBorderColor, 1.0);
    }
    else
    {
        SetSource(cr, FPanelColor, fillAlpha);
    }
    cairo_fill(cr);
    if (w > 2 * band && h > 2 * band)
    {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        RoundRectPath(cr, band, band, w - 2 * band, h - 2 * band, std::max(0.0, radius - band));
        SetSource(cr, FPanelColor, fillAlpha);
        cairo_fill(cr);
    }
    cairo_surface_flush(FShape.Surface());
}

void TBlxGuiPanel::Paint(TBlxCanvas& canvas)
{
    if (FNative)
    {
        canvas.FillRect(ClientRect(), FPanelColor);
        return;
    }
    if (!FTransparent)
    {
        canvas.FillRect(ClientRect(), Color().WithAlpha(255));
    }
    EnsureShape(canvas.Scale());
    canvas.DrawImage(FShape, 0, 0, 1.0, FShapeScale);
}

} // namespace tumblet
