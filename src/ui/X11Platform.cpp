#include "ui/X11Platform.h"
#include "base/MonotonicClock.h"

#include "ui/X11Backend.h"

#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <poll.h>

namespace tumblet
{

namespace
{

constexpr int kOpenAttempts = 5;
// The font resolution of a desktop at 100 %.
constexpr double kDesktopBaseDpi = 96.0;
constexpr long kOpenRetryNs = 20 * 1000 * 1000;

XErrorHandler gPreviousHandler = nullptr;
Display* gTrapDisplay = nullptr;
int gTrapDepth = 0;
int gLastError = 0;

// The process-wide I/O error handler, shared with the host: ours while a connection of ours is
// open, handing other connections to the one it replaced.
XIOErrorHandler gPreviousIOHandler = nullptr;
Display* gOurDisplay = nullptr;

int IOErrorHandler(Display* d)
{
    // Xlib's default handler ends the process; the host must outlive our connection.
    if (d == gOurDisplay)
    {
        return 0;
    }
    return gPreviousIOHandler ? gPreviousIOHandler(d) : 0;
}

int TrapHandler(Display* d, XErrorEvent* e)
{
    if (d == gTrapDisplay)
    {
        gLastError = e->error_code;
        return 0;
    }
    return gPreviousHandler ? gPreviousHandler(d, e) : 0;
}

unsigned ShiftFromState(unsigned state)
{
    const std::pair<unsigned, unsigned> map[] = {
        {ShiftMask, ssShift},  {ControlMask, ssCtrl},  {Mod1Mask, ssAlt},
        {Button1Mask, ssLeft}, {Button3Mask, ssRight}, {Button2Mask, ssMiddle},
    };
    unsigned s = 0;
    for (auto [mask, flag] : map)
    {
        s |= (state & mask) ? flag : 0u;
    }
    return s;
}

TBlxKey KeyFromKeysym(KeySym k)
{
    switch (k)
    {
    case XK_BackSpace:
        return TBlxKey::Backspace;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return TBlxKey::Tab;
    case XK_Return:
    case XK_KP_Enter:
        return TBlxKey::Enter;
    case XK_Escape:
        return TBlxKey::Escape;
    case XK_Delete:
    case XK_KP_Delete:
        return TBlxKey::Delete;
    case XK_Insert:
    case XK_KP_Insert:
        return TBlxKey::Insert;
    case XK_Left:
    case XK_KP_Left:
        return TBlxKey::Left;
    case XK_Right:
    case XK_KP_Right:
        return TBlxKey::Right;
    case XK_Up:
    case XK_KP_Up:
        return TBlxKey::Up;
    case XK_Down:
    case XK_KP_Down:
        return TBlxKey::Down;
    case XK_Home:
    case XK_KP_Home:
        return TBlxKey::Home;
    case XK_End:
    case XK_KP_End:
        return TBlxKey::End;
    case XK_Page_Up:
    case XK_KP_Page_Up:
        return TBlxKey::PageUp;
    case XK_Page_Down:
    case XK_KP_Page_Down:
        return TBlxKey::PageDown;
    case XK_F1:
        return TBlxKey::F1;
    default:
        return TBlxKey::None;
    }
}

/// The character of a keysym when no input method is available (Latin-1 and Unicode keysyms).
char32_t CharFromKeysym(KeySym k)
{
    if ((k >= 0x20 && k <= 0x7E) || (k >= 0xA0 && k <= 0xFF))
    {
        return char32_t(k);
    }
    if ((k & 0xFF000000) == 0x01000000)
    {
        return char32_t(k & 0x00FFFFFF);
    }
    return 0;
}

} // namespace

TX11ErrorTrap::TX11ErrorTrap(Display* display) : FDisplay(display)
{
    if (gTrapDepth++ == 0)
    {
        gTrapDisplay = display;
        gLastError = 0;
        gPreviousHandler = XSetErrorHandler(TrapHandler);
    }
}

TX11ErrorTrap::~TX11ErrorTrap()
{
    if (--gTrapDepth == 0)
    {
        // Errors arrive asynchronously: collect ours before giving the handler back.
        XSync(FDisplay, False);
        XSetErrorHandler(gPreviousHandler);
        gPreviousHandler = nullptr;
        gTrapDisplay = nullptr;
    }
}

int TX11ErrorTrap::LastError()
{
    return gLastError;
}

void TX11Atoms::Load(Display* d)
{
    auto atom = [d](const char* name) { return XInternAtom(d, name, False); };
    WmProtocols = atom("WM_PROTOCOLS");
    WmDeleteWindow = atom("WM_DELETE_WINDOW");
    Clipboard = atom("CLIPBOARD");
    Utf8String = atom("UTF8_STRING");
    Targets = atom("TARGETS");
    Text = atom("TEXT");
    NetWmName = atom("_NET_WM_NAME");
    NetWmWindowType = atom("_NET_WM_WINDOW_TYPE");
    NetWmWindowTypeDialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
    NetWmWindowTypePopupMenu = atom("_NET_WM_WINDOW_TYPE_POPUP_MENU");
    NetActiveWindow = atom("_NET_ACTIVE_WINDOW");
    MotifWmHints = atom("_MOTIF_WM_HINTS");
    SelectionProperty = atom("TUMBLET_SELECTION");
}

std::shared_ptr<TBlxPlatform> CreateX11Platform()
{
    auto platform = std::make_shared<TX11Platform>();
    return platform->Ok() ? platform : nullptr;
}

TX11Platform::TX11Platform()
{
    // Our own connection, never the host's: its events, errors and lifetime stay ours. A
    // server busy with other connections refuses now and then: try a few times.
    for (int attempt = 0; attempt < kOpenAttempts && !FDisplay; ++attempt)
    {
        if (attempt > 0)
        {
            timespec pause{0, kOpenRetryNs};
            nanosleep(&pause, nullptr);
        }
        FDisplay = XOpenDisplay(nullptr);
    }
    if (!FDisplay)
    {
        return;
    }
    // Xlib ends the process when a connection breaks unless told otherwise: the host must
    // survive a server that goes away, so a broken connection only silences our windows.
    gOurDisplay = FDisplay;
    gPreviousIOHandler = XSetIOErrorHandler(IOErrorHandler);
    XSetIOErrorExitHandler(FDisplay, &TX11Platform::ConnectionLost, this);
    TX11ErrorTrap trap(FDisplay);
    FAtoms.Load(FDisplay);
    XSetLocaleModifiers("");
    FInputMethod = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    FSelectionWindow =
        XCreateSimpleWindow(FDisplay, DefaultRootWindow(FDisplay), -10, -10, 1, 1, 0, 0, 0);
}

TX11Platform::~TX11Platform()
{
    if (!FDisplay)
    {
        return;
    }
    {
        TX11ErrorTrap trap(FDisplay);
        for (auto& [shape, cursor] : FCursors)
        {
            XFreeCursor(FDisplay, cursor);
        }
        XDestroyWindow(FDisplay, FSelectionWindow);
        if (FInputMethod)
        {
            XCloseIM(FInputMethod);
        }
    }
    XCloseDisplay(FDisplay);
    // Give the handler back unless someone installed another one after us.
    XIOErrorHandler current = XSetIOErrorHandler(gPreviousIOHandler);
    if (current != IOErrorHandler)
    {
        XSetIOErrorHandler(current);
    }
    gOurDisplay = nullptr;
    gPreviousIOHandler = nullptr;
}

std::unique_ptr<TBlxPlatformWindow> TX11Platform::CreateWindow(TBlxWindow& owner,
                                                               const TBlxWindowParams& params)
{
    return std::make_unique<TX11Window>(*this, owner, params);
}

void TX11Platform::ConnectionLost(Display*, void* platform)
{
    static_cast<TX11Platform*>(platform)->FBroken = true;
}

void TX11Platform::ProcessEvents()
{
    // The idle case stays cheap: no error trap and no round trip when nothing is queued.
    if (FBroken || XPending(FDisplay) == 0)
    {
        return;
    }
    TX11ErrorTrap trap(FDisplay);
    while (!FBroken && XPending(FDisplay) > 0)
    {
        XEvent ev;
        XNextEvent(FDisplay, &ev);
        if (XFilterEvent(&ev, x11::kNone))
        {
            continue;
        }
        Dispatch(ev);
    }
}

int TX11Platform::EventDescriptor() const
{
    return FDisplay != nullptr ? ConnectionNumber(FDisplay) : -1;
}

void TX11Platform::WaitForEvents(int timeoutMs)
{
    if (FBroken)
    {
        timespec pause{0, long(std::max(0, timeoutMs)) * 1000000L};
        nanosleep(&pause, nullptr);
        return;
    }
    if (XPending(FDisplay) > 0)
    {
        return;
    }
    pollfd fd{ConnectionNumber(FDisplay), POLLIN, 0};
    poll(&fd, 1, std::max(0, timeoutMs));
}

int64_t TX11Platform::NowMs()
{
    return MonotonicMilliseconds();
}

void TX11Platform::DispatchTo(TX11Window& w, const TBlxPlatformEvent& e)
{
    TBlxApplication::Instance().Dispatch(w.Owner(), e);
}

void TX11Platform::Dispatch(XEvent& ev)
{
    switch (ev.type)
    {
    case SelectionRequest:
        return ServeSelection(ev.xselectionrequest);
    case SelectionClear:
        FOwnsClipboard = false;
        return;
    default:
        break;
    }
    auto it = FWindows.find(ev.xany.window);
    if (it == FWindows.end())
    {
        return;
    }
    TX11Window& w = *it->second;
    TBlxPlatformEvent e;
    using K = TBlxPlatformEvent::TKind;
    switch (ev.type)
    {
    case x11::kExpose:
        // The background pixmap has already put the pixels back.
        if (w.HasBackgroundPixmap())
        {
            return;
        }
        e.Kind = K::Expose;
        e.Rect = {ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height};
        return DispatchTo(w, e);
    case ButtonPress:
    case ButtonRelease:
        return TranslateButton(w, ev.xbutton, ev.type == ButtonPress);
    case MotionNotify:
        // Only the newest position matters.
        while (XCheckTypedWindowEvent(FDisplay, ev.xany.window, MotionNotify, &ev))
        {
        }
        e.Kind = K::MouseMove;
        e.Mouse.Pos = {ev.xmotion.x, ev.xmotion.y};
        e.Mouse.Shift = ShiftFromState(ev.xmotion.state);
        return DispatchTo(w, e);
    case LeaveNotify:
        e.Kind = K::MouseLeave;
        return DispatchTo(w, e);
    case x11::kKeyPress:
        return TranslateKey(w, ev.xkey);
    case x11::kFocusIn:
    case x11::kFocusOut:
        if (w.InputContext())
        {
            ev.type == x11::kFocusIn ? XSetICFocus(w.InputContext())
                                     : XUnsetICFocus(w.InputContext());
        }
        e.Kind = ev.type == x11::kFocusIn ? K::FocusIn : K::FocusOut;
        return DispatchTo(w, e);
    case MapNotify:
        // A dialog takes the keys while it is open, whoever had them (the host's window) and
        // whether or not a window manager hands them over: asked once the server shows it.
        if (w.Kind() == TBlxWindowKind::Dialog)
        {
            w.TakeFocus();
        }
        return;
    case ConfigureNotify:
    {
        e.Kind = K::Configure;
        TBlxPoint origin = w.Kind() == TBlxWindowKind::Embedded
                               ? TBlxPoint{ev.xconfigure.x, ev.xconfigure.y}
                               : w.ClientOriginOnScreen();
        e.Rect = {origin.X, origin.Y, ev.xconfigure.width, ev.xconfigure.height};
        return DispatchTo(w, e);
    }
    case ClientMessage:
        if (ev.xclient.message_type == FAtoms.WmProtocols &&
            Atom(ev.xclient.data.l[0]) == FAtoms.WmDeleteWindow)
        {
            e.Kind = K::CloseRequest;
            DispatchTo(w, e);
        }
        return;
    default:
        return;
    }
}

void TX11Platform::TranslateButton(TX11Window& w, const XButtonEvent& b, bool press)
{
    TBlxPlatformEvent e;
    using K = TBlxPlatformEvent::TKind;
    // Buttons 4 to 7 are the wheel's notches (vertical, then horizontal); they come as a press
    // and a release, and only the press counts.
    if (b.button >= 4 && b.button <= 7)
    {
        if (!press)
        {
            return;
        }
        e.Kind = K::Wheel;
        e.Wheel.Pos = {b.x, b.y};
        e.Wheel.Shift = ShiftFromState(b.state);
        e.Wheel.DeltaY = b.button == 4 ? 1 : b.button == 5 ? -1 : 0;
        e.Wheel.DeltaX = b.button == 6 ? -1 : b.button == 7 ? 1 : 0;
        return DispatchTo(w, e);
    }
    e.Kind = press ? K::MouseDown : K::MouseUp;
    e.Mouse.Pos = {b.x, b.y};
    e.Mouse.Shift = ShiftFromState(b.state);
    e.Mouse.Button = b.button == 1   ? TBlxMouseButton::Left
                     : b.button == 3 ? TBlxMouseButton::Right
                     : b.button == 2 ? TBlxMouseButton::Middle
                                     : TBlxMouseButton::None;
    if (e.Mouse.Button != TBlxMouseButton::None)
    {
        DispatchTo(w, e);
    }
}

void TX11Platform::TranslateKey(TX11Window& w, XKeyEvent& k)
{
    char buffer[64] = {};
    KeySym keysym = NoSymbol;
    int length = 0;
    if (w.InputContext())
    {
        Status status = 0;
        length =
            Xutf8LookupString(w.InputContext(), &k, buffer, sizeof buffer - 1, &keysym, &status);
        if (status == XBufferOverflow || status == XLookupNone)
        {
            length = 0;
        }
        if (status == XLookupChars)
        {
            keysym = NoSymbol;
        }
    }
    else
    {
        XLookupString(&k, nullptr, 0, &keysym, nullptr);
    }
    TBlxPlatformEvent e;
    e.Kind = TBlxPlatformEvent::TKind::KeyDown;
    e.Key.Shift = ShiftFromState(k.state);
    e.Key.Key = KeyFromKeysym(keysym);
    if (e.Key.Key != TBlxKey::None)
    {
        return DispatchTo(w, e);
    }
    e.Key.Key = TBlxKey::Character;
    // With Ctrl or Alt held the text is a control code: the key's own letter is what counts.
    if ((k.state & (ControlMask | Mod1Mask)) || length <= 0)
    {
        KeySym plain = XLookupKeysym(&k, 0);
        char32_t c = CharFromKeysym(keysym != NoSymbol ? keysym : plain);
        if (c == 0)
        {
            return;
        }
        e.Key.Char = (k.state & (ControlMask | Mod1Mask)) ? CharFromKeysym(plain) : c;
        return DispatchTo(w, e);
    }
    for (char32_t c : Utf8ToUtf32(std::string(buffer, size_t(length))))
    {
        if (c >= 32 && c != 127)
        {
            e.Key.Char = c;
            DispatchTo(w, e);
        }
    }
}

TBlxPoint TX11Platform::PointerPos()
{
    TX11ErrorTrap trap(FDisplay);
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(FDisplay, DefaultRootWindow(FDisplay), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

unsigned TX11Platform::PointerButtons()
{
    TX11ErrorTrap trap(FDisplay);
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(FDisplay, DefaultRootWindow(FDisplay), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return ShiftFromState(mask) & (ssLeft | ssRight | ssMiddle);
}

double TX11Platform::DesktopScale()
{
    // Desktops publish their scale as Xft.dpi in the resource database on the root window.
    const char* resources = XResourceManagerString(FDisplay);
    if (resources == nullptr)
    {
        return 0;
    }
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr)
    {
        return 0;
    }
    char* type = nullptr;
    XrmValue value{};
    double scale = 0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
    {
        const double dpi = std::strtod(value.addr, nullptr);
        scale = std::isfinite(dpi) && dpi > 0 ? dpi / kDesktopBaseDpi : 0;
    }
    XrmDestroyDatabase(database);
    return scale;
}

TBlxRect TX11Platform::ScreenRect()
{
    int s = DefaultScreen(FDisplay);
    return {0, 0, DisplayWidth(FDisplay, s), DisplayHeight(FDisplay, s)};
}

std::optional<TBlxRect> TX11Platform::ActiveWindowRect()
{
    TX11ErrorTrap trap(FDisplay);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDisplay, DefaultRootWindow(FDisplay), FAtoms.NetActiveWindow, 0, 1,
                           False, XA_WINDOW, &type, &format, &count, &after, &data) != Success)
    {
        return std::nullopt;
    }
    std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
    if (!data || count == 0 || format != 32)
    {
        return std::nullopt;
    }
    Window active = *reinterpret_cast<Window*>(data);
    XWindowAttributes wa{};
    int x = 0, y = 0;
    Window child = 0;
    if (!active || !XGetWindowAttributes(FDisplay, active, &wa) ||
        !XTranslateCoordinates(FDisplay, active, DefaultRootWindow(FDisplay), 0, 0, &x, &y, &child))
    {
        return std::nullopt;
    }
    return TBlxRect{x, y, wa.width, wa.height};
}

} // namespace tumblet
