#include "controls/BlxValueControl.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxStyle.h"

#include <algorithm>

namespace tumblet
{

namespace
{
constexpr TBlxColor kWindowFrame = TBlxColor::Rgb(0x64, 0x64, 0x64);
} // namespace

TBlxValueControl::TBlxValueControl(int width, int height, bool showPopup)
    : FShowPopup(showPopup), FBorderColor(kWindowFrame)
{
    SetBounds(0, 0, width, height);
    SetTabStop(true);
    SetColor(BlxColors::White);
    SetFont({kBlxFontSegoeUI, 12, true, BlxColors::Black});
}

TBlxValueControl::~TBlxValueControl()
{
    SetPopupMenu(nullptr);
}

void TBlxValueControl::SetMinValue(int value)
{
    FMinValue = value;
    Invalidate();
    // The value follows the new range as any other change does: clamped, with OnChange.
    SetValue(FValue);
}

void TBlxValueControl::SetMaxValue(int value)
{
    FMaxValue = value;
    Invalidate();
    SetValue(FValue);
}

void TBlxValueControl::SetValue(float value)
{
    value = std::clamp(value, float(FMinValue), float(std::max(FMinValue, FMaxValue)));
    if (value == FValue)
    {
        return;
    }
    FValue = value;
    Invalidate();
    ValueChanged();
}

void TBlxValueControl::SetBorderWidth(int width)
{
    FBorderWidth = std::max(0, width);
    Invalidate();
}

void TBlxValueControl::SetBorderColor(TBlxColor color)
{
    FBorderColor = color;
    Invalidate();
}

std::optional<TBlxValueControlColors> TBlxValueControl::ApplySkinColors()
{
    if (Skin() == nullptr)
    {
        return std::nullopt;
    }
    SetBorderWidth(1);
    std::optional<TBlxValueControlColors> colors = TBlxValueControlColors::ForSkin(SkinName());
    if (colors)
    {
        SetBorderColor(colors->Border);
        SetColor(colors->Back);
        TBlxFont font = Font();
        font.Color = colors->Text;
        SetFont(font);
    }
    return colors;
}

void TBlxValueControl::CheckCurrentValue(TBlxMenu& menu) const
{
    TBlxPopupMenu::CheckMenuItemByTag(menu, ValueAsInteger(), nullptr, true);
}

bool TBlxValueControl::AcceptPress(const TBlxMouseEvent& e)
{
    if (!Focused())
    {
        SetFocus();
    }
    return BlxRaiseBeforeMouseDown(OnBeforeMouseDown, *this, e);
}

bool TBlxValueControl::MouseWheel(const TBlxWheelEvent& e)
{
    if (!BlxPointerOver(*this) || e.DeltaY == 0)
    {
        return false;
    }
    WheelTurned(e.DeltaY > 0, e.Shift);
    return true;
}

void TBlxValueControl::PaintBox(TBlxCanvas& canvas, TBlxColor fill)
{
    canvas.FillRect(ClientRect(), fill);
    if (FBorderWidth > 0)
    {
        canvas.FrameRect(ClientRect(), FBorderColor, FBorderWidth);
    }
}

} // namespace tumblet
