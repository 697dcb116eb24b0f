#pragma once

#include "ui/BlxEvents.h"
#include "ui/BlxFont.h"
#include "ui/BlxTypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tumblet
{

class TBlxCanvas;
class TBlxMenu;
class TBlxWindow;

/// The base of every control: geometry, a tree of owned children, painting, input and focus.
/// It holds no value; product controls add theirs. All members: Thread: UI.
class TBlxControl
{
public:
    TBlxControl();
    virtual ~TBlxControl();
    TBlxControl(const TBlxControl&) = delete;
    TBlxControl& operator=(const TBlxControl&) = delete;

    /// Creates a child owned by this control and returns it; it dies with its parent.
    template <typename T, typename... TArgs> T& Add(TArgs&&... args)
    {
        auto child = std::make_unique<T>(std::forward<TArgs>(args)...);
        T& result = *child;
        AdoptChild(std::move(child));
        return result;
    }
    /// Destroys a child of this control.
    void RemoveChild(TBlxControl& child);

    TBlxControl* Parent() const { return FParent; }
    /// The window this control is in (itself for a window); null while detached.
    TBlxWindow* Window() const { return FWindow; }
    int ChildCount() const { return int(FChildren.size()); }
    TBlxControl& Child(int index) const { return *FChildren[size_t(index)]; }

    /// Bounds relative to the parent's client area.
    const TBlxRect& Bounds() const { return FBounds; }
    void SetBounds(const TBlxRect& r);
    void SetBounds(int left, int top, int width, int height)
    {
        SetBounds({left, top, width, height});
    }
    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width; }
    int Height() const { return FBounds.Height; }
    TBlxRect ClientRect() const { return {0, 0, FBounds.Width, FBounds.Height}; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    /// Visible itself and all its parents.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    /// Enabled itself and all its parents.
    bool EffectivelyEnabled() const;

    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }

    /// The font: its own when set, else the parent's.
    TBlxFont Font() const;
    void SetFont(const TBlxFont& font);
    TBlxColor Color() const { return FColor; }
    void SetColor(TBlxColor color);

    TBlxCursor Cursor() const { return FCursor; }
    void SetCursor(TBlxCursor cursor) { FCursor = cursor; }

    /// Takes the keyboard focus when clicked or tabbed to.
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool tabStop) { FTabStop = tabStop; }
    bool CanFocus() const { return FTabStop && Showing() && EffectivelyEnabled(); }
    bool Focused() const;
    /// Moves the keyboard focus of its window here.
    void SetFocus();
    /// True while this control holds the mouse capture.
    bool HasCapture() const;

    /// The context menu, opened at the pointer on a right click (not owned).
    TBlxMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TBlxMenu* menu) { FPopupMenu = menu; }

    /// Marks the whole control, or a rectangle of it, for repainting.
    void Invalidate();
    void InvalidateRect(const TBlxRect& localRect);

    TBlxPoint ClientToWindow(TBlxPoint p) const;
    TBlxPoint WindowToClient(TBlxPoint p) const;
    TBlxPoint ClientToScreen(TBlxPoint p) const;
    TBlxRect BoundsInWindow() const;
    /// The deepest visible control at a point of this control's client area (this one when no
    /// child is there); null outside.
    TBlxControl* ControlAt(TBlxPoint local);

    /// Paints the control's own pixels in local coordinates; children are painted after it.
    virtual void Paint(TBlxCanvas& canvas);
    /// True when the point (local) belongs to the control: non-rectangular controls override.
    virtual bool HitTest(TBlxPoint local) const;
    /// The programmatic click (buttons, the default and cancel roles of a dialog).
    virtual void Click();

    // Input handlers; each returns true when it handled the event.
    virtual bool MouseDown(const TBlxMouseEvent& e);
    virtual bool MouseUp(const TBlxMouseEvent& e);
    virtual bool MouseMove(const TBlxMouseEvent& e);
    virtual bool MouseWheel(const TBlxWheelEvent& e);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    /// A key before any character is produced from it.
    virtual bool KeyDown(const TBlxKeyEvent& e);
    /// A character (code point, or a control code: 8 backspace, 13 enter, 27 escape, 1 to 26
    /// for Ctrl with a letter).
    virtual bool KeyPress(char32_t& ch);
    virtual void FocusIn() {}
    virtual void FocusOut() {}
    /// The capture was taken away while a button was held: cancel any drag.
    virtual void CaptureLost() {}

    /// Raises OnBeforeMouseDown; false when a handler vetoed the press.
    bool BeforeMouseDown();

    std::function<void(TBlxControl& sender, bool& Continue)> OnBeforeMouseDown;
    std::function<void(TBlxControl& sender, const TBlxMouseEvent& e)> OnMouseDown;
    std::function<void(TBlxControl& sender, const TBlxMouseEvent& e)> OnMouseUp;
    std::function<void(TBlxControl& sender)> OnClick;
    std::function<void(TBlxControl& sender)> OnDblClick;
    std::function<void(TBlxControl& sender)> OnEnter;
    std::function<void(TBlxControl& sender)> OnExit;
    std::function<void(TBlxControl& sender)> OnResize;
    /// The capture was taken away while a button was held (after CaptureLost ran).
    std::function<void(TBlxControl& sender)> OnCaptureLost;

protected:
    /// Called after the bounds changed size.
    virtual void Resized() {}
    /// Called after the position changed.
    virtual void Moved() {}
    virtual void EnabledChanged() {}
    /// Called when the control joined a window (directly or with an ancestor).
    virtual void AttachedToWindow() {}

private:
    friend class TBlxWindow;
    void AdoptChild(std::unique_ptr<TBlxControl> child);
    void SetWindowRecursive(TBlxWindow* window);
    void DestroyChildren();

    TBlxControl* FParent = nullptr;
    TBlxWindow* FWindow = nullptr;
    std::vector<std::unique_ptr<TBlxControl>> FChildren;
    TBlxRect FBounds;
    bool FVisible = true;
    bool FEnabled = true;
    bool FTabStop = false;
    int FTag = 0;
    std::string FName;
    std::optional<TBlxFont> FFont;
    TBlxColor FColor = BlxColors::Transparent;
    TBlxCursor FCursor = TBlxCursor::Default;
    TBlxMenu* FPopupMenu = nullptr;
};

} // namespace tumblet
