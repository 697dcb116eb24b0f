// The presets browser on a real X server (xvfb): it grabs nothing, so a press outside it reaches
// the window under the pointer, whether that is the editor (the browser then closes) or a window
// of another client. Skips without a display.

#include "PresetsBrowserDriver.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "editor/MessageDialog.h"
#include "editor/PresetsForm.h"
#include "support/TestHome.h"
#include "ui/BlxButton.h"
#include "ui/BlxListBox.h"
#include "ui/BlxMenu.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"
#include "ui/X11TestSupport.h"

#include <filesystem>
#include <fstream>

namespace tumblet
{
namespace
{

using namespace test;

class PresetsX11Test : public TBlxX11Fixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        TBlxX11Fixture::SetUp();
        if (IsSkipped())
        {
            return;
        }
        XSelectInput(Host, HostWindow, ButtonPressMask);
        XSync(Host, False);
        XSync(Host, False);
        Editor.SetParentNativeId(HostWindow);
        Editor.SetBounds(0, 0, 712, 341);
        TBlxButton& button = Editor.Add<TBlxButton>();
        button.SetBounds(2, 2, 12, 12);
        button.OnClick = [this](TBlxControl&) { ++EditorClicks; };
        ASSERT_TRUE(Editor.Show());
        PumpUntil([&] { return !Editor.NeedsPaint(); });
        Watchdog.SetInterval(15000);
        Watchdog.OnTimer = [this](TBlxTimer&)
        {
            WatchdogFired = true;
            TBlxApplication::Instance().EndAllModalLoops();
        };
        Watchdog.SetEnabled(true);
    }
    void TearDown() override
    {
        EXPECT_FALSE(WatchdogFired) << "the browser did not close by itself";
        TBlxX11Fixture::TearDown();
    }
    int HostPresses()
    {
        XSync(Host, False);
        int n = 0;
        XEvent ev;
        while (XCheckWindowEvent(Host, HostWindow, ButtonPressMask, &ev))
        {
            ++n;
        }
        return n;
    }
    TBlxWindow Editor{TBlxWindowKind::Embedded};
    TBlxTimer Driver;
    TBlxTimer Watchdog;
    int EditorClicks = 0;
    bool WatchdogFired = false;
};

TEST_P(PresetsX11Test, APressOutsideReachesTheWindowUnderThePointer)
{
    bool onEditor = GetParam();
    // The editor's button, or the host's window beside the editor.
    TBlxPoint target =
        onEditor ? Editor.ClientToScreen({7, 7}) : TBlxPoint{kHostLeft + 760, kHostTop + 420};
    bool shown = false, hostPressed = false;
    Driver.SetInterval(300);
    Driver.OnTimer = [&](TBlxTimer& t)
    {
        TBlxWindow* top = TBlxApplication::Instance().TopModal();
        if (!top || !top->IsShown())
        {
            return;
        }
        t.SetEnabled(false);
        shown = true;
        Xdotool({"mousemove", std::to_string(target.X), std::to_string(target.Y), "click", "1"});
        if (!onEditor)
        {
            // The other client has it at once, and the browser stays open for its own input.
            hostPressed = HostPresses() == 1;
            EXPECT_TRUE(top->IsShown());
            top->Close();
        }
    };
    Driver.SetEnabled(true);
    EXPECT_EQ(BrowseUntilClosed(Editor, {680, 309}, "/nonexistent/", ""), std::nullopt);
    EXPECT_TRUE(shown);
    // As the editor does after the browser: mouse events queued meanwhile are dropped.
    TBlxApplication::Instance().DiscardMouseEvents();
    if (onEditor)
    {
        EXPECT_TRUE(PumpUntil([&] { return EditorClicks == 1; }));
        EXPECT_EQ(HostPresses(), 0);
    }
    else
    {
        EXPECT_TRUE(hostPressed);
        EXPECT_EQ(EditorClicks, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(OnEditorOrHost, PresetsX11Test, ::testing::Values(false, true));

TEST_P(PresetsX11Test, ADragFromInsideThatEndsOutsideKeepsTheBrowserOpen)
{
    TBlxPoint outside =
        GetParam() ? Editor.ClientToScreen({7, 7}) : TBlxPoint{kHostLeft + 760, kHostTop + 420};
    int step = 0;
    bool openAfterDrag = false, releasedToBrowser = false, pressedCancel = false;
    Driver.SetInterval(300);
    Driver.OnTimer = [&](TBlxTimer&)
    {
        TBlxWindow* top = TBlxApplication::Instance().TopModal();
        if (!top || !top->IsShown())
        {
            return;
        }
        if (step++ == 0)
        {
            auto& browser = dynamic_cast<TfrmPresets&>(*top);
            browser.btnCancel->OnMouseDown = [&](TBlxControl&, const TBlxMouseEvent&)
            { pressedCancel = true; };
            TBlxPoint cancel = browser.btnCancel->ClientToScreen({40, 13});
            Xdotool({"mousemove", std::to_string(cancel.X), std::to_string(cancel.Y), "mousedown",
                     "1", "mousemove", std::to_string(outside.X), std::to_string(outside.Y),
                     "mouseup", "1"});
            return;
        }
        // TBlxModalResult::None: Xlib defines None as a macro.
        openAfterDrag = top->ModalResult() == TBlxModalResult{};
        // The press reached the browser, and so did the release outside it.
        releasedToBrowser = pressedCancel && top->HeldButtons() == 0;
        Xdotool({"key", "Escape"});
        Driver.SetEnabled(false);
    };
    Driver.SetEnabled(true);
    EXPECT_EQ(BrowseUntilClosed(Editor, {680, 309}, "/nonexistent/", ""), std::nullopt);
    EXPECT_TRUE(openAfterDrag);
    EXPECT_TRUE(releasedToBrowser);
    EXPECT_EQ(HostPresses(), 0);
    EXPECT_EQ(EditorClicks, 0);
}

/// Clicks a point of the screen with a button (1 left, 3 right).
void ClickScreen(TBlxPoint p, const char* button)
{
    Xdotool({"mousemove", std::to_string(p.X), std::to_string(p.Y), "click", button});
}

TEST_F(PresetsX11Test, TheContextMenuAndTheDeleteQuestionTakeClicksOverTheBrowser)
{
    namespace fs = std::filesystem;
    const fs::path folder = TTestHome::NewFolder("presets-x11");
    for (const char* name : {"a.brindlexp", "b.brindlexp"})
    {
        std::ofstream(folder / name) << "x";
    }
    bool rightClicked = false;
    std::vector<std::string> left;
    Driver.SetInterval(300);
    Driver.OnTimer = [&](TBlxTimer&)
    {
        TBlxWindow* top = TBlxApplication::Instance().TopModal();
        if (!top || !top->IsShown())
        {
            return;
        }
        if (auto* level = dynamic_cast<TBlxMenuWindow*>(top))
        {
            TBlxRect r = level->ItemRect(1);
            return ClickScreen(level->ClientToScreen({r.Left + 20, r.Top + r.Height / 2}), "1");
        }
        if (auto* question = dynamic_cast<TfrmMessageDialog*>(top))
        {
            return ClickScreen(question->btnYes->ClientToScreen({40, 13}), "1");
        }
        auto& browser = dynamic_cast<TfrmPresets&>(*top);
        if (!rightClicked)
        {
            rightClicked = true;
            TBlxRect r = browser.lstPresets->ItemRect(0);
            return ClickScreen(browser.lstPresets->ClientToScreen({r.Left + 20, r.Top + 10}), "3");
        }
        for (int i = 0; i < browser.lstPresets->Count(); ++i)
        {
            left.push_back(browser.lstPresets->Item(i).Text);
        }
        Xdotool({"key", "Escape"});
        Driver.SetEnabled(false);
    };
    Driver.SetEnabled(true);
    EXPECT_EQ(BrowseUntilClosed(Editor, {680, 309}, folder.string(), "a"), std::nullopt);
    EXPECT_EQ(left, std::vector<std::string>{"b"});
    EXPECT_FALSE(fs::exists(folder / "a.brindlexp"));
    RemoveTestFolder(folder);
}

} // namespace
} // namespace tumblet
