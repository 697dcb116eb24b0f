#include "ui/X11Backend.h"

namespace tumblet
{

namespace
{

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask | StructureNotifyMask;

/// The Motif hints that ask the window manager for a frame without title-bar buttons.
struct TMotifHints
{
    unsigned long Flags, Functions, Decorations;
    long InputMode;
    unsigned long State;
};
constexpr unsigned long kMotifFlagFunctions = 1;   // the Functions field is valid
constexpr unsigned long kMotifFlagDecorations = 2; // the Decorations field is valid
constexpr unsigned long kMotifFuncMove = 4;
constexpr unsigned long kMotifDecorBorder = 2;
constexpr unsigned long kMotifDecorTitle = 8;

} // namespace

TX11Window::TX11Window(TX11Platform& platform, TBlxWindow& owner, const TBlxWindowParams& params)
    : FPlatform(platform), FOwner(owner), FKind(params.Kind), FBounds(params.Bounds)
{
    Display* d = platform.GetDisplay();
    TX11ErrorTrap trap(d);
    int screen = DefaultScreen(d);
    Window parent = params.Kind == TBlxWindowKind::Embedded && params.ParentId
                        ? Window(params.ParentId)
                        : RootWindow(d, screen);
    XSetWindowAttributes attrs{};
    attrs.event_mask = kEventMask;
    attrs.override_redirect = params.Kind == TBlxWindowKind::Popup ? True : False;
    attrs.save_under = params.Kind == TBlxWindowKind::Popup ? True : False;
    attrs.background_pixmap = x11::kNone;
    unsigned long mask = CWEventMask | CWOverrideRedirect | CWSaveUnder | CWBackPixmap;
    FWindow =
        XCreateWindow(d, parent, FBounds.Left, FBounds.Top, unsigned(std::max(1, FBounds.Width)),
                      unsigned(std::max(1, FBounds.Height)), 0, CopyFromParent, InputOutput,
                      CopyFromParent, mask, &attrs);
    if (params.Kind == TBlxWindowKind::Dialog)
    {
        SetDialogProperties(params.TransientFor);
    }
    else if (params.Kind == TBlxWindowKind::Popup)
    {
        Atom type = platform.Atoms().NetWmWindowTypePopupMenu;
        XChangeProperty(d, FWindow, platform.Atoms().NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
    }
    CreateInputContext();
    SetCaption(params.Caption);
    platform.Register(FWindow, this);
}

void TX11Window::SetDialogProperties(TBlxNativeId transientFor)
{
    Display* d = FPlatform.GetDisplay();
    const TX11Atoms& a = FPlatform.Atoms();
    Atom protocols[] = {a.WmDeleteWindow};
    XSetWMProtocols(d, FWindow, protocols, 1);
    if (transientFor)
    {
        XSetTransientForHint(d, FWindow, Window(transientFor));
    }
    Atom type = a.NetWmWindowTypeDialog;
    XChangeProperty(d, FWindow, a.NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    // A fixed frame with a title and no title-bar buttons; a close request of the window
    // manager (WM_DELETE_WINDOW) still cancels the dialog.
    TMotifHints hints{kMotifFlagFunctions | kMotifFlagDecorations, kMotifFuncMove,
                      kMotifDecorBorder | kMotifDecorTitle, 0, 0};
    XChangeProperty(d, FWindow, a.MotifWmHints, a.MotifWmHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
    SetFixedSizeHints(FBounds);
}

void TX11Window::CreateInputContext()
{
    if (!FPlatform.InputMethod())
    {
        return;
    }
    FInputContext =
        XCreateIC(FPlatform.InputMethod(), XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                  XNClientWindow, FWindow, XNFocusWindow, FWindow, nullptr);
    if (FInputContext)
    {
        // The input method may need events of its own (composition keys).
        long filter = 0;
        XGetICValues(FInputContext, XNFilterEvents, &filter, nullptr);
        XSelectInput(FPlatform.GetDisplay(), FWindow, kEventMask | filter);
    }
}

TX11Window::~TX11Window()
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    FPlatform.Unregister(FWindow);
    if (FGrabbed)
    {
        GrabInput(false);
    }
    if (FInputContext)
    {
        XDestroyIC(FInputContext);
    }
    FreePixmap();
    // The host may already have destroyed its parent window, and ours with it: the trap
    // swallows the BadWindow.
    XDestroyWindow(d, FWindow);
}

void TX11Window::SetFixedSizeHints(const TBlxRect& r)
{
    XSizeHints* hints = XAllocSizeHints();
    if (!hints)
    {
        return;
    }
    hints->flags = PPosition | USPosition | PMinSize | PMaxSize;
    hints->x = r.Left;
    hints->y = r.Top;
    hints->min_width = hints->max_width = std::max(1, r.Width);
    hints->min_height = hints->max_height = std::max(1, r.Height);
    XSetWMNormalHints(FPlatform.GetDisplay(), FWindow, hints);
    XFree(hints);
}

void TX11Window::Show()
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    XMapRaised(d, FWindow);
    if (FKind == TBlxWindowKind::Dialog)
    {
        // Some window managers place new windows themselves; ask again once mapped.
        XMoveWindow(d, FWindow, FBounds.Left, FBounds.Top);
    }
    XFlush(d);
}

void TX11Window::Hide()
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    if (FGrabbed)
    {
        GrabInput(false);
    }
    XUnmapWindow(d, FWindow);
    XFlush(d);
}

void TX11Window::SetBounds(const TBlxRect& r)
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    FBounds = r;
    if (FKind == TBlxWindowKind::Dialog)
    {
        SetFixedSizeHints(r);
    }
    XMoveResizeWindow(d, FWindow, r.Left, r.Top, unsigned(std::max(1, r.Width)),
                      unsigned(std::max(1, r.Height)));
    XFlush(d);
}

TBlxPoint TX11Window::ClientOriginOnScreen() const
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(d, FWindow, DefaultRootWindow(d), 0, 0, &x, &y, &child))
    {
        return {FBounds.Left, FBounds.Top};
    }
    return {x, y};
}

void TX11Window::SetCaption(const std::string& caption)
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    XStoreName(d, FWindow, caption.c_str());
    XChangeProperty(d, FWindow, FPlatform.Atoms().NetWmName, FPlatform.Atoms().Utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(caption.data()),
                    int(caption.size()));
}

void TX11Window::SetCursor(TBlxCursor cursor)
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    XDefineCursor(d, FWindow, FPlatform.CursorFor(cursor));
    XFlush(d);
}

void TX11Window::FreePixmap()
{
    if (FPixmapSurface)
    {
        cairo_surface_destroy(FPixmapSurface);
        FPixmapSurface = nullptr;
    }
    if (FPixmap)
    {
        XFreePixmap(FPlatform.GetDisplay(), FPixmap);
        FPixmap = 0;
    }
}

bool TX11Window::EnsurePixmap()
{
    TBlxSize size{std::max(1, FBounds.Width), std::max(1, FBounds.Height)};
    if (FPixmap && size == FPixmapSize)
    {
        return true;
    }
    Display* d = FPlatform.GetDisplay();
    XWindowAttributes wa{};
    if (!XGetWindowAttributes(d, FWindow, &wa))
    {
        return false;
    }
    FreePixmap();
    FPixmap =
        XCreatePixmap(d, FWindow, unsigned(size.Width), unsigned(size.Height), unsigned(wa.depth));
    FPixmapSurface = cairo_xlib_surface_create(d, FPixmap, wa.visual, size.Width, size.Height);
    FPixmapSize = size;
    // The pixmap is the window's background: whatever covers the window and goes away, the
    // server puts these pixels back at once, without waiting for the host's next idle call.
    XSetWindowBackgroundPixmap(d, FWindow, FPixmap);
    return true;
}

void TX11Window::Present(cairo_surface_t* backBuffer, const TBlxRect& r)
{
    Display* d = FPlatform.GetDisplay();
    if (FPlatform.Broken())
    {
        return;
    }
    TX11ErrorTrap trap(d);
    if (!EnsurePixmap())
    {
        return;
    }
    cairo_t* cr = cairo_create(FPixmapSurface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, backBuffer, 0, 0);
    cairo_rectangle(cr, r.Left, r.Top, r.Width, r.Height);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(FPixmapSurface);
    XClearArea(d, FWindow, r.Left, r.Top, unsigned(std::max(0, r.Width)),
               unsigned(std::max(0, r.Height)), False);
    XFlush(d);
}

bool TX11Window::GrabInput(bool grab)
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    if (!grab)
    {
        if (FGrabbed)
        {
            XUngrabPointer(d, CurrentTime);
            XUngrabKeyboard(d, CurrentTime);
        }
        FGrabbed = false;
        XFlush(d);
        return true;
    }
    unsigned mask =
        ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
    XGrabKeyboard(d, FWindow, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(d, FWindow, True, mask, GrabModeAsync, GrabModeAsync, x11::kNone,
                               x11::kNone, CurrentTime);
    FGrabbed = pointer == GrabSuccess;
    if (!FGrabbed)
    {
        XUngrabKeyboard(d, CurrentTime);
    }
    return FGrabbed;
}

void TX11Window::TakeFocus()
{
    Display* d = FPlatform.GetDisplay();
    TX11ErrorTrap trap(d);
    XSetInputFocus(d, FWindow, RevertToParent, CurrentTime);
}

Cursor TX11Platform::CursorFor(TBlxCursor c)
{
    auto it = FCursors.find(c);
    if (it != FCursors.end())
    {
        return it->second;
    }
    unsigned shape = c == TBlxCursor::IBeam    ? XC_xterm
                     : c == TBlxCursor::Hand   ? XC_hand2
                     : c == TBlxCursor::SizeWE ? XC_sb_h_double_arrow
                     : c == TBlxCursor::SizeNS ? XC_sb_v_double_arrow
                     : c == TBlxCursor::Wait   ? XC_watch
                                               : XC_left_ptr;
    Cursor cursor = XCreateFontCursor(FDisplay, shape);
    FCursors[c] = cursor;
    return cursor;
}

} // namespace tumblet
