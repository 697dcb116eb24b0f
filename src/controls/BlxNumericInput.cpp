#include "controls/BlxNumericInput.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxStyle.h"

#include <algorithm>

namespace tumblet
{

namespace
{
constexpr float kDragStep = 0.25f;
constexpr float kFineDragStep = 0.05f;
constexpr float kWheelStep = 0.125f;
/// Side inset of left-aligned text, in pixels.
constexpr int kTextInset = 5;
/// Submenus carry a tag that no value of a range (which may be negative) uses.
constexpr int kSubmenuTag = -999;

constexpr TBlxColor kSystemHighlight = TBlxColor::Rgb(0x00, 0x78, 0xD7);
} // namespace

TBlxNumericInput::TBlxNumericInput()
    : TBlxValueControl(42, 21, true), FHighlightColor(kSystemHighlight)
{
    FPopup = std::make_unique<TBlxPopupMenu>();
    SetPopupMenu(FPopup.get());
    FPopup->OnPopup = [this](TBlxMenu& menu)
    {
        CheckCurrentValue(menu);
        Raise(OnPopupPopupMenu, *this, *FPopup);
    };
}

void TBlxNumericInput::ValueChanged()
{
    Raise(OnChange, *this);
}

void TBlxNumericInput::SetCenter(bool center)
{
    FCenter = center;
    Invalidate();
}

void TBlxNumericInput::SetHighlight(bool highlight)
{
    FHighlight = highlight;
    Invalidate();
}

void TBlxNumericInput::SetHighlightColor(TBlxColor color)
{
    FHighlightColor = color;
    Invalidate();
}

void TBlxNumericInput::Loaded()
{
    if (auto colors = ApplySkinColors())
    {
        SetHighlightColor(colors->Highlight);
    }
    if (FShowPopup)
    {
        FillPopup();
    }
}

void TBlxNumericInput::FillPopup()
{
    FPopup->Items().Clear();
    TBlxPopupMenu::FillValueMenu(
        *FPopup, TBlxPopupMenu::ControlValueMenu(
                     *this, kSubmenuTag, BlxCharCount(BlxIntText(FMaxValue)),
                     [this](int v, std::string text)
                     {
                         Raise(OnGetTextMenu ? OnGetTextMenu : OnGetText, *this, text, float(v));
                         return text;
                     }));
    Raise(OnPopulatePopupMenu, *this, *FPopup);
}

bool TBlxNumericInput::MouseDown(const TBlxMouseEvent& e)
{
    FAccepted = AcceptPress(e);
    if (!FAccepted)
    {
        return true;
    }
    if (e.Button == TBlxMouseButton::Left)
    {
        // The platform layer has no screen-wide pointer shape yet; the box's own shape holds
        // while it has the capture.
        SetCursor(TBlxCursor::SizeNS);
        FLastY = e.Pos.Y;
    }
    return true;
}

bool TBlxNumericInput::MouseMove(const TBlxMouseEvent& e)
{
    if (!FAccepted || !(BlxHeldShift(e.Shift) & ssLeft))
    {
        return true;
    }
    float step = (BlxHeldShift(e.Shift) & ssShift) ? kFineDragStep : kDragStep;
    if (e.Pos.Y < FLastY)
    {
        SetValue(FValue + step);
    }
    else if (e.Pos.Y > FLastY)
    {
        SetValue(FValue - step);
    }
    Invalidate();
    FLastY = e.Pos.Y;
    return true;
}

bool TBlxNumericInput::MouseUp(const TBlxMouseEvent&)
{
    EndDrag();
    return true;
}

void TBlxNumericInput::CaptureLost()
{
    EndDrag();
}

void TBlxNumericInput::EndDrag()
{
    SetCursor(TBlxCursor::Default);
    FLastY = -1;
}

void TBlxNumericInput::WheelTurned(bool up, unsigned)
{
    SetValue(FValue + (up ? kWheelStep : -kWheelStep));
}

std::string TBlxNumericInput::DisplayText()
{
    std::string text = BlxFloatText(FValue);
    Raise(OnGetText, *this, text, FValue);
    return text;
}

void TBlxNumericInput::Paint(TBlxCanvas& canvas)
{
    PaintBox(canvas, FHighlight ? FHighlightColor : Color().WithAlpha(255));
    std::string text = DisplayText();
    if (text.empty())
    {
        return;
    }
    if (FCenter)
    {
        canvas.DrawText(ClientRect(), text, Font(),
                        {TBlxAlignment::Center, TBlxVAlign::Center, false});
        return;
    }
    TBlxRect inset{kTextInset, 0, Width() - 2 * kTextInset, Height()};
    canvas.DrawText(inset, text, Font(), {TBlxAlignment::Left, TBlxVAlign::Center, false});
}

} // namespace tumblet
