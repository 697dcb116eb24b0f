#include "controls/CustomGuiStitchedDial.h"

#include "controls/BlxControlEvents.h"
#include "controls/BlxPointer.h"
#include "ui/BlxHooks.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

namespace
{
/// Wheel delta of one notch in the units the dial's wheel rule is written in.
constexpr double kWheelDelta = 120;
/// Shift turns a drag or a wheel notch ten times finer.
constexpr double kFineFactor = 0.1;

/// x to the power e, keeping the sign of x.
double SignedPower(double x, double e)
{
    return x < 0 ? -std::pow(-x, e) : std::pow(x, e);
}
} // namespace

TCustomGuiStitchedDial::TCustomGuiStitchedDial()
{
    SetBounds(0, 0, 48, 48);
}

TCustomGuiStitchedDial::~TCustomGuiStitchedDial()
{
    ReleasePointer();
}

void TCustomGuiStitchedDial::SetMin(float value)
{
    if (value == FMin || (value > FMax && !Loading()))
    {
        return;
    }
    FMin = value;
    MinChanged();
}

void TCustomGuiStitchedDial::SetMax(float value)
{
    if (value == FMax || (value < FMin && !Loading()))
    {
        return;
    }
    FMax = value;
    MaxChanged();
}

void TCustomGuiStitchedDial::SetValue(float value)
{
    if (std::isnan(value))
    {
        return;
    }
    value = std::clamp(value, FMin, std::max(FMin, FMax));
    if (value == FValue)
    {
        return;
    }
    FValue = value;
    ValueChanged();
}

void TCustomGuiStitchedDial::SetDefaultValue(float value)
{
    value = std::clamp(value, FMin, std::max(FMin, FMax));
    if (value != FDefaultValue)
    {
        FDefaultValue = value;
        DefaultValueChanged();
    }
}

void TCustomGuiStitchedDial::SetCurveMapping(float value)
{
    if (value != FCurveMapping)
    {
        FCurveMapping = value;
        CurveMappingChanged();
    }
}

void TCustomGuiStitchedDial::CalculateRange()
{
    FRange = double(FMax) - double(FMin);
    FInverseRange = FRange != 0 ? 1 / FRange : 1;
}

void TCustomGuiStitchedDial::CurveMappingChanged()
{
    FCurveExponent = FCurveMapping == 0 ? 1 : std::pow(2.0, double(FCurveMapping));
    UpdatePosition();
}

void TCustomGuiStitchedDial::DefaultValueChanged() {}

void TCustomGuiStitchedDial::MaxChanged()
{
    FValue = std::min(FValue, FMax);
    CalculateRange();
    UpdatePosition();
}

void TCustomGuiStitchedDial::MinChanged()
{
    FValue = std::max(FValue, FMin);
    CalculateRange();
    UpdatePosition();
}

void TCustomGuiStitchedDial::ValueChanged()
{
    UpdatePosition();
    if (!Loading())
    {
        Raise(OnChange, *this);
    }
}

void TCustomGuiStitchedDial::ImageChanged()
{
    TGuiCustomStitchedControl::ImageChanged();
    UpdatePosition();
}

void TCustomGuiStitchedDial::Loaded()
{
    CalculateRange();
    CurveMappingChanged();
    TGuiCustomStitchedControl::Loaded();
}

void TCustomGuiStitchedDial::UpdatePosition()
{
    double r = (double(FValue) - double(FMin)) * FInverseRange;
    FPosition = SignedPower(r, FCurveExponent);
    SetFrameIndex(FrameForPosition(GlyphCount(), FPosition));
}

double TCustomGuiStitchedDial::ValueForPosition(double position) const
{
    return SignedPower(position, 1 / FCurveExponent) * FRange + double(FMin);
}

void TCustomGuiStitchedDial::MovePosition(double d)
{
    // A ScrollRange of 0 would turn a step into infinity or NaN and the value with it.
    if (!std::isfinite(d))
    {
        return;
    }
    double position = std::clamp(FPosition + d, 0.0, 1.0);
    if (!FWrap)
    {
        position = std::clamp(position + d, 0.0, 1.0);
    }
    else
    {
        position += d;
        while (position < 0)
        {
            position += 1;
        }
        while (position > 1)
        {
            position -= 1;
        }
    }
    SetValue(float(ValueForPosition(position)));
}

bool TCustomGuiStitchedDial::MouseDown(const TBlxMouseEvent& e)
{
    if (e.Button == TBlxMouseButton::Left)
    {
        SetFocus();
        FLastMouse = e.Pos;
    }
    else if (e.Button == TBlxMouseButton::Right && (e.Shift & ssCtrl))
    {
        SetValue(FDefaultValue);
    }
    return true;
}

bool TCustomGuiStitchedDial::MouseMove(const TBlxMouseEvent& e)
{
    if (FSkipNextMove)
    {
        FSkipNextMove = false;
        return true;
    }
    unsigned shift = BlxHeldShift(e.Shift);
    bool dragging = (shift & ssLeft) != 0;
    if (FLockCursor && dragging && !FPointerHidden)
    {
        TBlxPointer::Hide();
        FPointerHidden = true;
    }
    if (dragging)
    {
        double d = FLastMouse.Y - e.Pos.Y;
        if (shift & ssShift)
        {
            d *= kFineFactor;
        }
        MovePosition(d / FScrollRange);
    }
    if (FLockCursor && dragging)
    {
        FLastMouse = {Width() / 2, Height() / 2};
        TBlxPointer::WarpTo(ClientToScreen(FLastMouse));
        FSkipNextMove = true;
    }
    else
    {
        FLastMouse = e.Pos;
    }
    return true;
}

bool TCustomGuiStitchedDial::MouseUp(const TBlxMouseEvent& e)
{
    if (e.Button != TBlxMouseButton::Left)
    {
        return false;
    }
    FLastMouse = e.Pos;
    if (FLockCursor && FPointerHidden)
    {
        TBlxPointer::WarpTo(ClientToScreen({Width() / 2, Height() / 2}));
    }
    ReleasePointer();
    return true;
}

bool TCustomGuiStitchedDial::MouseWheel(const TBlxWheelEvent& e)
{
    double w = e.DeltaY * kWheelDelta;
    double d = FWheelStep * w / (kWheelDelta * FScrollRange);
    if (e.Shift & ssShift)
    {
        d *= kFineFactor;
    }
    MovePosition(d);
    return true;
}

void TCustomGuiStitchedDial::CaptureLost()
{
    ReleasePointer();
}

void TCustomGuiStitchedDial::ReleasePointer()
{
    if (FPointerHidden)
    {
        FPointerHidden = false;
        TBlxPointer::Show();
    }
}

} // namespace tumblet
