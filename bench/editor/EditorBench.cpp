// The editor window through the module's editor opcodes: opening until the first complete
// paint, repaints, idle calls with nothing to do, and the memory an open editor holds. Runs on
// the X server of DISPLAY (xvfb-run) when there is one, else on the offscreen backend.

#include "controls/BlxMenuButton.h"
#include "editor/Editor.h"
#include "editor/EditorTestEntry.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "support/TestHost.h"
#include "ui/BlxApplication.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxStyle.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace tumblet
{
namespace
{

/// A stand-in host: its own X connection and parent window, or a made-up id offscreen.
struct THostWindow
{
    THostWindow()
    {
        Display = XOpenDisplay(nullptr);
        if (Display == nullptr)
        {
            TBlxApplication::Instance().SetBackend(TBlxBackend::Offscreen);
            Window = 0x1234;
            return;
        }
        Window = XCreateSimpleWindow(Display, DefaultRootWindow(Display), 0, 0, 800, 400, 0, 0, 0);
        XMapWindow(Display, Window);
        XSync(Display, False);
    }
    ~THostWindow()
    {
        if (Display != nullptr)
        {
            XDestroyWindow(Display, Window);
            XCloseDisplay(Display);
        }
    }
    ::Display* Display = nullptr;
    unsigned long Window = 0;
};

THostWindow& HostWindow()
{
    static THostWindow window;
    return window;
}

struct TPlugin
{
    /// percent: the editor's size, as a host that scales its plug-in windows asks for it.
    explicit TPlugin(std::int64_t percent = 100)
    {
        Host.LoadAndOpenWith(&test::EditorEntry);
        Host.Dispatch(effVendorSpecific, kVendorSpecificPreSonus, kVendorSpecificContentScale,
                      nullptr, float(percent) / 100.0f);
    }
    ~TPlugin() { Host.Close(); }
    bool Open()
    {
        return Host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(HostWindow().Window)) == 1;
    }
    void Close() { Host.Dispatch(effEditClose); }
    TfrmEditor& Form()
    {
        auto& module = *static_cast<TVSTPlugin*>(TBasicVSTModule::FromEffect(Host.Effect()));
        return dynamic_cast<TfrmEditor&>(*module.Editor());
    }
    test::TTestHost Host;
};

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

/// effEditOpen returns with the window painted and handed to the server; the argument is the
/// editor's size in percent (the artwork for a size is drawn once per process).
void BM_EditorOpenUntilPainted(benchmark::State& state)
{
    TPlugin plugin(state.range(0));
    for (auto _ : state)
    {
        if (!plugin.Open())
        {
            state.SkipWithError("the editor did not open");
            break;
        }
        if (HostWindow().Display != nullptr)
            XSync(HostWindow().Display, False);
        state.PauseTiming();
        plugin.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorOpenUntilPainted)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_EditorFullRepaint(benchmark::State& state)
{
    TPlugin plugin(state.range(0));
    plugin.Open();
    for (auto _ : state)
        plugin.Form().PaintAll();
    plugin.Close();
}
BENCHMARK(BM_EditorFullRepaint)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

/// One host change: refresh at the next idle call, which repaints the dial's damage only.
void BM_EditorDialChangeRepaint(benchmark::State& state)
{
    TPlugin plugin;
    plugin.Open();
    AEffect* effect = plugin.Host.Effect();
    float value = 0.25f;
    for (auto _ : state)
    {
        value = value == 0.25f ? 0.75f : 0.25f;
        effect->setParameter(effect, 5, value);
        plugin.Host.Dispatch(effEditIdle);
    }
    plugin.Close();
}
BENCHMARK(BM_EditorDialChangeRepaint)->Unit(benchmark::kMicrosecond);

void BM_Editor600IdleCallsNothingChanged(benchmark::State& state)
{
    TPlugin plugin;
    plugin.Open();
    for (int i = 0; i < 10; ++i)
        plugin.Host.Dispatch(effEditIdle);
    for (auto _ : state)
    {
        for (int i = 0; i < 600; ++i)
            plugin.Host.Dispatch(effEditIdle);
    }
    plugin.Close();
}
BENCHMARK(BM_Editor600IdleCallsNothingChanged)->Unit(benchmark::kMicrosecond);

/// Opening the main menu until its first level is painted: the click returns at once and the
/// host's next idle calls show and paint it.
void BM_EditorMenuOpenUntilPainted(benchmark::State& state)
{
    TPlugin plugin;
    plugin.Open();
    TfrmEditor& form = plugin.Form();
    for (auto _ : state)
    {
        form.btnMenu->Click();
        while (form.ddmMenu.LevelCount() > 0 && form.ddmMenu.Level(0).NeedsPaint())
            plugin.Host.Dispatch(effEditIdle);
        if (HostWindow().Display != nullptr)
            XSync(HostWindow().Display, False);
        state.PauseTiming();
        form.ddmMenu.CloseMenu();
        while (form.ddmMenu.IsOpen())
            plugin.Host.Dispatch(effEditIdle);
        state.ResumeTiming();
    }
    plugin.Close();
}
BENCHMARK(BM_EditorMenuOpenUntilPainted)->Unit(benchmark::kMicrosecond);

/// One effEditIdle while the main menu is open and nothing happens: the host's thread is back
/// at once.
void BM_EditorIdleWithMenuOpen(benchmark::State& state)
{
    TPlugin plugin;
    plugin.Open();
    TfrmEditor& form = plugin.Form();
    form.btnMenu->Click();
    plugin.Host.Dispatch(effEditIdle);
    for (auto _ : state)
        plugin.Host.Dispatch(effEditIdle);
    if (!form.ddmMenu.IsOpen())
        state.SkipWithError("the menu did not stay open");
    form.ddmMenu.CloseMenu();
    while (form.ddmMenu.IsOpen())
        plugin.Host.Dispatch(effEditIdle);
    plugin.Close();
}
BENCHMARK(BM_EditorIdleWithMenuOpen)->Unit(benchmark::kMicrosecond);

/// Resident memory an open editor adds, and its growth over 200 open/close cycles.
void BM_EditorMemory(benchmark::State& state)
{
    TPlugin plugin;
    plugin.Open();
    plugin.Close();
    long closed = 0, open = 0, afterCycles = 0;
    for (auto _ : state)
    {
        closed = ResidentKiB();
        plugin.Open();
        plugin.Host.Dispatch(effEditIdle);
        open = ResidentKiB();
        plugin.Close();
        for (int i = 0; i < 200; ++i)
        {
            plugin.Open();
            plugin.Host.Dispatch(effEditIdle);
            plugin.Close();
        }
        afterCycles = ResidentKiB();
    }
    state.counters["open_editor_KiB"] = double(open - closed);
    state.counters["growth_200_cycles_KiB"] = double(afterCycles - closed);
}
BENCHMARK(BM_EditorMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tumblet

BENCHMARK_MAIN();
