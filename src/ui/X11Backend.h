#pragma once

// Private to the X11 backend's .cpp files: the only header that includes Xlib. Nothing outside
// X11Platform.cpp, X11Window.cpp and X11Clipboard.cpp includes it.

// Every header of ours the backend needs comes before Xlib, whose macros collide with names
// of ours (KeyPress, FocusIn, FocusOut, Expose, None).
#include "ui/BlxApplication.h"
#include "ui/BlxPlatform.h"
#include "ui/BlxText.h"
#include "ui/BlxWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <cairo-xlib.h>

namespace tumblet::x11
{
constexpr int kKeyPress = KeyPress;
constexpr int kFocusIn = FocusIn;
constexpr int kFocusOut = FocusOut;
constexpr int kExpose = Expose;
constexpr long kNone = None;
} // namespace tumblet::x11

#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Expose
#undef None

#include <map>
#include <memory>
#include <string>

namespace tumblet
{

class TX11Platform;

/// Installs our X error handler for the duration of our own calls and restores the previous
/// one afterwards; errors of our connection are recorded, others go to the previous handler.
class TX11ErrorTrap
{
public:
    explicit TX11ErrorTrap(Display* display);
    ~TX11ErrorTrap();
    TX11ErrorTrap(const TX11ErrorTrap&) = delete;
    TX11ErrorTrap& operator=(const TX11ErrorTrap&) = delete;
    /// The last error code seen on our connection since the outermost trap began (0: none).
    static int LastError();

private:
    Display* FDisplay;
};

struct TX11Atoms
{
    Atom WmProtocols, WmDeleteWindow, Clipboard, Utf8String, Targets, Text, NetWmName,
        NetWmWindowType, NetWmWindowTypeDialog, NetWmWindowTypePopupMenu, NetActiveWindow,
        MotifWmHints, SelectionProperty;
    void Load(Display* d);
};

class TX11Window : public TBlxPlatformWindow
{
public:
    TX11Window(TX11Platform& platform, TBlxWindow& owner, const TBlxWindowParams& params);
    ~TX11Window() override;

    TBlxNativeId Id() const override { return FWindow; }
    void Show() override;
    void Hide() override;
    void SetBounds(const TBlxRect& r) override;
    TBlxPoint ClientOriginOnScreen() const override;
    void SetCaption(const std::string& caption) override;
    void SetCursor(TBlxCursor cursor) override;
    void Present(cairo_surface_t* backBuffer, const TBlxRect& r) override;
    bool GrabInput(bool grab) override;
    void TakeFocus() override;

    TBlxWindow& Owner() const { return FOwner; }
    /// True once the window shows a server-side copy of its pixels: the server then repaints
    /// exposed parts itself.
    bool HasBackgroundPixmap() const { return FPixmap != 0; }
    XIC InputContext() const { return FInputContext; }
    TBlxWindowKind Kind() const { return FKind; }

private:
    void SetFixedSizeHints(const TBlxRect& r);
    void SetDialogProperties(TBlxNativeId transientFor);
    void CreateInputContext();
    bool EnsurePixmap();
    void FreePixmap();

    TX11Platform& FPlatform;
    TBlxWindow& FOwner;
    TBlxWindowKind FKind;
    Window FWindow = 0;
    XIC FInputContext = nullptr;
    /// The window's background: a server-side copy of the back buffer.
    Pixmap FPixmap = 0;
    cairo_surface_t* FPixmapSurface = nullptr;
    TBlxSize FPixmapSize;
    TBlxRect FBounds;
    bool FGrabbed = false;
};

class TX11Platform : public TBlxPlatform
{
public:
    /// Opens the display; check Ok() afterwards.
    TX11Platform();
    ~TX11Platform() override;
    bool Ok() const { return FDisplay != nullptr; }

    bool IsOffscreen() const override { return false; }
    std::unique_ptr<TBlxPlatformWindow> CreateWindow(TBlxWindow& owner,
                                                     const TBlxWindowParams& params) override;
    void ProcessEvents() override;
    void WaitForEvents(int timeoutMs) override;
    int EventDescriptor() const override;
    int64_t NowMs() override;
    TBlxPoint PointerPos() override;
    unsigned PointerButtons() override;
    TBlxRect ScreenRect() override;
    double DesktopScale() override;
    std::optional<TBlxRect> ActiveWindowRect() override;
    void SetClipboardText(const std::string& text) override;
    std::string ClipboardText() override;

    Display* GetDisplay() const { return FDisplay; }
    /// True once the connection to the server broke; nothing is sent or read afterwards.
    bool Broken() const { return FBroken; }
    const TX11Atoms& Atoms() const { return FAtoms; }
    XIM InputMethod() const { return FInputMethod; }
    Cursor CursorFor(TBlxCursor c);
    void Register(Window w, TX11Window* window) { FWindows[w] = window; }
    void Unregister(Window w) { FWindows.erase(w); }

private:
    void Dispatch(XEvent& ev);
    void DispatchTo(TX11Window& w, const TBlxPlatformEvent& e);
    void TranslateButton(TX11Window& w, const XButtonEvent& b, bool press);
    void TranslateKey(TX11Window& w, XKeyEvent& k);
    void ServeSelection(const XSelectionRequestEvent& req);

    static void ConnectionLost(Display* display, void* platform);

    Display* FDisplay = nullptr;
    bool FBroken = false;
    XIM FInputMethod = nullptr;
    TX11Atoms FAtoms{};
    Window FSelectionWindow = 0;
    std::string FClipboard;
    bool FOwnsClipboard = false;
    std::map<Window, TX11Window*> FWindows;
    std::map<TBlxCursor, Cursor> FCursors;
};

} // namespace tumblet
