#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSkinned.h"
#include "controls/BlxValueControlColors.h"
#include "ui/BlxControl.h"

#include <memory>
#include <optional>

namespace tumblet
{

/// What the slider and the numeric input share: an integer range, a value clamped into it, a
/// framed box, the skin's colours and a pop-up of values. The hooks stay with each control, so
/// that their handlers get the control itself as sender. All members: Thread: UI.
class TBlxValueControl : public TBlxControl, public TBlxSkinned
{
public:
    ~TBlxValueControl() override;

    int MinValue() const { return FMinValue; }
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value);
    float Value() const { return FValue; }
    /// Clamped into MinValue..MaxValue; the control's OnChange fires when it changed.
    void SetValue(float value);
    /// Value rounded to the nearest integer, halves to even.
    int ValueAsInteger() const { return int(BlxRoundEven(FValue)); }
    bool ShowPopup() const { return FShowPopup; }
    void SetShowPopup(bool show) { FShowPopup = show; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    TBlxColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TBlxColor color);

    /// A vertical turn over the control steps its value (WheelTurned); others pass on.
    bool MouseWheel(const TBlxWheelEvent& e) override;

    /// The press filter (hides the base control's two-argument hook).
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;

protected:
    TBlxValueControl(int width, int height, bool showPopup);

    /// Runs once a new value is stored and the box invalidated; raises the control's OnChange.
    virtual void ValueChanged() = 0;
    /// One wheel step, up or down, with the event's shift state.
    virtual void WheelTurned(bool up, unsigned shift) = 0;

    /// Under a skin, takes its border, background and text colours and gives the skin's whole
    /// set back for the control's own colours; none without a skin or for an unknown one.
    std::optional<TBlxValueControlColors> ApplySkinColors();
    /// Checks the pop-up item of the current value and the submenus above it.
    void CheckCurrentValue(TBlxMenu& menu) const;
    /// Takes the focus and asks the press filter; true when the press may proceed.
    bool AcceptPress(const TBlxMouseEvent& e);
    /// Fills the box and draws its border.
    void PaintBox(TBlxCanvas& canvas, TBlxColor fill);

    int FMinValue = 0;
    int FMaxValue = 100;
    float FValue = 0;
    bool FShowPopup;
    int FBorderWidth = 1;
    TBlxColor FBorderColor;
    std::unique_ptr<TBlxPopupMenu> FPopup;
};

} // namespace tumblet
