#include "controls/BlxMenuButton.h"

#include "controls/BlxArtwork.h"
#include "ui/BlxStyle.h"

namespace tumblet
{

namespace
{
constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr uint32_t kOpaqueMagenta = 0xFFFF00FFu; // the glyph's transparent colour
} // namespace

TBlxMenuButton::TBlxMenuButton()
{
    SetBounds(0, 0, 26, 26);
    SetDropDownArrow(false);
}

TBlxPixelBuffer TBlxMenuButton::RecolourGlyph(const TBlxPixelBuffer& source, TBlxColor color)
{
    TBlxPixelBuffer out(source.Width(), source.Height());
    cairo_surface_t* src = source.Surface();
    cairo_surface_t* dst = out.Surface();
    cairo_surface_flush(src);
    cairo_surface_flush(dst);
    // Premultiplied ARGB: an opaque colour is stored as is.
    uint32_t replacement = color.WithAlpha(255).Argb;
    for (int y = 0; y < source.Height(); ++y)
    {
        auto* in = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(src) +
                                                     y * cairo_image_surface_get_stride(src));
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(dst) +
                                                y * cairo_image_surface_get_stride(dst));
        for (int x = 0; x < source.Width(); ++x)
        {
            uint32_t p = in[x];
            row[x] = p == kOpaqueBlack ? replacement : p == kOpaqueMagenta ? 0 : p;
        }
    }
    cairo_surface_mark_dirty(dst);
    return out;
}

void TBlxMenuButton::Loaded()
{
    BuildGlyphs(1.0);
    Invalidate();
}

void TBlxMenuButton::BuildGlyphs(double scale)
{
    FGlyphs.clear();
    FGlyphScale = scale;
    auto bars = TBlxArtwork::Image("menu16", scale);
    if (Skin() == nullptr || !bars)
    {
        return;
    }
    const TBlxPalette& p = *Skin();
    FGlyphs.push_back(RecolourGlyph(*bars, p.ButtonText));
    FGlyphs.push_back(RecolourGlyph(*bars, p.ButtonTextPressed));
}

void TBlxMenuButton::PrepareGlyph(double scale)
{
    if (scale != FGlyphScale && !FGlyphs.empty())
    {
        BuildGlyphs(scale);
    }
}

const TBlxPixelBuffer* TBlxMenuButton::Glyph() const
{
    int index = ShownGlyph();
    return index < GlyphCount() ? &FGlyphs[size_t(index)] : nullptr;
}

bool TBlxMenuButton::MouseDown(const TBlxMouseEvent& e)
{
    FPressed = true;
    Invalidate();
    return TBlxSpeedButton::MouseDown(e);
}

bool TBlxMenuButton::MouseUp(const TBlxMouseEvent& e)
{
    FPressed = false;
    Invalidate();
    return TBlxSpeedButton::MouseUp(e);
}

void TBlxMenuButton::CaptureLost()
{
    FPressed = false;
    TBlxSpeedButton::CaptureLost();
}

} // namespace tumblet
