#pragma once

// The interface every backend implements (X11 and offscreen). Controls and windows never see a
// native type: they talk to these two classes only. Thread: UI.

#include "ui/BlxEvents.h"
#include "ui/BlxTypes.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tumblet
{

class TBlxWindow;

enum class TBlxWindowKind
{
    Embedded, ///< a child of a foreign native window (the host's parent)
    Dialog,   ///< a top-level window, transient for its popup parent
    Popup,    ///< override-redirect (menus)
};

struct TBlxWindowParams
{
    TBlxWindowKind Kind = TBlxWindowKind::Dialog;
    TBlxNativeId ParentId = 0;     ///< Embedded: the foreign parent
    TBlxNativeId TransientFor = 0; ///< Dialog: the window it stays above (0 for none)
    TBlxRect Bounds;               ///< screen position (parent position when embedded), size
    std::string Caption;
};

/// A neutral window-system event, addressed to one of our windows.
struct TBlxPlatformEvent
{
    enum class TKind
    {
        MouseDown,
        MouseUp,
        MouseMove,
        MouseLeave,
        Wheel,
        KeyDown,
        FocusIn,
        FocusOut,
        Expose,
        Configure,
        CloseRequest,
    };
    TKind Kind = TKind::Expose;
    TBlxMouseEvent Mouse; ///< window coordinates
    TBlxWheelEvent Wheel; ///< window coordinates
    TBlxKeyEvent Key;
    TBlxRect Rect; ///< Expose: damaged area; Configure: new bounds
};

class TBlxPlatformWindow
{
public:
    virtual ~TBlxPlatformWindow() = default;
    virtual TBlxNativeId Id() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetBounds(const TBlxRect& r) = 0;
    virtual TBlxPoint ClientOriginOnScreen() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetCursor(TBlxCursor cursor) = 0;
    /// Copies a rectangle of the window's back buffer to the screen.
    virtual void Present(cairo_surface_t* backBuffer, const TBlxRect& r) = 0;
    /// Routes all pointer and keyboard input to this window (menus); false when refused.
    virtual bool GrabInput(bool grab) = 0;
    /// Asks for the keyboard focus.
    virtual void TakeFocus() = 0;
};

class TBlxPlatform
{
public:
    virtual ~TBlxPlatform() = default;
    virtual bool IsOffscreen() const = 0;
    virtual std::unique_ptr<TBlxPlatformWindow> CreateWindow(TBlxWindow& owner,
                                                             const TBlxWindowParams& params) = 0;
    /// Delivers every pending event without blocking.
    virtual void ProcessEvents() = 0;
    /// Blocks until an event arrives or timeoutMs passed.
    virtual void WaitForEvents(int timeoutMs) = 0;
    /// A file descriptor that turns readable when events arrive, so that a host can call us at
    /// once; -1 when there is none.
    virtual int EventDescriptor() const { return -1; }
    /// A monotonic clock in milliseconds.
    virtual int64_t NowMs() = 0;
    virtual TBlxPoint PointerPos() = 0;
    /// ssLeft, ssRight and ssMiddle for the held buttons.
    virtual unsigned PointerButtons() = 0;
    virtual TBlxRect ScreenRect() = 0;
    /// The desktop's own scale (its font resolution over 96 dots per inch); 0 when it sets none.
    virtual double DesktopScale() = 0;
    /// The screen bounds of the window that has the user's attention, when known.
    virtual std::optional<TBlxRect> ActiveWindowRect() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::string ClipboardText() = 0;
};

} // namespace tumblet
