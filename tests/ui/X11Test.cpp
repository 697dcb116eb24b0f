// Tests that need an X server (run under xvfb-run). Each skips with a message when no display
// can be opened. A second Xlib connection plays the host: it owns the parent window and reads
// the screen back.

#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxMenu.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxStyle.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"

#include "ui/X11TestSupport.h"

#include <optional>

namespace tumblet
{
namespace
{

using namespace test;
using TBlxX11Test = TBlxX11Fixture;

TEST_F(TBlxX11Test, EmbedsIntoTheHostWindowAndTakesClicks)
{
    TBlxWindow editor(TBlxWindowKind::Embedded);
    editor.SetParentNativeId(HostWindow);
    editor.SetBounds(0, 0, 712, 341);
    TBlxButton& button = editor.Add<TBlxButton>();
    button.SetBounds(20, 20, 100, 30);
    button.SetCaption("Press");
    int clicks = 0;
    button.OnClick = [&](TBlxControl&) { ++clicks; };
    ASSERT_TRUE(editor.Show());

    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(Host, Window(editor.NativeId()), &root, &parent, &children, &count));
    if (children)
    {
        XFree(children);
    }
    EXPECT_EQ(parent, HostWindow);
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            XWindowAttributes wa{};
            XGetWindowAttributes(Host, Window(editor.NativeId()), &wa);
            return wa.map_state == IsViewable && !editor.NeedsPaint();
        }));
    TBlxPoint origin = editor.ClientOriginOnScreen();
    EXPECT_EQ(origin, (TBlxPoint{kHostLeft, kHostTop}));
    PumpUntil(
        [&]
        { return ScreenPixel(origin.X + 300, origin.Y + 200) == TBlxStyle::Palette().ButtonFace; },
        1000);
    EXPECT_EQ(ScreenPixel(origin.X + 300, origin.Y + 200), TBlxStyle::Palette().ButtonFace)
        << "the back buffer reached the screen";
    TBlxPoint c = button.ClientToScreen({50, 15});
    ASSERT_TRUE(Xdotool({"mousemove", std::to_string(c.X), std::to_string(c.Y), "click", "1"}));
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    Screenshot({origin.X, origin.Y, 712, 341}, "x11/embedded_editor");
}

TEST_F(TBlxX11Test, OneConnectionIsSharedAndClosedWithTheLastWindow)
{
    TBlxApplication& app = TBlxApplication::Instance();
    ASSERT_FALSE(app.BackendRunning()) << "no window is open yet";
    {
        TBlxWindow first(TBlxWindowKind::Embedded), second(TBlxWindowKind::Embedded);
        for (TBlxWindow* w : {&first, &second})
        {
            w->SetParentNativeId(HostWindow);
            w->SetBounds(0, 0, 100, 100);
            ASSERT_TRUE(w->Show());
        }
        EXPECT_TRUE(app.BackendRunning());
        EXPECT_EQ(app.AcquirePlatform(), app.AcquirePlatform());
    }
    EXPECT_FALSE(app.BackendRunning()) << "the display closes with the last window";
}

TEST_F(TBlxX11Test, ModalDialogIsDrivenBySyntheticClicksAndKeys)
{
    TBlxWindow editor(TBlxWindowKind::Embedded);
    editor.SetParentNativeId(HostWindow);
    editor.SetBounds(0, 0, 712, 341);
    ASSERT_TRUE(editor.Show());
    PumpUntil([&] { return !editor.NeedsPaint(); });

    TBlxWindow dialog(TBlxWindowKind::Dialog);
    dialog.SetCaption("Synthetic input");
    dialog.SetBounds(0, 0, 300, 102);
    dialog.SetPopupParent(&editor);
    TBlxPoint origin = editor.ClientOriginOnScreen();
    dialog.SetPosition({origin.X + (712 - 300) / 2, origin.Y + (341 - 102) / 2});
    TBlxEdit& edit = dialog.Add<TBlxEdit>();
    edit.SetBounds(6, 23, 288, 23);
    TBlxButton& ok = dialog.Add<TBlxButton>();
    ok.SetBounds(128, 70, 80, 26);
    ok.SetCaption("OK");
    ok.SetDefault(true);
    ok.SetModalResult(TBlxModalResult::OK);
    dialog.SetActiveControl(&edit);

    // Input is sent once the dialog is up; a second timer ends a hung loop.
    TBlxTimer driver, watchdog;
    driver.SetInterval(300);
    watchdog.SetInterval(15000);
    bool sent = false;
    driver.OnTimer = [&](TBlxTimer& t)
    {
        t.SetEnabled(false);
        Screenshot({dialog.ClientOriginOnScreen().X, dialog.ClientOriginOnScreen().Y, 300, 102},
                   "x11/dialog_before_input");
        TBlxPoint e = edit.ClientToScreen({40, 11});
        TBlxPoint b = ok.ClientToScreen({40, 13});
        sent = Xdotool({"mousemove", std::to_string(e.X), std::to_string(e.Y), "click", "1", "type",
                        "--delay", "20", "Hi 57"}) &&
               Xdotool({"key", "ctrl+a", "key", "BackSpace", "type", "--delay", "20", "ok"}) &&
               Xdotool({"mousemove", std::to_string(b.X), std::to_string(b.Y), "click", "1"});
    };
    watchdog.OnTimer = [&](TBlxTimer&) { TBlxApplication::Instance().EndAllModalLoops(); };
    driver.SetEnabled(true);
    watchdog.SetEnabled(true);
    EXPECT_EQ(ShowModalUntilClosed(dialog), TBlxModalResult::OK);
    EXPECT_TRUE(sent);
    EXPECT_EQ(edit.Text(), "ok");
}

TEST_F(TBlxX11Test, MenuOpensAsAPopupAndClosesOnAnOutsideClick)
{
    TBlxWindow editor(TBlxWindowKind::Embedded);
    editor.SetParentNativeId(HostWindow);
    editor.SetBounds(0, 0, 712, 341);
    ASSERT_TRUE(editor.Show());
    PumpUntil([&] { return !editor.NeedsPaint(); });
    TBlxMenu menu;
    menu.Items().Add("First", 1);
    TBlxMenuItem& sub = menu.Items().Add("More", 2);
    sub.Add("Inner", 3);
    int chosen = 0;
    sub.Item(0).OnClick = [&](TBlxMenuItem& item) { chosen = item.Tag(); };
    TBlxTimer driver, watchdog;
    driver.SetInterval(300);
    watchdog.SetInterval(15000);
    driver.OnTimer = [&](TBlxTimer& t)
    {
        t.SetEnabled(false);
        TBlxMenuWindow& root = menu.Level(0);
        TBlxRect r = root.ItemRect(1);
        TBlxPoint p = root.ClientToScreen({r.Left + 20, r.Top + r.Height / 2});
        Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y)});
        PumpUntil([&] { return menu.LevelCount() == 2; }, 2000);
        Screenshot({root.Left(), root.Top(), 400, 120}, "x11/menu_open");
        TBlxMenuWindow& inner = menu.Level(1);
        TBlxRect ir = inner.ItemRect(0);
        TBlxPoint q = inner.ClientToScreen({ir.Left + 20, ir.Top + ir.Height / 2});
        Xdotool({"mousemove", std::to_string(q.X), std::to_string(q.Y), "click", "1"});
    };
    watchdog.OnTimer = [&](TBlxTimer&) { menu.CloseMenu(); };
    driver.SetEnabled(true);
    watchdog.SetEnabled(true);
    TBlxPoint at = editor.ClientToScreen({100, 100});
    menu.Popup(&editor, at);
    PumpUntil([&] { return !menu.IsOpen(); }, 20000);
    EXPECT_EQ(chosen, 3);

    driver.OnTimer = [&](TBlxTimer& t)
    {
        t.SetEnabled(false);
        // The bottom-right corner of the screen lies outside every window.
        Xdotool({"mousemove", "1275", "1020", "click", "1"});
    };
    driver.SetEnabled(true);
    chosen = 0;
    menu.Popup(&editor, at);
    PumpUntil([&] { return !menu.IsOpen(); }, 20000);
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(chosen, 0);
}

TEST_F(TBlxX11Test, ClipboardIsServedToAndReadFromOtherClients)
{
    TBlxWindow editor(TBlxWindowKind::Embedded);
    editor.SetParentNativeId(HostWindow);
    editor.SetBounds(0, 0, 100, 100);
    ASSERT_TRUE(editor.Show());
    TBlxApplication& app = TBlxApplication::Instance();
    app.SetClipboardText("from Tumblet \u2212 1");
    EXPECT_EQ(app.ClipboardText(), "from Tumblet \u2212 1");

    Atom clipboard = XInternAtom(Host, "CLIPBOARD", False);
    Atom utf8 = XInternAtom(Host, "UTF8_STRING", False);
    Atom prop = XInternAtom(Host, "HOST_PASTE", False);
    XConvertSelection(Host, clipboard, utf8, prop, HostWindow, CurrentTime);
    XFlush(Host);
    XEvent ev{};
    bool answered = PumpUntil(
        [&] { return XCheckTypedWindowEvent(Host, HostWindow, SelectionNotify, &ev) == True; });
    ASSERT_TRUE(answered);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(Host, HostWindow, prop, 0, 1024, True, AnyPropertyType, &type, &format, &n,
                       &after, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), n), "from Tumblet \u2212 1");
    XFree(data);

    // The host takes the clipboard and answers our request from its own thread, which sleeps
    // on its connection until the request (or the message that ends it) arrives.
    Display* other = nullptr;
    for (int attempt = 0; attempt < 5 && !other; ++attempt)
    {
        other = XOpenDisplay(nullptr);
    }
    ASSERT_NE(other, nullptr);
    Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    Atom otherClipboard = XInternAtom(other, "CLIPBOARD", False);
    XSetSelectionOwner(other, otherClipboard, owner, CurrentTime);
    XSync(other, False);
    std::thread server(
        [&]
        {
            XEvent e;
            for (XNextEvent(other, &e); e.type != ClientMessage; XNextEvent(other, &e))
            {
                if (e.type != SelectionRequest)
                {
                    continue;
                }
                const XSelectionRequestEvent& r = e.xselectionrequest;
                std::string text = "pasted";
                XChangeProperty(other, r.requestor, r.property, r.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()),
                                int(text.size()));
                XSelectionEvent reply{};
                reply.type = SelectionNotify;
                reply.requestor = r.requestor;
                reply.selection = r.selection;
                reply.target = r.target;
                reply.property = r.property;
                reply.time = r.time;
                XSendEvent(other, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
                XFlush(other);
            }
        });
    std::string pasted = app.ClipboardText();
    XClientMessageEvent done{};
    done.type = ClientMessage;
    done.window = owner;
    done.format = 32;
    XSendEvent(Host, owner, False, 0, reinterpret_cast<XEvent*>(&done));
    XFlush(Host);
    server.join();
    XDestroyWindow(other, owner);
    XCloseDisplay(other);
    EXPECT_EQ(pasted, "pasted");
}

} // namespace
} // namespace tumblet
