// The editor of the built Tumblet.so on a real X server (xvfb): a stand-in host window, the
// editor opcodes through the exported entry, real input through xdotool, pixels read back from
// the server. Skips without a display.

#include "support/TestHost.h"
#include "ui/X11TestSupport.h"

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>

namespace tumblet
{
namespace
{

using namespace test;

constexpr std::int32_t kGate = 5;
// Where dialGate sits in the editor: panMain (3, 45) + panControls (158, 9) + (241, 38).
constexpr TBlxRect kGateDial{402, 92, 48, 48};

class EditorX11Test : public TBlxX11Fixture
{
protected:
    void SetUp() override
    {
        TBlxX11Fixture::SetUp();
        if (IsSkipped())
            return;
        Plugin.LoadAndOpen();
        ASSERT_NE(Plugin.Effect(), nullptr);
    }
    void TearDown() override
    {
        if (Plugin.Effect() != nullptr)
            Plugin.Close();
        TBlxX11Fixture::TearDown();
    }
    bool Open()
    {
        return Plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(HostWindow)) == 1;
    }
    void Idle(int calls = 1)
    {
        for (int i = 0; i < calls; ++i)
            Plugin.Dispatch(effEditIdle);
    }
    /// Idle calls until done() holds, as a host's 30 Hz timer would make them.
    bool IdleUntil(const std::function<bool()>& done, int ms = 5000)
    {
        for (int waited = 0; waited < ms; waited += 20)
        {
            Idle();
            XSync(Host, False);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    int EditorChildren()
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(Host, HostWindow, &root, &parent, &children, &count);
        if (children != nullptr)
            XFree(children);
        return int(count);
    }
    std::vector<TBlxColor> Pixels(const TBlxRect& r)
    {
        XSync(Host, False);
        std::vector<TBlxColor> out;
        XImage* image = XGetImage(Host, HostWindow, r.Left, r.Top, unsigned(r.Width),
                                  unsigned(r.Height), AllPlanes, ZPixmap);
        if (image == nullptr)
            return out;
        for (int y = 0; y < r.Height; ++y)
            for (int x = 0; x < r.Width; ++x)
                out.push_back({0xFF000000u | uint32_t(XGetPixel(image, x, y) & 0xFFFFFF)});
        XDestroyImage(image);
        return out;
    }
    static int Differences(const std::vector<TBlxColor>& a, const std::vector<TBlxColor>& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            n += a[i] == b[i] ? 0 : 1;
        return n;
    }
    TBlxPoint OnScreen(int x, int y) const { return {kHostLeft + x, kHostTop + y}; }
    void MoveTo(TBlxPoint p) { Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y)}); }
    float Gate() { return Plugin.Effect()->getParameter(Plugin.Effect(), kGate); }

    TTestHost Plugin;
};

TEST_F(EditorX11Test, OpensPaintedIntoTheHostWindowAndAnswersItsSize)
{
    ERect* rect = nullptr;
    EXPECT_EQ(Plugin.Dispatch(effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 0);
    EXPECT_EQ(rect->bottom, 0);

    ASSERT_TRUE(Open());
    EXPECT_EQ(EditorChildren(), 1);
    EXPECT_EQ(Plugin.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->right, 712);
    EXPECT_EQ(rect->bottom, 341);
    // Painted before any idle call: the server shows the window's own pixels.
    const TBlxColor hostGrey{0xFF404040};
    std::vector<TBlxColor> corner = Pixels({0, 0, 712, 341});
    int own = 0;
    for (TBlxColor c : corner)
        own += c == hostGrey ? 0 : 1;
    EXPECT_GT(own, 712 * 341 / 2);
    Screenshot({kHostLeft, kHostTop, 712, 341}, "editor/x11_open");

    Plugin.Dispatch(effEditClose);
    EXPECT_EQ(EditorChildren(), 0);
    EXPECT_EQ(Plugin.Dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect->right, 712);
    EXPECT_EQ(rect->bottom, 341);
}

TEST_F(EditorX11Test, HostChangeRedrawsTheDialAfterOneIdleCall)
{
    ASSERT_TRUE(Open());
    Idle(3);
    std::vector<TBlxColor> before = Pixels(kGateDial);
    Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.9f);
    Idle();
    EXPECT_GT(Differences(before, Pixels(kGateDial)), 20);
}

TEST_F(EditorX11Test, CtrlClickResetsAndDragTurnsTheDial)
{
    ASSERT_TRUE(Open());
    Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.3f);
    Idle(3);
    TBlxPoint centre = OnScreen(kGateDial.Left + 24, kGateDial.Top + 24);
    MoveTo(centre);
    Xdotool({"keydown", "ctrl"});
    Xdotool({"click", "1"});
    Xdotool({"keyup", "ctrl"});
    // Gate's default is 100 of 0..200.
    EXPECT_TRUE(IdleUntil([&] { return std::fabs(Gate() - 0.5f) < 1e-6f; })) << Gate();

    Plugin.ClearRecords();
    Xdotool({"mousedown", "1"});
    for (int step = 1; step <= 6; ++step)
        MoveTo({centre.X, centre.Y - 10 * step});
    EXPECT_TRUE(IdleUntil([&] { return Gate() > 0.6f; })) << Gate();
    Xdotool({"mouseup", "1"});
    Idle(3);
    EXPECT_EQ(Plugin.CountCalls(audioMasterBeginEdit), 1u);
    EXPECT_EQ(Plugin.CountCalls(audioMasterEndEdit), 1u);
}

TEST_F(EditorX11Test, WheelTurnsTheDialUnderThePointer)
{
    ASSERT_TRUE(Open());
    Idle(3);
    const float before = Gate();
    MoveTo(OnScreen(kGateDial.Left + 24, kGateDial.Top + 24));
    Xdotool({"click", "4"});
    EXPECT_TRUE(IdleUntil([&] { return Gate() > before; })) << Gate();
}

TEST_F(EditorX11Test, ModuleDestroyedWithTheEditorOpenTakesItsWindowAlong)
{
    ASSERT_TRUE(Open());
    Idle(2);
    // A second open replaces the first window.
    ASSERT_TRUE(Open());
    Idle(2);
    EXPECT_EQ(EditorChildren(), 1);
    Plugin.Close();
    XSync(Host, False);
    EXPECT_EQ(EditorChildren(), 0);
}

TEST_F(EditorX11Test, ReopensUnderAnotherSkin)
{
    ASSERT_TRUE(Open());
    Idle(2);
    std::vector<TBlxColor> first = Pixels({0, 0, 712, 341});
    Plugin.Dispatch(effEditClose);
    Plugin.Close();

    // The settings file names the skin an editor opens with.
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    std::string folder = std::string(home) + "/Documents/Brindlex/Tumblet";
    std::filesystem::create_directories(folder);
    {
        std::ofstream ini(folder + "/Settings.ini");
        ini << "[Config]\nStyle=3\nLowestOctave=-2\n";
    }
    TTestHost second;
    second.LoadAndOpen();
    ASSERT_EQ(second.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(HostWindow)), 1);
    second.Dispatch(effEditIdle);
    EXPECT_GT(Differences(first, Pixels({0, 0, 712, 341})), 712 * 341 / 4);
    second.Dispatch(effEditClose);
    second.Close();
    std::filesystem::remove(folder + "/Settings.ini");
}

// A server that goes away while the editor is open must not take the host with it: Xlib ends
// the process on a broken connection unless the editor tells it otherwise.
TEST_F(EditorX11Test, ServerThatGoesAwayLeavesTheHostRunning)
{
    const char* display = ":87";
    std::vector<std::string> args = {"Xvfb",       display,     "-screen", "0",
                                     "800x600x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t server = 0;
    if (posix_spawnp(&server, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0)
        GTEST_SKIP() << "Xvfb cannot be started";
    Display* other = nullptr;
    for (int attempt = 0; attempt < 100 && other == nullptr; ++attempt)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        other = XOpenDisplay(display);
    }
    ASSERT_NE(other, nullptr);
    // The stand-in host survives the server's end as well: only the editor is under test.
    XIOErrorHandler hostHandler = XSetIOErrorHandler([](Display*) { return 0; });
    XSetIOErrorExitHandler(
        other, [](Display*, void*) {}, nullptr);
    Window parent = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 712, 341, 0, 0, 0);
    XMapWindow(other, parent);
    XSync(other, False);

    // Editors of one process share one connection, opened by the first editor.
    const std::string previous = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", display, 1);
    ASSERT_EQ(Plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    setenv("DISPLAY", previous.c_str(), 1);
    Idle(2);
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    Idle(5);
    Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.7f);
    Idle(5);
    Plugin.Dispatch(effEditClose);
    // The next editor opens on the working server again.
    EXPECT_TRUE(Open());
    Plugin.Dispatch(effEditClose);
    XCloseDisplay(other);
    XSetIOErrorHandler(hostHandler);
}

} // namespace
} // namespace tumblet
