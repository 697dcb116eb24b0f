#pragma once

#include "controls/BlxControlEvents.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSkinned.h"
#include "ui/BlxControl.h"

#include <functional>
#include <memory>
#include <string>

namespace tumblet
{

/// A small box showing a value as text. Each move message of a drag steps the value up or
/// down, whatever distance it covers; a right click opens a menu of every integer value.
/// All members: Thread: UI.
class TBlxNumericInput : public TBlxControl, public TBlxSkinned
{
public:
    using TGetTextEvent =
        std::function<void(TBlxNumericInput& sender, std::string& text, float value)>;
    using TGetPopupGroupEvent =
        std::function<void(TBlxNumericInput& sender, int value, std::string& caption)>;
    using TPopupMenuEvent = std::function<void(TBlxNumericInput& sender, TBlxPopupMenu& menu)>;

    TBlxNumericInput();
    ~TBlxNumericInput() override;

    int MinValue() const { return FMinValue; }
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value);
    float Value() const { return FValue; }
    /// Clamped into MinValue..MaxValue; OnChange fires when it changed.
    void SetValue(float value);
    /// Value rounded to the nearest integer, halves to even.
    int ValueAsInteger() const { return int(BlxRoundEven(FValue)); }
    bool Center() const { return FCenter; }
    void SetCenter(bool center);
    bool Highlight() const { return FHighlight; }
    void SetHighlight(bool highlight);
    TBlxColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TBlxColor color);
    bool ShowPopup() const { return FShowPopup; }
    void SetShowPopup(bool show) { FShowPopup = show; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    TBlxColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TBlxColor color);

    /// Applies the skin colours and fills the value pop-up when ShowPopup is set.
    void Loaded();
    /// Empties the pop-up and fills it again from the range and the text handlers.
    void FillPopup();
    TBlxPopupMenu& Popup() const { return *FPopup; }
    /// True while a drag shows the vertical-resize pointer.
    bool DragCursorShown() const { return Cursor() == TBlxCursor::SizeNS; }
    std::string DisplayText();

    void Paint(TBlxCanvas& canvas) override;
    bool MouseDown(const TBlxMouseEvent& e) override;
    bool MouseMove(const TBlxMouseEvent& e) override;
    bool MouseUp(const TBlxMouseEvent& e) override;
    bool MouseWheel(const TBlxWheelEvent& e) override;
    void CaptureLost() override;

    std::function<void(TBlxNumericInput& sender)> OnChange;
    TGetTextEvent OnGetText;
    TGetTextEvent OnGetTextMenu;
    TGetPopupGroupEvent OnGetPopupGroup;
    /// Runs after the standard filling of the pop-up.
    TPopupMenuEvent OnPopulatePopupMenu;
    /// Runs each time the pop-up opens, after the current value was checked.
    TPopupMenuEvent OnPopupPopupMenu;
    /// The press filter (hides the base control's two-argument hook).
    TBlxBeforeMouseDownEvent OnBeforeMouseDown;

private:
    void EndDrag();

    int FMinValue = 0;
    int FMaxValue = 100;
    float FValue = 0;
    bool FCenter = true;
    bool FHighlight = false;
    TBlxColor FHighlightColor;
    bool FShowPopup = true;
    int FBorderWidth = 1;
    TBlxColor FBorderColor;
    bool FAccepted = false;
    int FLastY = -1;
    std::unique_ptr<TBlxPopupMenu> FPopup;
};

} // namespace tumblet
