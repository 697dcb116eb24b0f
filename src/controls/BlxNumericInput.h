#pragma once

#include "controls/BlxValueControl.h"

#include <functional>
#include <string>

namespace tumblet
{

/// A small box showing a value as text. Each move message of a drag steps the value up or
/// down, whatever distance it covers; a right click opens a menu of every integer value.
/// All members: Thread: UI.
class TBlxNumericInput : public TBlxValueControl
{
public:
    using TGetTextEvent =
        std::function<void(TBlxNumericInput& sender, std::string& text, float value)>;
    using TGetPopupGroupEvent =
        std::function<void(TBlxNumericInput& sender, int value, std::string& caption)>;
    using TPopupMenuEvent = std::function<void(TBlxNumericInput& sender, TBlxPopupMenu& menu)>;

    TBlxNumericInput();

    bool Center() const { return FCenter; }
    void SetCenter(bool center);
    bool Highlight() const { return FHighlight; }
    void SetHighlight(bool highlight);
    TBlxColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TBlxColor color);

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
    void CaptureLost() override;

    std::function<void(TBlxNumericInput& sender)> OnChange;
    TGetTextEvent OnGetText;
    TGetTextEvent OnGetTextMenu;
    TGetPopupGroupEvent OnGetPopupGroup;
    /// Runs after the standard filling of the pop-up.
    TPopupMenuEvent OnPopulatePopupMenu;
    /// Runs each time the pop-up opens, after the current value was checked.
    TPopupMenuEvent OnPopupPopupMenu;

protected:
    void ValueChanged() override;
    void WheelTurned(bool up, unsigned shift) override;

private:
    void EndDrag();

    bool FCenter = true;
    bool FHighlight = false;
    TBlxColor FHighlightColor;
    bool FAccepted = false;
    int FLastY = -1;
};

} // namespace tumblet
