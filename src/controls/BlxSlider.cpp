#include "controls/BlxSlider.h"

#include "controls/BlxValueControlColors.h"
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
constexpr TBlxColor kWindowFrame = TBlxColor::Rgb(0x64, 0x64, 0x64);
constexpr TBlxColor kActiveCaption = TBlxColor::Rgb(0x99, 0xB4, 0xD1);
constexpr TBlxColor kDefaultRandom = TBlxColor::Rgb(0xC0, 0xDC, 0xC0);
} // namespace

TBlxSlider::TBlxSlider()
    : FBorderColor(kWindowFrame), FValueColor(kActiveCaption), FRandomColor(kDefaultRandom)
{
    SetBounds(0, 0, 100, 24);
    SetTabStop(true);
    SetColor(BlxColors::White);
    SetFont({kBlxFontSegoeUI, 12, true, BlxColors::Black});
}

TBlxSlider::~TBlxSlider()
{
    SetPopupMenu(nullptr);
}

void TBlxSlider::SetMinValue(int value)
{
    FMinValue = value;
    Invalidate();
    // The value follows the new range as any other change does: clamped, with OnChange.
    SetValue(FValue);
}

void TBlxSlider::SetMaxValue(int value)
{
    FMaxValue = value;
    Invalidate();
    SetValue(FValue);
}

void TBlxSlider::SetValue(float value)
{
    value = std::clamp(value, float(FMinValue), float(std::max(FMinValue, FMaxValue)));
    if (value == FValue)
    {
        return;
    }
    FValue = value;
    Invalidate();
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

void TBlxSlider::SetBorderWidth(int width)
{
    FBorderWidth = std::max(0, width);
    Invalidate();
}

void TBlxSlider::SetBorderColor(TBlxColor color)
{
    FBorderColor = color;
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
    if (Skin() != nullptr)
    {
        SetBorderWidth(1);
        if (auto colors = TBlxValueControlColors::ForSkin(SkinName()))
        {
            SetBorderColor(colors->Border);
            SetColor(colors->Back);
            TBlxFont font = Font();
            font.Color = colors->Text;
            SetFont(font);
            SetRandomColor(colors->Random);
            SetValueColor(colors->Highlight);
        }
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
    FPopup->OnPopup = [this](TBlxMenu& menu)
    { TBlxPopupMenu::CheckMenuItemByTag(menu, int(BlxRoundEven(FValue)), nullptr, true); };
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
    if (!Focused())
    {
        SetFocus();
    }
    FAccepted = BlxRaiseBeforeMouseDown(OnBeforeMouseDown, *this, e);
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

bool TBlxSlider::MouseWheel(const TBlxWheelEvent& e)
{
    if (!BlxPointerOver(*this) || e.DeltaY == 0)
    {
        return false;
    }
    float step = e.DeltaY > 0 ? kWheelStep : -kWheelStep;
    if (e.Shift & ssAlt)
    {
        SetRandom(FRandom + step);
    }
    else
    {
        SetValue(FValue + step);
    }
    return true;
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
    canvas.FillRect(ClientRect(), Color().WithAlpha(255));
    if (b > 0)
    {
        canvas.FrameRect(ClientRect(), FBorderColor, b);
    }
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
