#pragma once

// Synthetic input for windows on the offscreen backend. Tests include this header; it selects
// the offscreen backend on first use.

#include "ui/BlxApplication.h"
#include "ui/BlxControl.h"
#include "ui/BlxOffscreenPlatform.h"
#include "ui/BlxText.h"
#include "ui/BlxWindow.h"
#include "ui/IdlePump.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

namespace tumblet::test
{

inline TBlxOffscreenPlatform& Offscreen()
{
    TBlxApplication& app = TBlxApplication::Instance();
    if (!app.Offscreen())
    {
        app.SetBackend(TBlxBackend::Offscreen);
    }
    return *app.Offscreen();
}

inline unsigned ButtonBit(TBlxMouseButton b)
{
    return b == TBlxMouseButton::Left ? ssLeft : b == TBlxMouseButton::Right ? ssRight : ssMiddle;
}

/// A point of a window's logical pixels as the window system would report it: the device
/// pixel that maps back to that point at the window's scale.
inline TBlxPoint DevicePoint(const TBlxWindow& w, TBlxPoint p)
{
    return {int(std::ceil(p.X * w.Scale())), int(std::ceil(p.Y * w.Scale()))};
}

inline void SendMouse(TBlxWindow& w, TBlxPlatformEvent::TKind kind, TBlxPoint p, TBlxMouseButton b,
                      unsigned shift)
{
    TBlxOffscreenPlatform& o = Offscreen();
    unsigned buttons = o.PointerButtons();
    if (kind == TBlxPlatformEvent::TKind::MouseDown)
    {
        buttons |= ButtonBit(b);
    }
    else if (kind == TBlxPlatformEvent::TKind::MouseUp)
    {
        buttons &= ~ButtonBit(b);
    }
    TBlxPoint origin = w.NativeOriginOnScreen();
    TBlxPoint device = DevicePoint(w, p);
    o.SetPointer({origin.X + device.X, origin.Y + device.Y}, buttons);
    TBlxPlatformEvent e;
    e.Kind = kind;
    e.Mouse.Pos = device;
    e.Mouse.Button = b;
    e.Mouse.Shift = shift;
    TBlxApplication::Instance().Dispatch(w, e);
}

inline void MouseDown(TBlxWindow& w, TBlxPoint p, TBlxMouseButton b = TBlxMouseButton::Left,
                      unsigned shift = 0)
{
    SendMouse(w, TBlxPlatformEvent::TKind::MouseDown, p, b, shift);
}

inline void MouseUp(TBlxWindow& w, TBlxPoint p, TBlxMouseButton b = TBlxMouseButton::Left,
                    unsigned shift = 0)
{
    SendMouse(w, TBlxPlatformEvent::TKind::MouseUp, p, b, shift);
}

inline void MoveTo(TBlxWindow& w, TBlxPoint p, unsigned shift = 0)
{
    SendMouse(w, TBlxPlatformEvent::TKind::MouseMove, p, TBlxMouseButton::None, shift);
}

inline void ClickAt(TBlxWindow& w, TBlxPoint p, TBlxMouseButton b = TBlxMouseButton::Left)
{
    MoveTo(w, p);
    MouseDown(w, p, b);
    MouseUp(w, p, b);
}

/// The centre of a control in its window's coordinates.
inline TBlxPoint CentreOf(const TBlxControl& c)
{
    TBlxRect r = c.BoundsInWindow();
    return {r.Left + r.Width / 2, r.Top + r.Height / 2};
}

inline void ClickControl(TBlxControl& c, TBlxMouseButton b = TBlxMouseButton::Left)
{
    ClickAt(*c.Window(), CentreOf(c), b);
}

inline void DragBy(TBlxWindow& w, TBlxPoint from, int dx, int dy)
{
    MoveTo(w, from);
    MouseDown(w, from);
    TBlxPoint to{from.X + dx, from.Y + dy};
    MoveTo(w, {from.X + dx / 2, from.Y + dy / 2});
    MoveTo(w, to);
    MouseUp(w, to);
}

inline void WheelAt(TBlxWindow& w, TBlxPoint p, int deltaY, unsigned shift = 0)
{
    TBlxPlatformEvent e;
    e.Kind = TBlxPlatformEvent::TKind::Wheel;
    e.Wheel.Pos = DevicePoint(w, p);
    e.Wheel.DeltaY = deltaY;
    e.Wheel.Shift = shift;
    TBlxApplication::Instance().Dispatch(w, e);
}

inline void PressKey(TBlxWindow& w, TBlxKey key, unsigned shift = 0, char32_t ch = 0)
{
    TBlxPlatformEvent e;
    e.Kind = TBlxPlatformEvent::TKind::KeyDown;
    e.Key.Key = key;
    e.Key.Shift = shift;
    e.Key.Char = ch;
    TBlxApplication::Instance().Dispatch(w, e);
}

/// Ctrl with a letter ('a' for Ctrl+A).
inline void PressCtrl(TBlxWindow& w, char letter)
{
    PressKey(w, TBlxKey::Character, ssCtrl, char32_t(letter));
}

inline void TypeText(TBlxWindow& w, const std::string& utf8)
{
    for (char32_t c : Utf8ToUtf32(utf8))
    {
        if (c == U'\b')
        {
            PressKey(w, TBlxKey::Backspace);
        }
        else
        {
            PressKey(w, TBlxKey::Character, 0, c);
        }
    }
}

/// Queues an action for the next round of a nested loop.
inline void Post(std::function<void()> action)
{
    Offscreen().Post(
        [action]
        {
            action();
            return true;
        });
}

/// Idles as a host does until every queued action ran and the modal windows above `before` are
/// closed (one left open by the actions is cancelled for lack of input).
inline void IdleUntilSettled(TBlxWindow* before)
{
    TBlxApplication& app = TBlxApplication::Instance();
    IdleUntil(
        [&]
        {
            TBlxWindow* top = app.TopModal();
            return Offscreen().PendingActions() == 0 && (top == before || top == nullptr);
        });
}

/// The same, above the modal window open now.
inline void IdleUntilSettled()
{
    IdleUntilSettled(TBlxApplication::Instance().TopModal());
}

/// Idles as a host does until every queued action ran (a menu opened by the caller takes its
/// queued choice on those rounds).
inline void IdleWhileQueued()
{
    IdleUntil([] { return Offscreen().PendingActions() == 0; });
}

/// Queues an action that waits until a modal window is showing, then runs on it.
inline void WhenModal(std::function<void(TBlxWindow&)> action)
{
    Offscreen().Post(
        [action]
        {
            TBlxWindow* w = TBlxApplication::Instance().TopModal();
            if (!w || !w->IsShown())
            {
                return false;
            }
            action(*w);
            return true;
        });
}

/// Where snapshot images go: $TUMBLET_BUILD_DIR/snapshots, else build/snapshots.
inline std::string SnapshotPath(const std::string& name)
{
    const char* dir = std::getenv("TUMBLET_BUILD_DIR");
    std::string base = dir && *dir ? std::string(dir) : std::string("build");
    return base + "/snapshots/" + name + ".png";
}

} // namespace tumblet::test
