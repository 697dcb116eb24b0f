#include "ui/BlxLabel.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxStyle.h"

namespace tumblet
{

TBlxLabel::TBlxLabel() = default;

void TBlxLabel::SetCaption(const std::string& caption)
{
    if (caption == FCaption)
    {
        return;
    }
    FCaption = caption;
    AdjustSize();
    Invalidate();
}

void TBlxLabel::SetAlignment(TBlxAlignment a)
{
    FFormat.Align = a;
    Invalidate();
}

void TBlxLabel::SetLayout(TBlxVAlign v)
{
    FFormat.VAlign = v;
    Invalidate();
}

void TBlxLabel::SetWordWrap(bool wrap)
{
    FFormat.WordWrap = wrap;
    AdjustSize();
    Invalidate();
}

void TBlxLabel::SetAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    AdjustSize();
}

void TBlxLabel::SetTextColor(TBlxColor c)
{
    FTextColor = c;
    Invalidate();
}

void TBlxLabel::AttachedToWindow()
{
    AdjustSize();
}

void TBlxLabel::AdjustSize()
{
    if (!FAutoSize)
    {
        return;
    }
    TBlxSize s =
        BlxText::Extent(Font(), FCaption.empty() ? " " : FCaption, FFormat.WordWrap ? Width() : -1);
    SetBounds(Left(), Top(), FFormat.WordWrap ? Width() : s.Width, s.Height);
}

void TBlxLabel::Paint(TBlxCanvas& canvas)
{
    TBlxControl::Paint(canvas);
    const TBlxPalette& p = TBlxStyle::Palette();
    TBlxFont font = Font();
    font.Color = !EffectivelyEnabled() ? p.DisabledText : FTextColor.value_or(p.ButtonText);
    canvas.DrawText(ClientRect(), FCaption, font, FFormat);
}

} // namespace tumblet
