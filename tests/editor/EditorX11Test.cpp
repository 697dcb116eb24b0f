// The editor of the built Tumblet.so on a real X server (xvfb): a stand-in host window, the
// editor opcodes through the exported entry, real input through xdotool, pixels read back from
// the server. Skips without a display.

#include "support/TestHome.h"
#include "support/TestHost.h"
#include "ui/X11TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace tumblet
{
namespace
{

using namespace test;

constexpr std::int32_t kGate = 5;
// Where dialGate sits in the editor: panMain (3, 45) + panControls (158, 9) + (241, 38).
constexpr TBlxRect kGateDial{402, 92, 48, 48};
// Where the presets browser draws "Load Preset", over the heading bar's presets button.
constexpr TBlxRect kBrowserCaption{306, 22, 100, 19};

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
    /// Opens the editor, and a second connection to watch our top-level windows with.
    Display* OpenWatched()
    {
        if (!Open())
            return nullptr;
        Idle(3);
        return XOpenDisplay(nullptr);
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
    /// The pixels of a rectangle of the host window, read through `display` (the host's
    /// connection unless another thread reads them).
    std::vector<TBlxColor> Pixels(const TBlxRect& r, Display* display = nullptr)
    {
        if (display == nullptr)
            display = Host;
        XSync(display, False);
        std::vector<TBlxColor> out;
        XImage* image = XGetImage(display, HostWindow, r.Left, r.Top, unsigned(r.Width),
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
    /// Waits until the place of the presets browser's caption looks other than `shot` (the
    /// browser opened or closed), then takes the new look into `shot`. With `idle` it makes the
    /// host's idle calls itself; otherwise another thread does and `display` is this thread's.
    bool BrowserToggled(std::vector<TBlxColor>& shot, bool idle, Display* display = nullptr)
    {
        // Far below the count of the caption's text pixels, far above a stray pixel.
        constexpr int kChangedPixels = 50;
        for (int waited = 0; waited < 10000; waited += 20)
        {
            if (idle)
                Idle();
            std::vector<TBlxColor> now = Pixels(kBrowserCaption, display);
            if (Differences(now, shot) > kChangedPixels)
            {
                // Once more, so that a paint still under way is not taken as the new look.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                if (idle)
                    Idle();
                shot = Pixels(kBrowserCaption, display);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    TBlxPoint OnScreen(int x, int y) const { return {kHostLeft + x, kHostTop + y}; }
    void MoveTo(TBlxPoint p) { Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y)}); }
    float Gate() { return Plugin.Effect()->getParameter(Plugin.Effect(), kGate); }
    /// The presets folder with an "Aaa" preset in it, to save over.
    static std::filesystem::path PresetsHoldingAaa()
    {
        const std::filesystem::path presets =
            std::filesystem::path(std::getenv("HOME")) / "Documents/Brindlex/Tumblet/Presets";
        std::filesystem::create_directories(presets);
        std::ofstream(presets / "Aaa.brindlexp") << "old";
        return presets;
    }

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

/// The size of the editor's own window inside the host's window.
TBlxSize EditorWindowSize(Display* display, Window hostWindow)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, hostWindow, &root, &parent, &children, &count);
    TBlxSize size;
    XWindowAttributes a{};
    if (count > 0 && XGetWindowAttributes(display, children[count - 1], &a))
        size = {a.width, a.height};
    if (children != nullptr)
        XFree(children);
    return size;
}

// Where the editor's size comes from: the user's choice in Settings.ini, else the host's
// content-scale call, else the desktop's Xft.dpi, else 100 %; each snapped to a size offered.
struct TScaleSourceRow
{
    const char* Name;
    int UserPercent; ///< EditorSize in Settings.ini; 0 for "Automatic"
    float HostScale; ///< sent with 'PreS' before the editor opens; 0 for none
    int DesktopDpi;  ///< Xft.dpi on the server; 0 for none
    TBlxSize Expected;
};

class EditorScaleX11Test : public EditorX11Test,
                           public ::testing::WithParamInterface<TScaleSourceRow>
{
protected:
    void TearDown() override
    {
        if (Host != nullptr)
        {
            XDeleteProperty(Host, DefaultRootWindow(Host), XA_RESOURCE_MANAGER);
            XSync(Host, False);
        }
        std::filesystem::remove(SettingsFolder() + "/Settings.ini");
        EditorX11Test::TearDown();
    }
    static std::string SettingsFolder()
    {
        return std::string(std::getenv("HOME")) + "/Documents/Brindlex/Tumblet";
    }
};

TEST_P(EditorScaleX11Test, OpensAtTheSizeOfTheFirstSourceThatSaysOne)
{
    const TScaleSourceRow& row = GetParam();
    // A fresh instance reads the settings and the desktop as a new session would.
    Plugin.Close();
    std::filesystem::create_directories(SettingsFolder());
    std::ofstream(SettingsFolder() + "/Settings.ini")
        << "[Config]\nStyle=0\nEditorSize=" << row.UserPercent << "\n";
    if (row.DesktopDpi > 0)
    {
        const std::string resources = "Xft.dpi:\t" + std::to_string(row.DesktopDpi) + "\n";
        XChangeProperty(Host, DefaultRootWindow(Host), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        int(resources.size()));
        XSync(Host, False);
    }
    ASSERT_NE(Plugin.LoadAndOpen(), nullptr);
    EXPECT_EQ(Plugin.Dispatch(effCanDo, 0, 0, const_cast<char*>("supportsViewDpiScaling")), 1);
    if (row.HostScale > 0)
    {
        EXPECT_EQ(Plugin.Dispatch(effVendorSpecific, FourCC('P', 'r', 'e', 'S'),
                                  FourCC('A', 'e', 'C', 's'), nullptr, row.HostScale),
                  1);
    }
    ASSERT_TRUE(Open());
    ERect* rect = nullptr;
    EXPECT_EQ(Plugin.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ((TBlxSize{rect->right, rect->bottom}), row.Expected);
    XSync(Host, False);
    EXPECT_EQ(EditorWindowSize(Host, HostWindow), row.Expected);
    Plugin.Dispatch(effEditClose);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, EditorScaleX11Test,
    ::testing::Values(TScaleSourceRow{"Nothing", 0, 0, 0, {712, 341}},
                      TScaleSourceRow{"Desktop", 0, 0, 192, {1424, 682}},
                      TScaleSourceRow{"DesktopSnapped", 0, 0, 120, {890, 427}},
                      TScaleSourceRow{"HostOverDesktop", 0, 1.5f, 192, {1068, 512}},
                      TScaleSourceRow{"HostSnapped", 0, 1.3f, 0, {890, 427}},
                      TScaleSourceRow{"HostBelowTheSmallest", 0, 0.5f, 0, {712, 341}},
                      TScaleSourceRow{"UserOverHost", 175, 2.0f, 192, {1246, 597}},
                      TScaleSourceRow{"UserOverDesktop", 300, 0, 96, {2136, 1023}},
                      TScaleSourceRow{"UserHundredOverHost", 100, 3.0f, 0, {712, 341}}),
    [](const auto& info) { return std::string(info.param.Name); });

// A scale the host sends while the editor is open resizes it at the next idle call, and asks
// the host to resize its window when the host says it can.
TEST_F(EditorX11Test, AScaleWhileOpenResizesTheEditorAndAsksAHostThatCan)
{
    for (const bool hostCanSize : {true, false})
    {
        SCOPED_TRACE(hostCanSize ? "host resizes" : "host cannot resize");
        Plugin.CanDos =
            hostCanSize ? std::vector<std::string>{"sizeWindow"} : std::vector<std::string>{};
        ASSERT_NE(Plugin.Dispatch(effVendorSpecific, FourCC('P', 'r', 'e', 'S'),
                                  FourCC('A', 'e', 'C', 's'), nullptr, 1.0f),
                  0);
        ASSERT_TRUE(Open());
        Idle();
        XSync(Host, False);
        EXPECT_EQ(EditorWindowSize(Host, HostWindow), (TBlxSize{712, 341}));
        Plugin.ClearRecords();
        EXPECT_EQ(Plugin.Dispatch(effVendorSpecific, FourCC('P', 'r', 'e', 'S'),
                                  FourCC('A', 'e', 'C', 's'), nullptr, 2.0f),
                  1);
        Idle();
        std::vector<THostCall> resizes;
        for (const THostCall& call : Plugin.Calls)
            if (call.Opcode == audioMasterSizeWindow)
                resizes.push_back(call);
        ASSERT_EQ(resizes.size(), hostCanSize ? 1u : 0u);
        if (hostCanSize)
        {
            EXPECT_EQ(resizes[0].Index, 1424);
            EXPECT_EQ(resizes[0].Value, 682);
        }
        ERect* rect = nullptr;
        Plugin.Dispatch(effEditGetRect, 0, 0, &rect);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ((TBlxSize{rect->right, rect->bottom}), (TBlxSize{1424, 682}));
        EXPECT_TRUE(IdleUntil(
            [&] {
                return EditorWindowSize(Host, HostWindow) == TBlxSize{1424, 682};
            }));
        Plugin.Dispatch(effEditClose);
    }
}

// Where the main menu's items lie in the editor: the menu drops below btnMenu (6, 34); its
// entries are 22 pixels high after a 3-pixel frame, its separators 9.
constexpr int kMenuItemX = 6 + 60;
constexpr int kSavePresetY = 34 + 3 + 22 + 9 + 22 + 11;
constexpr int kOpenUserGuideY = 34 + 3 + 22 * 9 + 9 * 4 + 11;

// Where the other main-menu items lie (as kSavePresetY).
constexpr int kMidiSetCCY = 34 + 3 + 22 * 4 + 9 * 2 + 11;
// The Rate list button and the Velocity Fixed slider, inside panMain (3, 45).
constexpr TBlxPoint kRateButton{3 + 8 + 68, 45 + 28 + 12};
constexpr TBlxPoint kVelocityFixedSlider{3 + 157 + 86, 45 + 260 + 12};
constexpr std::int32_t kRate = 0;
constexpr std::int32_t kVelocityFixed = 7;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double kLongestIdleMs = 500; // instrumented builds run several times slower
#else
constexpr double kLongestIdleMs = 50;
#endif

// The menu, the save dialog and the presets browser of the real Tumblet.so, driven by real
// input while the host idles.
TEST_F(EditorX11Test, MenuSavesAPresetTheBrowserLoadsItAndTheGuideOpens)
{
    namespace fs = std::filesystem;
    const fs::path settings = fs::path(std::getenv("HOME")) / "Documents/Brindlex/Tumblet";
    const fs::path presets = settings / "Presets";
    RemoveTestFolder(presets);
    fs::create_directories(settings);
    const fs::path guide = settings / "Tumblet User Guide.pdf";
    std::ofstream(guide) << "%PDF-1.4\n";
    // xdg-open is replaced by a script that records what it was asked to open.
    const fs::path bin = settings / "bin", record = settings / "opened.txt";
    fs::create_directories(bin);
    fs::remove(record);
    std::ofstream(bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":" + path).c_str(), 1);

    ASSERT_TRUE(Open());
    Idle(3);
    Display* watcher = XOpenDisplay(nullptr);
    ASSERT_NE(watcher, nullptr);
    std::vector<Window> shown = ShownTopWindows(watcher);
    const std::size_t base = shown.size();
    std::atomic<bool> finished{false};
    std::atomic<int> failedStep{0};
    std::atomic<int> step{0};
    std::atomic<float> nextGate{-1.0f};
    const auto click = [&](int x, int y)
    {
        const TBlxPoint p = OnScreen(x, y);
        Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y), "click", "1"});
    };
    // Waits until `extra` of our windows other than the ones shown before are above the root.
    const auto waitFor = [&](std::size_t extra)
    {
        std::vector<Window> now = WaitForTopWindows(watcher, shown, base + extra);
        if (!now.empty())
        {
            shown = now;
            return true;
        }
        if (failedStep == 0)
            failedStep = step.load();
        // Escape closes what is open; keys reach the window under the pointer.
        const TBlxPoint centre = OnScreen(356, 170);
        Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y), "key", "Escape"});
        return false;
    };
    const auto save = [&](const char* name)
    {
        click(19, 21);
        waitFor(1);
        click(kMenuItemX, kSavePresetY);
        waitFor(1);
        // Without a window manager the keys go to the window under the pointer: the dialog,
        // centred on the editor.
        const TBlxPoint centre = OnScreen(356, 170);
        Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y)});
        Xdotool({"key", "ctrl+a"});
        Xdotool({"type", "--delay", "20", name});
        Xdotool({"key", "Return"});
        waitFor(0);
    };
    // The main thread, back from its idle call, sets Gate before the next step.
    const auto handOver = [&](float gate)
    {
        nextGate = gate;
        for (int waited = 0; nextGate.load() >= 0.0f && waited < 10000; waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (nextGate.load() >= 0.0f && failedStep == 0)
            failedStep = step.load();
    };
    std::thread driver(
        [&]
        {
            step = 1;
            save("Aaa");
            // Wait for the main thread to change Gate before the second save.
            handOver(0.3f);
            step = 2;
            save("Night Run");
            handOver(0.6f);
            // The browser opens inside the editor with the current preset selected; OK loads it.
            step = 3;
            std::vector<TBlxColor> caption = Pixels(kBrowserCaption, watcher);
            const auto toggle = [&](int x, int y)
            {
                click(x, y);
                if (!BrowserToggled(caption, false, watcher) && failedStep == 0)
                    failedStep = step.load();
            };
            toggle(356, 21);
            toggle(16 + 537, 16 + 286);
            // A click on the editor beside the browser closes it.
            step = 4;
            toggle(356, 21);
            toggle(704, 335);
            // The guide, from the menu.
            step = 5;
            click(19, 21);
            waitFor(1);
            click(kMenuItemX, kOpenUserGuideY);
            waitFor(0);
            finished = true;
        });
    Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.9f);
    for (int waited = 0; !finished && waited < 120000; waited += 20)
    {
        Idle();
        const float gate = nextGate.load();
        if (gate >= 0.0f)
        {
            Plugin.Effect()->setParameter(Plugin.Effect(), kGate, gate);
            nextGate = -1.0f;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    driver.join();
    XCloseDisplay(watcher);
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(finished);
    EXPECT_EQ(failedStep.load(), 0);
    EXPECT_TRUE(fs::exists(presets / "Aaa.brindlexp"));
    EXPECT_TRUE(fs::exists(presets / "Night Run.brindlexp"));
    // "Night Run", not the first entry, was selected and loaded.
    EXPECT_NEAR(Gate(), 0.3f, 1e-3f);
    std::ifstream in(record);
    std::string opened((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(opened, guide.string());
    Plugin.Dispatch(effEditClose);
    RemoveTestFolder(settings);
}

// The presets browser is drawn inside the editor and grabs nothing: another client's window
// gets its click while the host's idle calls pause, a press on the editor beside the browser
// closes it and reaches nothing, and its context menu and delete question take real input.
TEST_F(EditorX11Test, TheBrowserInsideTheEditorLeavesOtherClientsTheirClicks)
{
    namespace fs = std::filesystem;
    const fs::path presets = fs::path(std::getenv("HOME")) / "Documents/Brindlex/Tumblet/Presets";
    RemoveTestFolder(presets);
    fs::create_directories(presets);
    for (const char* name : {"Aaa.brindlexp", "Bbb.brindlexp"})
        std::ofstream(presets / name) << "x";
    Display* watcher = OpenWatched();
    ASSERT_NE(watcher, nullptr);
    const std::size_t base = ShownTopWindows(watcher).size();
    XSelectInput(Host, HostWindow, ButtonPressMask);
    const auto click = [](TBlxPoint p, const char* button) {
        Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y), "click", button});
    };
    std::vector<TBlxColor> caption = Pixels(kBrowserCaption);
    click(OnScreen(356, 21), "1");
    ASSERT_TRUE(BrowserToggled(caption, true)) << "the browser did not open";
    Screenshot({kHostLeft, kHostTop, 712, 341}, "editor/x11_presets_browser");

    // The host's idle calls pause for a second; the host's own window beside the editor still
    // gets a click, and the browser stays open.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    click(OnScreen(760, 420), "1");
    XSync(Host, False);
    XEvent press;
    EXPECT_TRUE(XCheckWindowEvent(Host, HostWindow, ButtonPressMask, &press));
    Idle(3);
    EXPECT_LT(Differences(Pixels(kBrowserCaption), caption), 10);

    // The context menu opens at the pointer over the first entry; "Delete" is its second item,
    // and Return answers the question with Yes.
    const TBlxPoint entry = OnScreen(16 + 1 + 12 + 20, 16 + 1 + 36 + 10);
    click(entry, "3");
    std::vector<Window> menu;
    EXPECT_TRUE(IdleUntil(
        [&]
        {
            menu = ShownTopWindows(watcher);
            return menu.size() == base + 1;
        }));
    click({entry.X + 60, entry.Y + 3 + 22 + 11}, "1");
    EXPECT_TRUE(IdleUntil(
        [&]
        {
            const std::vector<Window> now = ShownTopWindows(watcher);
            return now.size() == base + 1 && now != menu;
        }))
        << "no question";
    Xdotool({"key", "Return"});
    EXPECT_TRUE(IdleUntil([&] { return ShownTopWindows(watcher).size() == base; }));
    EXPECT_FALSE(fs::exists(presets / "Aaa.brindlexp"));
    EXPECT_TRUE(fs::exists(presets / "Bbb.brindlexp"));

    // A click on the main menu's button beside the browser closes the browser only.
    click(OnScreen(10, 21), "1");
    EXPECT_TRUE(BrowserToggled(caption, true)) << "the browser stayed open";
    Idle(5);
    EXPECT_EQ(ShownTopWindows(watcher).size(), base) << "the click reached the menu button";

    // Escape closes it too.
    click(OnScreen(356, 21), "1");
    ASSERT_TRUE(BrowserToggled(caption, true)) << "the browser did not open again";
    Xdotool({"key", "Escape"});
    EXPECT_TRUE(BrowserToggled(caption, true)) << "Escape left the browser open";
    XCloseDisplay(watcher);
    Plugin.Dispatch(effEditClose);
    RemoveTestFolder(presets);
}

// Hosts such as Ardour create instances on one thread and run every editor on another: the
// editor's dialogs belong to the thread that opened it. Saving over an existing name asks, and
// Yes overwrites the file; MIDI Set CC asks for its number.
TEST_F(EditorX11Test, DialogsBelongToTheThreadThatOpenedTheEditor)
{
    namespace fs = std::filesystem;
    const fs::path presets = PresetsHoldingAaa();
    Plugin.Close();
    std::thread([&] { Plugin.LoadAndOpen(); }).join();
    ASSERT_NE(Plugin.Effect(), nullptr);
    Display* watcher = OpenWatched();
    ASSERT_NE(watcher, nullptr);
    const int base = int(ShownTopWindows(watcher).size());
    std::atomic<bool> finished{false};
    std::atomic<int> failedStep{0};
    const auto waitFor = [&](int extra, int step)
    {
        for (int waited = 0; waited < 10000; waited += 50)
        {
            if (int(ShownTopWindows(watcher).size()) == base + extra)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (failedStep == 0)
            failedStep = step;
        Xdotool({"key", "Escape"});
    };
    const TBlxPoint centre = OnScreen(356, 170);
    std::thread driver(
        [&]
        {
            const TBlxPoint menu = OnScreen(19, 21), item = OnScreen(kMenuItemX, kSavePresetY);
            Xdotool({"mousemove", std::to_string(menu.X), std::to_string(menu.Y), "click", "1"});
            waitFor(1, 1);
            Xdotool({"mousemove", std::to_string(item.X), std::to_string(item.Y), "click", "1"});
            waitFor(1, 2);
            // Without a window manager the keys go to the window under the pointer: the dialog,
            // and then the question, centred on the editor.
            Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y)});
            Xdotool({"key", "ctrl+a"});
            Xdotool({"type", "--delay", "20", "Aaa"});
            Xdotool({"key", "Return"});
            waitFor(1, 3);
            Xdotool({"key", "Return"});
            waitFor(0, 4);
            // MIDI Set CC, then the dial it is for: its dialog takes the number.
            const TBlxPoint setCC = OnScreen(kMenuItemX, kMidiSetCCY);
            const TBlxPoint dial = OnScreen(kGateDial.Left + 24, kGateDial.Top + 24);
            Xdotool({"mousemove", std::to_string(menu.X), std::to_string(menu.Y), "click", "1"});
            waitFor(1, 5);
            Xdotool({"mousemove", std::to_string(setCC.X), std::to_string(setCC.Y), "click", "1"});
            waitFor(0, 6);
            Xdotool({"mousemove", std::to_string(dial.X), std::to_string(dial.Y), "click", "1"});
            waitFor(1, 7);
            Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y)});
            Xdotool({"key", "ctrl+a", "type", "21"});
            Xdotool({"key", "Return"});
            waitFor(0, 8);
            finished = true;
        });
    for (int waited = 0; !finished && waited < 60000; waited += 20)
    {
        Idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    driver.join();
    XCloseDisplay(watcher);
    EXPECT_TRUE(finished);
    EXPECT_EQ(failedStep.load(), 0);
    EXPECT_GT(fs::file_size(presets / "Aaa.brindlexp"), 3u);
    Plugin.SendEvents({{0, 0xB0, 21, 127}});
    Plugin.Process(64);
    EXPECT_NEAR(Gate(), 1.0f, 1e-3f) << "controller 21 moves Gate";
    Plugin.Dispatch(effEditClose);
    RemoveTestFolder(presets);
}

// Every pop-up of the real Tumblet.so while the stand-in host idles every 20 ms: the idle calls
// go on while it is open (a nested loop would hold one until the window closed), none takes
// long, and what XTest chooses acts once the window is gone.
TEST_F(EditorX11Test, EveryPopUpLeavesTheHostIdlingAndActsAfterwards)
{
    namespace fs = std::filesystem;
    const fs::path presets = PresetsHoldingAaa();
    ASSERT_TRUE(Open());
    Idle(3);
    Display* counter = XOpenDisplay(nullptr);
    ASSERT_NE(counter, nullptr);
    // Each row starts from these; a window that shows before the driver looks is still news.
    const std::vector<Window> baseline = ShownTopWindows(counter);
    XCloseDisplay(counter);

    std::atomic<int> idles{0};
    std::mutex failuresLock;
    std::vector<std::string> failures;
    // The driver's side: XTest input, and waits on the server and on the host's idle calls.
    struct TDriver
    {
        Display* Watcher = nullptr;
        std::vector<Window> Shown;
        std::size_t Base = 0;
        std::function<void(const std::string&)> Fail;
        std::atomic<int>* Idles = nullptr;

        void Opened(std::size_t extra, const char* what)
        {
            std::vector<Window> now = WaitForTopWindows(Watcher, Shown, Base + extra);
            if (now.empty())
                Fail(std::string("no change to ") + std::to_string(extra) + " windows: " + what);
            else
                Shown = now;
        }
        void IdlesGoOn()
        {
            const int seen = Idles->load();
            for (int waited = 0; Idles->load() < seen + 5 && waited < 5000; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (Idles->load() < seen + 5)
                Fail("the host's idle calls stopped while the window was open");
        }
    };
    const auto click = [&](int x, int y, const char* button = "1")
    {
        const TBlxPoint p = OnScreen(x, y);
        Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y), "click", button});
    };
    // Without a window manager keys go to the window under the pointer: dialogs and the
    // browser are centred on the editor.
    const auto keys = [&](std::vector<std::string> args)
    {
        const TBlxPoint centre = OnScreen(356, 170);
        MoveTo(centre);
        Xdotool(args);
    };
    const auto fromMainMenu = [&](TDriver& d, int itemY)
    {
        click(19, 21);
        d.Opened(1, "main menu");
        click(kMenuItemX, itemY);
    };
    // The open menu holds the keyboard.
    const auto fromMainMenuByKeys = [&](TDriver& d, const char* key)
    {
        click(19, 21);
        d.Opened(1, "main menu");
        Xdotool({"key", key, "key", "Return"});
    };
    const auto sendCC = [&](std::uint8_t cc, std::uint8_t value)
    {
        Plugin.SendEvents({{0, 0xB0, cc, value}});
        Plugin.Process(64);
    };
    float valueBefore = 0;
    struct TRow
    {
        const char* Name;
        std::function<void()> Before;      // host thread
        std::function<void(TDriver&)> Use; // driver thread
        std::function<void()> Acted;       // host thread, after a later idle
    };
    const std::vector<TRow> rows = {
        {"main menu chooses MIDI Set CC", nullptr,
         [&](TDriver& d)
         {
             click(19, 21);
             d.Opened(1, "main menu");
             d.IdlesGoOn();
             click(kMenuItemX, kMidiSetCCY);
             d.Opened(0, "menu closed");
         },
         nullptr},
        {"MIDI Set CC", [&] { Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.3f); },
         [&](TDriver& d)
         {
             click(kGateDial.Left + 24, kGateDial.Top + 24);
             d.Opened(1, "MIDI Set CC dialog");
             d.IdlesGoOn();
             keys({"key", "ctrl+a", "type", "20"});
             keys({"key", "Return"});
             d.Opened(0, "dialog closed");
         },
         [&]
         {
             EXPECT_NEAR(Gate(), 0.3f, 1e-3f) << "the click chose the dial, not a value";
             sendCC(20, 127);
             EXPECT_NEAR(Gate(), 1.0f, 1e-3f) << "controller 20 moves Gate";
         }},
        {"list button menu",
         [&] { valueBefore = Plugin.Effect()->getParameter(Plugin.Effect(), kRate); },
         [&](TDriver& d)
         {
             click(kRateButton.X, kRateButton.Y);
             d.Opened(1, "Rate menu");
             d.IdlesGoOn();
             Xdotool({"key", "Up", "key", "Return"});
             d.Opened(0, "menu closed");
         },
         [&] { EXPECT_NE(Plugin.Effect()->getParameter(Plugin.Effect(), kRate), valueBefore); }},
        {"slider value menu",
         [&] { valueBefore = Plugin.Effect()->getParameter(Plugin.Effect(), kVelocityFixed); },
         [&](TDriver& d)
         {
             click(kVelocityFixedSlider.X, kVelocityFixedSlider.Y, "3");
             d.Opened(1, "value menu");
             d.IdlesGoOn();
             Xdotool({"key", "Down", "key", "Right"});
             d.Opened(2, "group submenu");
             Xdotool({"key", "Return"});
             d.Opened(0, "menus closed");
         },
         [&] {
             EXPECT_NE(Plugin.Effect()->getParameter(Plugin.Effect(), kVelocityFixed), valueBefore);
         }},
        {"Init", [&] { Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.9f); },
         [&](TDriver& d)
         {
             // Init is the menu's first item: Down takes it whatever the items below show.
             fromMainMenuByKeys(d, "Down");
             d.Opened(1, "Init question");
             d.IdlesGoOn();
             keys({"key", "Return"});
             d.Opened(0, "question closed");
         },
         [&] { EXPECT_NEAR(Gate(), 0.5f, 1e-3f) << "Yes set the defaults"; }},
        {"Save Preset over an existing name", nullptr,
         [&](TDriver& d)
         {
             fromMainMenu(d, kSavePresetY);
             d.Opened(1, "Save Preset dialog");
             d.IdlesGoOn();
             keys({"key", "ctrl+a", "type", "--delay", "20", "Aaa"});
             keys({"key", "Return"});
             d.Opened(1, "overwrite question");
             d.IdlesGoOn();
             keys({"key", "Return"});
             d.Opened(0, "question closed");
         },
         [&] { EXPECT_GT(fs::file_size(presets / "Aaa.brindlexp"), 3u) << "Yes overwrote"; }},
        {"About", nullptr,
         [&](TDriver& d)
         {
             // About is the menu's last item.
             fromMainMenuByKeys(d, "Up");
             d.Opened(1, "About box");
             d.IdlesGoOn();
             keys({"key", "Return"});
             d.Opened(0, "box closed");
         },
         nullptr},
        {"a message",
         [&]
         {
             // A state the module refuses: its message waits for the editor's next idle.
             void* data = nullptr;
             const std::intptr_t size = Plugin.Dispatch(effGetChunk, 0, 0, &data);
             std::string spoilt(static_cast<const char*>(data), std::size_t(size));
             // Every state in it loses its stream's signature.
             for (std::size_t at = spoilt.find("TPF0"); at != std::string::npos;
                  at = spoilt.find("TPF0", at))
                 spoilt.replace(at, 4, "XXXX");
             testing::internal::CaptureStderr();
             Plugin.Dispatch(effSetChunk, 0, size, spoilt.data());
             EXPECT_NE(testing::internal::GetCapturedStderr(), "");
         },
         [&](TDriver& d)
         {
             d.Opened(1, "message box");
             d.IdlesGoOn();
             keys({"key", "Return"});
             d.Opened(0, "box closed");
         },
         nullptr},
        {"presets browser", [&] { Plugin.Effect()->setParameter(Plugin.Effect(), kGate, 0.8f); },
         [&](TDriver& d)
         {
             // It opens inside the editor: its caption's pixels tell.
             std::vector<TBlxColor> caption = Pixels(kBrowserCaption, d.Watcher);
             click(356, 21);
             if (!BrowserToggled(caption, false, d.Watcher))
                 d.Fail("the browser did not open");
             d.IdlesGoOn();
             // "Aaa", the current preset, is selected: Return loads it.
             keys({"key", "Return"});
             if (!BrowserToggled(caption, false, d.Watcher))
                 d.Fail("the browser stayed open");
         },
         [&] { EXPECT_NEAR(Gate(), 0.5f, 1e-3f) << "the saved preset came back"; }},
    };
    for (const TRow& row : rows)
    {
        SCOPED_TRACE(row.Name);
        if (row.Before)
            row.Before();
        std::atomic<bool> finished{false};
        std::thread driver(
            [&]
            {
                TDriver d;
                d.Watcher = XOpenDisplay(nullptr);
                d.Shown = baseline;
                d.Base = baseline.size();
                d.Idles = &idles;
                d.Fail = [&](const std::string& what)
                {
                    std::lock_guard<std::mutex> lock(failuresLock);
                    failures.push_back(std::string(row.Name) + ": " + what);
                };
                row.Use(d);
                XCloseDisplay(d.Watcher);
                finished = true;
            });
        double longest = 0;
        for (int waited = 0; !finished && waited < 60000; waited += 20)
        {
            const auto start = std::chrono::steady_clock::now();
            Idle();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
            ++idles;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        driver.join();
        Idle(2);
        EXPECT_LT(longest, kLongestIdleMs);
        if (row.Acted)
            row.Acted();
    }
    for (const std::string& failure : failures)
        ADD_FAILURE() << failure;
    Plugin.Dispatch(effEditClose);
    RemoveTestFolder(presets);
}

/// The titles of our shown windows above the root, as the server shows them.
std::vector<std::string> ShownTopTitles(Display* display)
{
    std::vector<std::string> titles;
    for (Window w : ShownTopWindows(display))
    {
        char* name = nullptr;
        if (XFetchName(display, w, &name) && name != nullptr)
        {
            titles.emplace_back(name);
            XFree(name);
        }
    }
    return titles;
}

// A message raised while the host loads (module creation, a refused state) opens no window
// inside that call, where a scanner or a session load would wait for a click: it goes to
// standard error once and shows over the editor when it is next open.
TEST_F(EditorX11Test, MessagesRaisedWhileTheHostLoadsWaitForTheEditor)
{
    namespace fs = std::filesystem;
    const fs::path presets = fs::path(std::getenv("HOME")) / "Documents/Brindlex/Tumblet/Presets";
    fs::create_directories(presets);
    Plugin.Close();
    std::ofstream(presets / "init.brindlexp") << "not a preset...";
    // The host's own chunk with its stream's signature spoilt.
    std::string spoilt;
    struct TCase
    {
        const char* Name;
        const char* Text;
        std::function<void()> Raise;
    };
    const std::vector<TCase> cases = {
        {"damaged init preset", "Error loading preset from file.",
         [&] { ASSERT_NE(Plugin.LoadAndOpen(), nullptr); }},
        {"refused chunk", "Error loading preset.",
         [&]
         {
             void* data = nullptr;
             const std::intptr_t size = Plugin.Dispatch(effGetChunk, 0, 0, &data);
             ASSERT_GT(size, 12);
             spoilt.assign(static_cast<const char*>(data), std::size_t(size));
             spoilt.replace(8, 4, "XXXX");
             EXPECT_EQ(Plugin.Dispatch(effSetChunk, 0, size, spoilt.data()), 0);
         }},
    };
    Display* watcher = XOpenDisplay(nullptr);
    ASSERT_NE(watcher, nullptr);
    const int base = int(ShownTopWindows(watcher).size());
    for (const TCase& c : cases)
    {
        testing::internal::CaptureStderr();
        c.Raise();
        const std::string printed = testing::internal::GetCapturedStderr();
        std::size_t times = 0;
        for (std::size_t at = printed.find(c.Text); at != std::string::npos;
             at = printed.find(c.Text, at + 1))
            ++times;
        EXPECT_EQ(times, 1u) << c.Name << ": " << printed;
        XSync(watcher, False);
        EXPECT_EQ(int(ShownTopWindows(watcher).size()), base) << c.Name;
        ASSERT_TRUE(Open());
        EXPECT_TRUE(IdleUntil([&] { return int(ShownTopWindows(watcher).size()) == base + 1; }))
            << c.Name;
        const std::vector<std::string> titles = ShownTopTitles(watcher);
        EXPECT_EQ(std::count(titles.begin(), titles.end(), "Load Preset"), 1) << c.Name;
        // Without a window manager the keys go to the window under the pointer: the box,
        // found by its place on the screen. Return is its OK; under a loaded machine the
        // server may still be placing the box when the first key arrives, so it is pressed
        // again while the box stays.
        bool closed = false;
        for (int attempt = 0; attempt < 3 && !closed; ++attempt)
        {
            for (Window w : ShownTopWindows(watcher))
            {
                char* title = nullptr;
                if (XFetchName(watcher, w, &title) && title != nullptr)
                {
                    const bool box = std::string(title) == "Load Preset";
                    XFree(title);
                    XWindowAttributes a{};
                    if (box && XGetWindowAttributes(watcher, w, &a))
                        MoveTo({a.x + a.width / 2, a.y + a.height / 2});
                }
            }
            Xdotool({"key", "Return"});
            closed = IdleUntil([&] { return int(ShownTopWindows(watcher).size()) == base; }, 2000);
        }
        EXPECT_TRUE(closed) << c.Name;
        Plugin.Dispatch(effEditClose);
    }
    XCloseDisplay(watcher);
    fs::remove(presets / "init.brindlexp");
}

// Two instances in one host, both editors open: they share the process's X connection, and
// input and repaints reach the right one, also after the other's editor and module are gone.
TEST_F(EditorX11Test, TwoInstancesEditorsKeepTheirOwnInputAndRepaints)
{
    TTestHost second;
    ASSERT_NE(second.LoadAndOpen(), nullptr);
    AEffect* b = second.Effect();
    // Above the first host window, clear of the screen's top-left corner.
    const TBlxPoint origin{kHostLeft, 80};
    const Window secondWindow = XCreateSimpleWindow(Host, DefaultRootWindow(Host), origin.X,
                                                    origin.Y, 800, 450, 0, 0, 0x404040);
    XMapWindow(Host, secondWindow);
    XSync(Host, False);
    ASSERT_TRUE(Open());
    ASSERT_EQ(second.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(secondWindow)), 1);
    bool firstOpen = true;
    const auto idleBoth = [&]
    {
        if (firstOpen)
            Idle();
        second.Dispatch(effEditIdle);
    };
    // Wheel up (4) or down (5) at a point, with the host's idle calls until done() holds.
    const auto wheelUntil = [&](TBlxPoint at, const char* button, const std::function<bool()>& done)
    {
        MoveTo(at);
        Xdotool({"click", button});
        for (int waited = 0; waited < 5000 && !done(); waited += 20)
        {
            idleBoth();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    };
    for (int i = 0; i < 3; ++i)
        idleBoth();
    const float gateA = Gate();
    const float gateB = b->getParameter(b, kGate);
    const TBlxPoint dialB{origin.X + kGateDial.Left + 24, origin.Y + kGateDial.Top + 24};

    EXPECT_TRUE(wheelUntil(dialB, "4", [&] { return b->getParameter(b, kGate) > gateB; }));
    EXPECT_EQ(Gate(), gateA) << "the wheel over the second editor moved the first module";
    EXPECT_TRUE(wheelUntil(OnScreen(kGateDial.Left + 24, kGateDial.Top + 24), "4",
                           [&] { return Gate() > gateA; }));

    // A host change repaints the changed instance's dial only.
    const std::vector<TBlxColor> before = Pixels(kGateDial);
    b->setParameter(b, kGate, 0.95f);
    idleBoth();
    EXPECT_EQ(Differences(before, Pixels(kGateDial)), 0);

    // The first editor and then its module go; the second editor goes on.
    Plugin.Dispatch(effEditClose);
    Plugin.Close();
    firstOpen = false;
    const float afterClose = b->getParameter(b, kGate);
    EXPECT_TRUE(wheelUntil(dialB, "5", [&] { return b->getParameter(b, kGate) < afterClose; }))
        << "the second editor no longer took input";
    second.Dispatch(effEditClose);
    second.Close();
    XDestroyWindow(Host, secondWindow);
}

// A server that goes away while the editor is open must not take the host with it: Xlib ends
// the process on a broken connection unless the editor tells it otherwise.
TEST_F(EditorX11Test, ServerThatGoesAwayLeavesTheHostRunning)
{
    // A display number of the server's own choosing (-displayfd), so that parallel runs and
    // servers left over on the machine are never mistaken for it.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const std::string fd = std::to_string(ready[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd,          "-screen",
                                     "0",    "800x600x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t server = 0;
    const int spawned = posix_spawnp(&server, "Xvfb", nullptr, nullptr, argv.data(), environ);
    close(ready[1]);
    std::string number;
    char c = 0;
    while (spawned == 0 && read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (spawned != 0 || number.empty())
        GTEST_SKIP() << "Xvfb cannot be started";
    const std::string displayName = ":" + number;
    const char* display = displayName.c_str();
    Display* other = XOpenDisplay(display);
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
