#include "controls/BlxSlider.h"

#include "ui/BlxCanvas.h"
#include "ui/BlxHooks.h"
#include "ui/BlxStyle.h"

#include <algorithm>

namespace tumblet
{

namespace
{
constexpr float kWheelStep = 0.25f;
/// A fine drag moves (MaxValue - MinValue) / 25 times slower than a normal one.
constexpr double kFineDivisor = 25;

// The system colours the slider starts with.
constexpr TBlxColor kActiveCaption = TBlxColor::Rgb(0x99, 0xB4, 0xD1);
constexpr TBlxColor kDefaultRandom = TBlxColor::Rgb(0xC0, 0xDC, 0xC0);
} // namespace

TBlxSlider::TBlxSlider()
    : TBlxValueControl(100, 24, false), FValueColor(kActiveCaption), FRandomColor(kDefaultRandom)
{
}

void TBlxSlider::ValueChanged()
{
    if (FValue + FRandom > FMaxValue)
    {
        SetRandom(FMaxValue - FValue);
    }
    Raise(OnChange, *this);
}

void TBlxSlider::SetRandom(float value)
{
    value = std::max(value, 0.0f);
    if (FValue + value > FMaxValue)
    {
        value = FMaxValue - FValue;
    }
    if (value == FRandom)
    {
        return;
    }
    FRandom = value;
    Invalidate();
    Raise(OnChangeRandom, *this);
}

void TBlxSlider::SetUseRandom(bool use)
{
    FUseRandom = use;
    Invalidate();
}

void TBlxSlider::SetShowText(bool show)
{
    FShowText = show;
    Invalidate();
}

void TBlxSlider::SetValueColor(TBlxColor color)
{
    FValueColor = color;
    Invalidate();
}

void TBlxSlider::SetRandomColor(TBlxColor color)
{
    FRandomColor = color;
    Invalidate();
}

void TBlxSlider::Loaded()
{
    if (auto colors = ApplySkinColors())
    {
        SetRandomColor(colors->Random);
        SetValueColor(colors->Highlight);
    }
    if (FShowPopup && !FPopup)
    {
        BuildPopup();
    }
}

void TBlxSlider::BuildPopup()
{
    FPopup = std::make_unique<TBlxPopupMenu>();
    SetPopupMenu(FPopup.get());
    if (OnPopulatePopupMenu)
    {
        OnPopulatePopupMenu(*this, *FPopup);
        return;
    }
    FPopup->OnPopup = [this](TBlxMenu& menu) { CheckCurrentValue(menu); };
    TBlxPopupMenu::FillValueMenu(*FPopup, TBlxPopupMenu::ControlValueMenu(
                                              *this, -1, 0,
                                              [this](int v, std::string text)
                                              {
                                                  Raise(OnGetTextMenu ? OnGetTextMenu : OnGetText,
                                                        *this, text, 0.0f, float(v));
                                                  return text;
                                              }));
}

int TBlxSlider::ValueAt(int x) const
{
    int track = Width() - 2 * FBorderWidth;
    if (track <= 0)
    {
        return int(BlxRoundEven(FValue));
    }
    double pos = x;
    if (FMouseDownInfo.Fine)
    {
        double divisor = (FMaxValue - FMinValue) / kFineDivisor;
        int anchor = FMouseDownInfo.AnchorX;
        pos = divisor != 0 ? (x - anchor) / divisor + anchor : anchor;
    }
    return int(BlxRoundEven((pos - FBorderWidth) / track * FMaxValue));
}

bool TBlxSlider::MouseDown(const TBlxMouseEvent& e)
{
    FAccepted = AcceptPress(e);
    if (!FAccepted || e.Button != TBlxMouseButton::Left)
    {
        return true;
    }
    FMouseDownInfo.AnchorX = e.Pos.X;
    if (e.Pos.X < FBorderWidth - 1 || e.Pos.X > Width() - FBorderWidth - 1)
    {
        return true;
    }
    int v = ValueAt(e.Pos.X);
    if (e.Shift & ssAlt)
    {
        FMouseDownInfo.RandomDrag = true;
        SetRandom(v - FValue);
    }
    else
    {
        SetValue(float(v));
    }
    return true;
}

bool TBlxSlider::MouseMove(const TBlxMouseEvent& e)
{
    if (!FAccepted)
    {
        return true;
    }
    unsigned shift = BlxHeldShift(e.Shift);
    if ((shift & ssShift) && !FMouseDownInfo.Fine)
    {
        FMouseDownInfo.Fine = true;
        FMouseDownInfo.AnchorX = e.Pos.X;
    }
    FMouseDownInfo.Moved = true;
    if (!(shift & ssLeft))
    {
        return true;
    }
    int v = ValueAt(e.Pos.X);
    if (FMouseDownInfo.RandomDrag)
    {
        SetRandom(v - FValue);
    }
    else
    {
        SetValue(float(v));
    }
    return true;
}

bool TBlxSlider::MouseUp(const TBlxMouseEvent&)
{
    FMouseDownInfo = {};
    return true;
}

void TBlxSlider::CaptureLost()
{
    FMouseDownInfo = {};
}

void TBlxSlider::WheelTurned(bool up, unsigned shift)
{
    float step = up ? kWheelStep : -kWheelStep;
    if (shift & ssAlt)
    {
        SetRandom(FRandom + step);
    }
    else
    {
        SetValue(FValue + step);
    }
}

std::string TBlxSlider::DisplayText()
{
    std::string text = BlxFloatText(FValue);
    Raise(OnGetText, *this, text, FRandom, FValue);
    return text;
}

int TBlxSlider::BarRight(double value) const
{
    if (FMaxValue == 0)
    {
        return FBorderWidth;
    }
    int track = Width() - 2 * FBorderWidth;
    return FBorderWidth + int(BlxRoundEven(value / FMaxValue * track));
}

void TBlxSlider::Paint(TBlxCanvas& canvas)
{
    if (FPainting)
    {
        return;
    }
    FPainting = true;
    int b = FBorderWidth, h = Height();
    PaintBox(canvas, Color().WithAlpha(255));
    int valueRight = BarRight(FValue);
    canvas.FillRect({b, b, valueRight - b, h - 2 * b}, FValueColor);
    if (FUseRandom && FRandom > 0)
    {
        float r = std::min(FRandom, (FMaxValue - FMinValue) - FValue);
        if (r > 0)
        {
            int randomRight = BarRight(double(FValue) + r);
            canvas.FillRect({valueRight, b, randomRight - valueRight, h - 2 * b}, FRandomColor);
        }
    }
    if (FShowText)
    {
        std::string text = DisplayText();
        if (!text.empty())
        {
            canvas.DrawText(ClientRect(), text, Font(),
                            {TBlxAlignment::Center, TBlxVAlign::Center, false});
        }
    }
    FPainting = false;
}

} // namespace tumblet
