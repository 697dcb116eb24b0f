#pragma once

// Support for tests that need an X server: a second Xlib connection that plays the host (it
// owns the parent window and reads the screen back), xdotool for real input, and a pump.

#include "BlxTestDriver.h" // SnapshotPath only: these tests run on the X server, not offscreen

#include "ui/BlxApplication.h"
#include "ui/BlxPixelBuffer.h"
#include "ui/BlxStyle.h"
#include "ui/IdlePump.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace tumblet::test
{

/// Runs xdotool with arguments (never through a shell); false when it cannot be started.
inline bool Xdotool(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    std::vector<std::string> all = {"xdotool"};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all)
    {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    int spawned = posix_spawnp(&pid, "xdotool", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
    {
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Pumps our connection until done() holds or the time (ms) runs out.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    TBlxApplication& app = TBlxApplication::Instance();
    int64_t end = app.NowMs() + ms;
    bool finished = done();
    while (!finished && app.NowMs() < end)
    {
        IdleFor(10);
        finished = done();
    }
    return finished;
}

/// The windows at the top of the screen that are shown, in stacking order.
inline std::vector<Window> ShownTopWindows(Display* display)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    // A window destroyed between the listing and the question fails the question only (see
    // IgnoreVanishedWindows).
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    std::vector<Window> shown;
    for (unsigned i = 0; i < count; ++i)
    {
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable)
        {
            shown.push_back(children[i]);
        }
    }
    if (children != nullptr)
    {
        XFree(children);
    }
    return shown;
}

/// Waits until `count` windows at the top of the screen are shown and they are not `before`
/// (a menu that gave way to a dialog counts as a change), woken by the server's map and unmap
/// notices. The watcher connection is only used for watching. Returns the windows shown then,
/// or nothing when ms pass first.
inline std::vector<Window> WaitForTopWindows(Display* watcher, const std::vector<Window>& before,
                                             std::size_t count, int ms = 10000)
{
    XSelectInput(watcher, DefaultRootWindow(watcher), SubstructureNotifyMask);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;)
    {
        while (XPending(watcher) > 0)
        {
            XEvent ignored;
            XNextEvent(watcher, &ignored);
        }
        std::vector<Window> shown = ShownTopWindows(watcher);
        if (shown.size() == count && shown != before)
        {
            return shown;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
        {
            return {};
        }
        pollfd fd{ConnectionNumber(watcher), POLLIN, 0};
        poll(&fd, 1, int(left.count()));
    }
}

/// Where the stand-in host window sits: away from the screen's top-left corner, where windows
/// of other tests sharing the virtual server appear.
constexpr int kHostLeft = 460;
constexpr int kHostTop = 560;

/// Our windows may vanish between a watcher listing them and asking about them: that BadWindow
/// is no fault. Any other error still ends the process, as Xlib's own handler does.
inline XErrorHandler XlibErrorHandler()
{
    // Setting none puts Xlib's own back; setting the current one again returns it.
    static const XErrorHandler xlib = []
    {
        XErrorHandler current = XSetErrorHandler(nullptr);
        return XSetErrorHandler(current);
    }();
    return xlib;
}
inline int IgnoreVanishedWindows(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow)
        return 0;
    return XlibErrorHandler()(display, error);
}

class TBlxX11Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TBlxApplication::Instance().SetBackend(TBlxBackend::Auto);
        XlibErrorHandler();
        XSetErrorHandler(IgnoreVanishedWindows);
        // Xvfb refuses a connection now and then under load: try a few times.
        for (int attempt = 0; attempt < 5 && !Host; ++attempt)
        {
            Host = XOpenDisplay(nullptr);
            if (!Host)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        if (!Host || !TBlxApplication::Instance().CanShowWindows())
        {
            GTEST_SKIP() << "No X display could be opened (run under xvfb-run): X11 tests skipped.";
        }
        if (!Xdotool({"version"}))
        {
            GTEST_SKIP() << "xdotool is not installed: X11 input tests skipped.";
        }
        TBlxStyle::Select("Carbon");
        int s = DefaultScreen(Host);
        HostWindow = XCreateSimpleWindow(Host, RootWindow(Host, s), kHostLeft, kHostTop, 800, 450,
                                         0, 0, 0x404040);
        XMapWindow(Host, HostWindow);
        XSync(Host, False);
    }
    void TearDown() override
    {
        TBlxStyle::SelectNone();
        if (Host)
        {
            if (HostWindow)
            {
                XDestroyWindow(Host, HostWindow);
            }
            XCloseDisplay(Host);
        }
    }
    /// The colour of a screen pixel as the X server has it.
    TBlxColor ScreenPixel(int x, int y)
    {
        XImage* image = XGetImage(Host, DefaultRootWindow(Host), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
        {
            return BlxColors::Transparent;
        }
        unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return TBlxColor{0xFF000000u | uint32_t(p & 0xFFFFFF)};
    }
    /// Writes the screen area as PNG.
    void Screenshot(const TBlxRect& r, const std::string& name)
    {
        XImage* image = XGetImage(Host, DefaultRootWindow(Host), r.Left, r.Top, unsigned(r.Width),
                                  unsigned(r.Height), AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        TBlxPixelBuffer png(r.Width, r.Height);
        cairo_surface_flush(png.Surface());
        unsigned char* data = cairo_image_surface_get_data(png.Surface());
        int stride = cairo_image_surface_get_stride(png.Surface());
        for (int y = 0; y < r.Height; ++y)
        {
            for (int x = 0; x < r.Width; ++x)
            {
                uint32_t p = 0xFF000000u | uint32_t(XGetPixel(image, x, y) & 0xFFFFFF);
                *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = p;
            }
        }
        cairo_surface_mark_dirty(png.Surface());
        XDestroyImage(image);
        EXPECT_TRUE(png.SavePng(SnapshotPath(name)));
    }
    Display* Host = nullptr;
    Window HostWindow = 0;
};

} // namespace tumblet::test
