#include "ui/BlxButton.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

namespace tumblet
{

namespace
{

/// Corner radius of push buttons, in pixels.
constexpr double kButtonRadius = 3;

} // namespace

TBlxButton::TBlxButton()
{
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TBlxButton::SetCaption(const std::string& caption)
{
    FCaption = caption;
    Invalidate();
}

void TBlxButton::SetDefault(bool isDefault)
{
    FDefault = isDefault;
    AttachedToWindow();
    Invalidate();
}

void TBlxButton::SetCancel(bool isCancel)
{
    FCancel = isCancel;
    AttachedToWindow();
}

void TBlxButton::AttachedToWindow()
{
    TBlxWindow* w = Window();
    if (!w)
    {
        return;
    }
    if (FDefault)
    {
        w->SetDefaultControl(this);
    }
    if (FCancel)
    {
        w->SetCancelControl(this);
    }
}

void TBlxButton::Click()
{
    TBlxControl::Click();
    if (FModalResult != TBlxModalResult::None && Window())
    {
        Window()->SetModalResult(FModalResult);
    }
}

void TBlxButton::Paint(TBlxCanvas& canvas)
{
    const TBlxPalette& p = TBlxStyle::Palette();
    bool enabled = EffectivelyEnabled();
    TBlxColor face = !enabled ? p.ButtonNormal.Blend(p.ButtonFace, 0.5)
                     : Down() ? p.ButtonPressed
                     : FHot   ? p.ButtonHot
                              : p.ButtonNormal;
    TBlxRect r = ClientRect();
    canvas.FillRoundRect(r, kButtonRadius, face);
    // The default button shows the accent unless another button has the focus.
    TBlxControl* f = Window() ? Window()->FocusedControl() : nullptr;
    bool accent = enabled && (Focused() || (FDefault && dynamic_cast<TBlxButton*>(f) == nullptr));
    canvas.FrameRoundRect(r, kButtonRadius, accent ? p.FocusBorder : p.ButtonBorder,
                          accent && Focused() ? 2 : 1);
    TBlxFont font = Font();
    font.Color = !enabled ? p.DisabledText : Down() ? p.ButtonTextPressed : p.ButtonText;
    TBlxRect textRect = Down() ? r.Offset(0, 1) : r;
    canvas.DrawText(textRect, FCaption, font, {TBlxAlignment::Center, TBlxVAlign::Center, false});
}

bool TBlxButton::MouseDown(const TBlxMouseEvent& e)
{
    if (e.Button != TBlxMouseButton::Left)
    {
        return false;
    }
    FDown = true;
    FHot = true;
    Invalidate();
    return true;
}

bool TBlxButton::MouseMove(const TBlxMouseEvent& e)
{
    bool inside = ClientRect().Contains(e.Pos);
    if (inside != FHot)
    {
        FHot = inside;
        Invalidate();
    }
    return true;
}

bool TBlxButton::MouseUp(const TBlxMouseEvent& e)
{
    if (e.Button != TBlxMouseButton::Left || !FDown)
    {
        return false;
    }
    bool click = ClientRect().Contains(e.Pos);
    FDown = false;
    Invalidate();
    if (click)
    {
        Click();
    }
    return true;
}

void TBlxButton::MouseEnter()
{
    FHot = true;
    Invalidate();
}

void TBlxButton::MouseLeave()
{
    FHot = false;
    Invalidate();
}

bool TBlxButton::KeyPress(char32_t& ch)
{
    if (ch == U' ')
    {
        Click();
        return true;
    }
    return false;
}

void TBlxButton::CaptureLost()
{
    FDown = false;
    Invalidate();
}

} // namespace tumblet
