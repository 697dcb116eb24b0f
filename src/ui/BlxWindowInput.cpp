#include "ui/BlxWindow.h"

// The input side of TBlxWindow: translated events routed to the controls, with focus, capture,
// hover, double clicks, context menus and dialog keys.

#include "ui/BlxApplication.h"
#include "ui/BlxHooks.h"
#include "ui/BlxMenu.h"

#include <cctype>
#include <cstdlib>

namespace tumblet
{

namespace
{

/// Presses closer than this in time (ms) and distance (px) make a double click.
constexpr int kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;

unsigned ButtonBit(TBlxMouseButton b)
{
    switch (b)
    {
    case TBlxMouseButton::Left:
        return ssLeft;
    case TBlxMouseButton::Right:
        return ssRight;
    case TBlxMouseButton::Middle:
        return ssMiddle;
    default:
        return 0;
    }
}

/// The character a key produces: control codes as the classic edit boxes expect them.
char32_t CharFor(const TBlxKeyEvent& e)
{
    switch (e.Key)
    {
    case TBlxKey::Character:
        if ((e.Shift & ssCtrl) && e.Char < 128 && std::isalpha(int(e.Char)))
        {
            return char32_t(std::toupper(int(e.Char)) - 'A' + 1);
        }
        return (e.Shift & (ssCtrl | ssAlt)) ? 0 : e.Char;
    case TBlxKey::Backspace:
        return 8;
    case TBlxKey::Enter:
        return 13;
    case TBlxKey::Escape:
        return 27;
    default:
        return 0;
    }
}

} // namespace

void TBlxWindow::HandleEvent(const TBlxPlatformEvent& e)
{
    using K = TBlxPlatformEvent::TKind;
    switch (e.Kind)
    {
    case K::MouseDown:
        return DispatchMouseDown(LogicalMouse(e.Mouse));
    case K::MouseUp:
        return DispatchMouseUp(LogicalMouse(e.Mouse));
    case K::MouseMove:
        return DispatchMouseMove(LogicalMouse(e.Mouse));
    case K::MouseLeave:
        return UpdateHover(nullptr);
    case K::Wheel:
    {
        TBlxWheelEvent wheel = e.Wheel;
        wheel.Pos = ToLogical(wheel.Pos);
        return DispatchWheel(wheel);
    }
    case K::KeyDown:
        return DispatchKey(e.Key);
    case K::Expose:
        return ExposeRect(e.Rect);
    case K::Configure:
        return ApplyConfigure(e.Rect);
    case K::CloseRequest:
        return Close();
    case K::FocusIn:
        return Raise(OnActivate, *this);
    case K::FocusOut:
        return Raise(OnDeactivate, *this);
    }
}

void TBlxWindow::ExposeRect(const TBlxRect& r)
{
    // The back buffer still holds the pixels: copy them again instead of repainting.
    if (FPaintedOnce && FNative && FShown)
    {
        FNative->Present(FBackBuffer.Surface(), r.Intersect(ToDevice(ClientRect())));
    }
    else
    {
        InvalidateWindowRect(ToLogical(r));
    }
}

void TBlxWindow::ApplyConfigure(const TBlxRect& r)
{
    // An embedded window's size and place are its own: the host reads them and never sets
    // them, and a configure may still report a size asked for before a change of scale.
    if (FKind == TBlxWindowKind::Embedded)
    {
        return;
    }
    FApplyingConfigure = true;
    const TBlxRect logical = ToLogical(r);
    // A size that is a whole device rectangle of ours maps back to our own logical size, so a
    // fractional scale does not make the layout creep by a pixel on every configure.
    const TBlxRect own = ToDevice(ClientRect());
    const int width = r.Width == own.Width ? Width() : logical.Width;
    const int height = r.Height == own.Height ? Height() : logical.Height;
    SetBounds(TBlxRect{logical.Left, logical.Top, width, height});
    FApplyingConfigure = false;
}

TBlxMouseEvent TBlxWindow::LogicalMouse(const TBlxMouseEvent& e) const
{
    TBlxMouseEvent logical = e;
    logical.Pos = ToLogical(e.Pos);
    return logical;
}

TBlxMouseEvent TBlxWindow::ToLocal(const TBlxMouseEvent& e, const TBlxControl& c) const
{
    TBlxMouseEvent local = e;
    local.Pos = c.WindowToClient(e.Pos);
    return local;
}

int TBlxWindow::ClickCountFor(const TBlxMouseEvent& e)
{
    int64_t now = TBlxApplication::Instance().NowMs();
    bool second = e.Button == FLastPressButton && now - FLastPressTime <= kDoubleClickMs &&
                  std::abs(e.Pos.X - FLastPressPos.X) <= kDoubleClickSlop &&
                  std::abs(e.Pos.Y - FLastPressPos.Y) <= kDoubleClickSlop;
    // A third press starts a new pair.
    FLastPressTime = second ? -kDoubleClickMs * 2 : now;
    FLastPressPos = e.Pos;
    FLastPressButton = e.Button;
    return second ? 2 : 1;
}

void TBlxWindow::DispatchMouseDown(const TBlxMouseEvent& e)
{
    TBlxControl* target = FCapture ? FCapture : ControlAt(e.Pos);
    if (target && !TakesInput(target))
    {
        // The press only closes the modal form: its release goes nowhere either.
        FSwallowedButtons |= ButtonBit(e.Button);
        std::function<void()> outside = FModalPressOutside;
        if (outside)
        {
            outside();
        }
        return;
    }
    if (target)
    {
        FHeldButtons |= ButtonBit(e.Button);
    }
    else
    {
        // Only a grabbing popup hears presses outside itself: they dismiss it.
        if (FKind == TBlxWindowKind::Popup)
        {
            Raise(OnPressOutside, *this);
        }
        return;
    }
    if (!target->EffectivelyEnabled() || !target->BeforeMouseDown())
    {
        return;
    }
    if (target->CanFocus())
    {
        SetFocusedControl(target);
        if (FNative && FKind == TBlxWindowKind::Embedded)
        {
            FNative->TakeFocus();
        }
    }
    SetCapture(target);
    TBlxMouseEvent local = ToLocal(e, *target);
    local.ClickCount = ClickCountFor(e);
    local.Shift |= FHeldButtons;
    // A press may destroy the window (a control whose handler closes its form); nothing of it
    // is touched after that.
    std::shared_ptr<bool> alive = FAlive;
    target->MouseDown(local);
    if (!*alive)
    {
        return;
    }
    Raise(target->OnMouseDown, *target, local);
    if (*alive && local.ClickCount == 2)
    {
        Raise(target->OnDblClick, *target);
    }
}

void TBlxWindow::DispatchMouseUp(const TBlxMouseEvent& e)
{
    const unsigned bit = ButtonBit(e.Button);
    FHeldButtons &= ~bit;
    if (FSwallowedButtons & bit)
    {
        FSwallowedButtons &= ~bit;
        if (FHeldButtons == 0)
        {
            ReleaseCapture();
        }
        return;
    }
    TBlxControl* target = FCapture ? FCapture : ControlAt(e.Pos);
    if (!TakesInput(target))
    {
        target = nullptr;
    }
    if (FHeldButtons == 0)
    {
        ReleaseCapture();
    }
    if (target && target->EffectivelyEnabled())
    {
        TBlxMouseEvent local = ToLocal(e, *target);
        local.Shift |= FHeldButtons;
        // A click may destroy the window (a handler that closes its form).
        std::shared_ptr<bool> alive = FAlive;
        target->MouseUp(local);
        if (!*alive)
        {
            return;
        }
        Raise(target->OnMouseUp, *target, local);
        if (!*alive)
        {
            return;
        }
        if (e.Button == TBlxMouseButton::Right && target->ClientRect().Contains(local.Pos))
        {
            OpenContextMenu(*target, e.Pos);
            if (!*alive)
            {
                return;
            }
        }
    }
    if (FHeldButtons == 0)
    {
        UpdateHover(ControlAt(e.Pos));
    }
}

void TBlxWindow::OpenContextMenu(TBlxControl& target, TBlxPoint windowPos)
{
    for (TBlxControl* c = &target; c; c = c->Parent())
    {
        if (TBlxMenu* menu = c->PopupMenu())
        {
            TBlxPoint origin = ClientOriginOnScreen();
            menu->Popup(this, {origin.X + windowPos.X, origin.Y + windowPos.Y});
            return;
        }
    }
}

void TBlxWindow::DispatchMouseMove(const TBlxMouseEvent& e)
{
    if (FCapture)
    {
        TBlxControl* capture = FCapture;
        capture->MouseMove(ToLocal(e, *capture));
        // A drag shows its control's pointer over the whole window, wherever it goes.
        if (FCapture == capture && capture->Cursor() != FShownCursor && FNative)
        {
            FShownCursor = capture->Cursor();
            FNative->SetCursor(FShownCursor);
        }
        return;
    }
    TBlxControl* c = ControlAt(e.Pos);
    if (!TakesInput(c))
    {
        c = nullptr;
    }
    UpdateHover(c);
    if (c && c->EffectivelyEnabled())
    {
        c->MouseMove(ToLocal(e, *c));
    }
}

void TBlxWindow::UpdateHover(TBlxControl* control)
{
    if (control != FHover)
    {
        TBlxControl* old = FHover;
        FHover = control;
        if (old)
        {
            old->MouseLeave();
        }
        if (control && FHover == control)
        {
            control->MouseEnter();
        }
    }
    TBlxCursor cursor =
        FHover && FHover->EffectivelyEnabled() ? FHover->Cursor() : TBlxCursor::Default;
    if (cursor != FShownCursor && FNative)
    {
        FShownCursor = cursor;
        FNative->SetCursor(cursor);
    }
}

void TBlxWindow::DispatchWheel(const TBlxWheelEvent& e)
{
    TBlxControl* under = ControlAt(e.Pos);
    if (!TakesInput(under))
    {
        return;
    }
    std::shared_ptr<bool> alive = FAlive;
    for (TBlxControl* c = under; c && TakesInput(c); c = c->Parent())
    {
        TBlxWheelEvent local = e;
        local.Pos = c->WindowToClient(e.Pos);
        if (c->EffectivelyEnabled() && c->MouseWheel(local))
        {
            break;
        }
    }
    if (*alive)
    {
        Raise(OnWheelHandled, *this);
    }
}

void TBlxWindow::DispatchKey(const TBlxKeyEvent& e)
{
    TBlxControl* target = FFocus ? FFocus : FModalControl ? FModalControl : this;
    if (target->KeyDown(e))
    {
        return;
    }
    if (e.Key == TBlxKey::Tab && !(e.Shift & (ssCtrl | ssAlt)))
    {
        SelectNext(!(e.Shift & ssShift));
        return;
    }
    char32_t ch = CharFor(e);
    bool handled = false;
    if (ch != 0)
    {
        TBlxControl* charTarget = FFocus ? FFocus : FModalControl ? FModalControl : this;
        handled = charTarget->KeyPress(ch);
    }
    if (!handled && (e.Key == TBlxKey::Enter || e.Key == TBlxKey::Escape))
    {
        DialogKey(e.Key);
    }
}

} // namespace tumblet
