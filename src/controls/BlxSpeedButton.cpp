#include "controls/BlxSpeedButton.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxMenu.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <cmath>

namespace tumblet
{

namespace
{
constexpr double kCornerRadius = 3;
/// Width reserved at the right edge for the drop-down arrow, in pixels.
constexpr int kArrowWidth = 14;
} // namespace

TBlxSpeedButton::TBlxSpeedButton()
{
    SetBounds(0, 0, 22, 22);
}

void TBlxSpeedButton::SetCaption(const std::string& caption)
{
    if (caption != FCaption)
    {
        FCaption = caption;
        Invalidate();
    }
}

void TBlxSpeedButton::SetDropDownArrow(bool arrow)
{
    if (arrow != FDropDownArrow)
    {
        FDropDownArrow = arrow;
        Invalidate();
    }
}

void TBlxSpeedButton::SetDown(bool down)
{
    if (down != FDown)
    {
        FDown = down;
        Invalidate();
    }
}

void TBlxSpeedButton::Click()
{
    if (FDropDownMenu && Window())
    {
        FDropDownMenu->Popup(Window(), ClientToScreen({0, Height()}));
        return;
    }
    Raise(OnClick, *this);
}

bool TBlxSpeedButton::MouseDown(const TBlxMouseEvent& e)
{
    if (e.Button == TBlxMouseButton::Left)
    {
        SetDown(true);
    }
    return true;
}

bool TBlxSpeedButton::MouseUp(const TBlxMouseEvent& e)
{
    if (e.Button != TBlxMouseButton::Left || !FDown)
    {
        return false;
    }
    SetDown(false);
    if (ClientRect().Contains(e.Pos))
    {
        Click();
    }
    return true;
}

void TBlxSpeedButton::MouseEnter()
{
    FHot = true;
    Invalidate();
}

void TBlxSpeedButton::MouseLeave()
{
    FHot = false;
    Invalidate();
}

void TBlxSpeedButton::CaptureLost()
{
    SetDown(false);
}

void TBlxSpeedButton::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = SkinColors();
    bool enabled = EffectivelyEnabled();
    TBlxColor face = FDown ? p.ButtonPressed : FHot ? p.ButtonHot : p.ButtonNormal;
    TBlxRect r = ClientRect();
    canvas.FillRoundRect(r, kCornerRadius, face);
    canvas.FrameRoundRect(r, kCornerRadius, p.ButtonBorder);
    TBlxFont font = Font();
    font.Color = !enabled ? p.DisabledText : FDown ? p.ButtonTextPressed : p.ButtonText;
    TBlxRect content = r;
    if (FDropDownArrow && FDropDownMenu)
    {
        content.Width -= kArrowWidth;
        double cx = r.Right() - kArrowWidth / 2.0 - 2, cy = r.Height / 2.0 + 1;
        canvas.FillPolygon({{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2.5}}, font.Color);
    }
    PrepareGlyph(canvas.Scale());
    if (const TBlxPixelBuffer* glyph = Glyph())
    {
        const double scale = GlyphScale();
        const int width = int(std::lround(glyph->Width() / scale));
        const int height = int(std::lround(glyph->Height() / scale));
        canvas.DrawImage(*glyph, (content.Width - width) / 2,
                         (content.Height - height) / 2 + (FDown ? 1 : 0), 1.0, scale);
        return;
    }
    TBlxRect textRect = FDown ? content.Offset(0, 1) : content;
    canvas.DrawText(textRect, FCaption, font, {TBlxAlignment::Center, TBlxVAlign::Center, false});
}

} // namespace tumblet
