#pragma once

#include "controls/GuiCustomStitchedControl.h"

#include <functional>

namespace tumblet
{

/// A rotary knob drawn from a stitched strip: a 32-bit float value in Min..Max, turned by a
/// vertical drag or the wheel. A step of the position is applied twice (see MovePosition), so a
/// drag of ScrollRange / 2 pixels sweeps the whole range. All members: Thread: UI.
class TCustomGuiStitchedDial : public TGuiCustomStitchedControl
{
public:
    TCustomGuiStitchedDial();
    ~TCustomGuiStitchedDial() override;

    float Min() const { return FMin; }
    /// Refused (outside loading) when it would put Min above Max.
    void SetMin(float value);
    float Max() const { return FMax; }
    void SetMax(float value);
    float Value() const { return FValue; }
    /// Clamped into Min..Max; OnChange fires when the stored value changed.
    void SetValue(float value);
    float DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(float value);
    float CurveMapping() const { return FCurveMapping; }
    void SetCurveMapping(float value);
    /// Drag scale in pixels.
    float ScrollRange() const { return FScrollRange; }
    void SetScrollRange(float value) { FScrollRange = value; }
    float WheelStep() const { return FWheelStep; }
    void SetWheelStep(float value) { FWheelStep = value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool wrap) { FWrap = wrap; }
    bool LockCursor() const { return FLockCursor; }
    void SetLockCursor(bool lock) { FLockCursor = lock; }

    /// Normalised position 0..1 of Value.
    double Position() const { return FPosition; }
    /// Moves the position by d (twice, as the dial has always done) and sets the value from it.
    void MovePosition(double d);
    TBlxPoint LastMousePoint() const { return FLastMouse; }

    void Loaded() override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    bool MouseWheel(const TBlxWheelEvent& e) override;
    void CaptureLost() override;

    std::function<void(TCustomGuiStitchedDial& sender)> OnChange;

protected:
    virtual void CalculateRange();
    virtual void CurveMappingChanged();
    virtual void DefaultValueChanged();
    virtual void MaxChanged();
    virtual void MinChanged();
    virtual void ValueChanged();
    void ImageChanged() override;

private:
    void UpdatePosition();
    double ValueForPosition(double position) const;
    void ReleasePointer();

    float FMin = 0;
    float FMax = 100;
    float FValue = 0;
    float FDefaultValue = 0;
    float FCurveMapping = 0;
    float FScrollRange = 400;
    float FWheelStep = 1;
    bool FWrap = false;
    bool FLockCursor = false;
    double FRange = 100;
    double FInverseRange = 0.01;
    double FCurveExponent = 1;
    double FPosition = 0;
    TBlxPoint FLastMouse;
    bool FSkipNextMove = false;
    bool FPointerHidden = false;
};

} // namespace tumblet
