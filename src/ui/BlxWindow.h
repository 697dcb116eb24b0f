#pragma once

#include "ui/BlxControl.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxPlatform.h"

#include <functional>
#include <memory>
#include <string>

namespace tumblet
{

/// A window: the root of a control tree with its native window, back buffer, focus, capture
/// and modal state. The native window is created on first showing. Thread: UI.
class TBlxWindow : public TBlxControl
{
public:
    explicit TBlxWindow(TBlxWindowKind kind = TBlxWindowKind::Dialog);
    ~TBlxWindow() override;

    TBlxWindowKind Kind() const { return FKind; }
    /// Embedded windows: the foreign native parent (the host's window id).
    void SetParentNativeId(TBlxNativeId id) { FParentNativeId = id; }
    /// The window this one stays above (dialogs and menus); it also takes that window's scale.
    void SetPopupParent(TBlxWindow* parent);
    TBlxWindow* PopupParent() const { return FPopupParent; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    /// Position on the screen (relative to the native parent when embedded).
    TBlxPoint Position() const { return {Left(), Top()}; }
    void SetPosition(TBlxPoint p);
    void SetClientSize(int width, int height);
    /// The client origin in logical screen pixels (device pixels divided by the scale).
    TBlxPoint ClientOriginOnScreen() const;
    /// The client origin in device pixels, as the window system reports pointer positions.
    TBlxPoint NativeOriginOnScreen() const;
    /// Whether a point in device pixels, relative to the client origin, lies inside the window.
    bool ContainsNative(TBlxPoint p) const;
    /// The screen in logical pixels of this window's scale.
    TBlxRect LogicalScreenRect() const;

    /// Device pixels per logical pixel. Controls lay out and paint in logical pixels; the native
    /// window, the back buffer, window-system events and screen positions are device pixels.
    double Scale() const { return FScale; }
    /// Changes the scale: the native window and back buffer follow, the layout stays.
    void SetScale(double scale);
    /// A logical rectangle widened to whole device pixels.
    TBlxRect ToDevice(const TBlxRect& r) const;
    /// Centres the window on a screen rectangle; div truncates toward zero.
    void CentreOn(const TBlxRect& screenRect);

    /// Creates the native window now; false when no backend is available.
    bool CreateHandle() { return EnsureNativeWindow(); }
    /// Creates the native window if needed and shows it; false when no backend is available.
    bool Show();
    void Hide();
    bool IsShown() const { return FShown; }
    /// Shows the window modal to the other windows of ours and returns at once; `done` runs on
    /// a later round of the pump, after the window was hidden, once a modal result is set. The
    /// window may be destroyed inside `done`. False (and `done` is dropped) when it cannot show.
    bool ShowModal(std::function<void(TBlxModalResult)> done);
    bool InModalLoop() const { return FInModal; }
    /// False once the window is destroyed: lets code that runs handlers check afterwards.
    std::shared_ptr<bool> AliveFlag() const { return FAlive; }
    TBlxModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TBlxModalResult result) { FModalResult = result; }
    /// Closes a modal window with Cancel, or hides a modeless one. Raises OnClose first.
    void Close();
    TBlxNativeId NativeId() const;
    /// Routes all pointer and keyboard input here (menus); false when refused.
    bool GrabInput(bool grab);
    /// Makes a control of this window modal inside it (a form drawn over the other controls):
    /// only it takes pointer, wheel and keyboard input, Enter and Escape click its own
    /// `defaultControl` and `cancelControl`, and a press elsewhere in the window runs
    /// `pressOutside` and reaches nothing, nor does its release. Null ends it.
    void SetModalControl(TBlxControl* control, TBlxControl* defaultControl = nullptr,
                         TBlxControl* cancelControl = nullptr,
                         std::function<void()> pressOutside = {});
    TBlxControl* ModalControl() const { return FModalControl; }

    TBlxControl* FocusedControl() const { return FFocus; }
    void SetFocusedControl(TBlxControl* control);
    /// The control focused when the window is shown.
    void SetActiveControl(TBlxControl* control) { FActiveControl = control; }
    /// Asks the window system for the keyboard focus (an embedded window asks its host).
    void TakeNativeFocus();
    /// Where the mouse pointer is, in this window's logical coordinates.
    TBlxPoint PointerInWindow() const;
    /// The control under the mouse pointer, or null.
    TBlxControl* ControlUnderPointer();
    /// Gives the focus to the focusable control under the pointer, if any.
    void FocusControlUnderPointer();
    /// Moves the focus to the next (or previous) focusable control in creation order.
    void SelectNext(bool forward);
    TBlxControl* CaptureControl() const { return FCapture; }
    void SetCapture(TBlxControl* control);
    void ReleaseCapture();

    /// Dialog roles: Enter clicks the default control, Escape the cancel control.
    void SetDefaultControl(TBlxControl* control) { FDefaultControl = control; }
    void SetCancelControl(TBlxControl* control) { FCancelControl = control; }
    TBlxControl* DefaultControl() const { return FDefaultControl; }
    /// Handles Enter and Escape as dialog keys; true when a role control was clicked.
    bool DialogKey(TBlxKey key);

    /// Handles a translated window-system event (the backends and test drivers call this);
    /// its positions are device pixels.
    void HandleEvent(const TBlxPlatformEvent& e);
    void InvalidateWindowRect(const TBlxRect& r);
    bool NeedsPaint() const { return !FDamage.IsEmpty(); }
    /// Paints the damaged part into the back buffer and copies it to the screen.
    void PaintNow();
    /// Repaints everything into the back buffer now.
    void PaintAll();
    const TBlxPixelBuffer& BackBuffer() const { return FBackBuffer; }

    void Paint(TBlxCanvas& canvas) override;

    std::function<void(TBlxWindow& sender)> OnShow;
    std::function<void(TBlxWindow& sender)> OnClose;
    /// A popup holding the input grab saw a press outside itself.
    std::function<void(TBlxWindow& sender)> OnPressOutside;
    /// The window got or lost the keyboard focus of the window system.
    std::function<void(TBlxWindow& sender)> OnActivate;
    std::function<void(TBlxWindow& sender)> OnDeactivate;
    /// A wheel message reached the window, after the controls had it.
    std::function<void(TBlxWindow& sender)> OnWheelHandled;

protected:
    void Resized() override;
    void Moved() override;

private:
    /// Ends a press in progress: its control loses the capture and the held buttons are
    /// forgotten. Its release will not come (the window hides, or a modal window took the input).
    void CancelPress();
    friend class TBlxControl;
    friend class TBlxApplication;
    /// Hides the window and runs its completion once its modal result is set; false otherwise.
    bool FinishModal();
    void ControlDestroyed(TBlxControl& control);
    /// False for a control outside the modal control while one is set (and for null then).
    bool TakesInput(const TBlxControl* control) const;
    void ControlHidden(TBlxControl& control);
    bool EnsureNativeWindow();
    void PaintTree(TBlxControl& control, TBlxCanvas& canvas, const TBlxRect& damage);
    void DispatchMouseDown(const TBlxMouseEvent& e);
    void DispatchMouseUp(const TBlxMouseEvent& e);
    void DispatchMouseMove(const TBlxMouseEvent& e);
    void DispatchWheel(const TBlxWheelEvent& e);
    void DispatchKey(const TBlxKeyEvent& e);
    void UpdateHover(TBlxControl* control);
    void OpenContextMenu(TBlxControl& target, TBlxPoint windowPos);
    void ExposeRect(const TBlxRect& r);
    void ApplyConfigure(const TBlxRect& r);
    TBlxMouseEvent LogicalMouse(const TBlxMouseEvent& e) const;
    TBlxMouseEvent ToLocal(const TBlxMouseEvent& e, const TBlxControl& c) const;
    int ClickCountFor(const TBlxMouseEvent& e);

    TBlxRect ToLogical(const TBlxRect& deviceRect) const;
    TBlxPoint ToLogical(TBlxPoint devicePoint) const;

    TBlxWindowKind FKind;
    double FScale = 1.0;
    TBlxNativeId FParentNativeId = 0;
    TBlxWindow* FPopupParent = nullptr;
    std::string FCaption;
    std::shared_ptr<TBlxPlatform> FPlatform;
    std::unique_ptr<TBlxPlatformWindow> FNative;
    TBlxPixelBuffer FBackBuffer;
    TBlxRect FDamage;
    bool FShown = false;
    bool FPaintedOnce = false;
    bool FApplyingConfigure = false;
    bool FInModal = false;
    TBlxModalResult FModalResult = TBlxModalResult::None;
    std::function<void(TBlxModalResult)> FModalDone;
    TBlxControl* FFocus = nullptr;
    TBlxControl* FActiveControl = nullptr;
    TBlxControl* FCapture = nullptr;
    TBlxControl* FHover = nullptr;
    TBlxControl* FDefaultControl = nullptr;
    TBlxControl* FCancelControl = nullptr;
    TBlxControl* FModalControl = nullptr;
    TBlxControl* FModalDefault = nullptr;
    TBlxControl* FModalCancel = nullptr;
    std::function<void()> FModalPressOutside;
    TBlxCursor FShownCursor = TBlxCursor::Default;
    unsigned FHeldButtons = 0;
    /// Buttons whose release is dropped: their press closed, or ended, a modal control.
    unsigned FSwallowedButtons = 0;
    int64_t FLastPressTime = -1000000;
    TBlxPoint FLastPressPos;
    TBlxMouseButton FLastPressButton = TBlxMouseButton::None;
    std::shared_ptr<bool> FAlive;
};

} // namespace tumblet
