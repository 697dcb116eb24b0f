// The dialogs on a real X server (xvfb): the editor window embedded into a stand-in host
// window, the dialogs opened over it and driven by xdotool. Skips without a display.

#include "editor/BlxNumericEdit.h"
#include "editor/DialogDriver.h"
#include "editor/Dialogs.h"
#include "editor/InputDlgNumeric.h"
#include "ui/BlxButton.h"
#include "ui/BlxTimer.h"
#include "ui/BlxWindow.h"
#include "ui/X11TestSupport.h"

#include <deque>

namespace tumblet
{
namespace
{

using namespace test;

class DialogsX11Test : public TBlxX11Fixture
{
protected:
    void SetUp() override
    {
        TBlxX11Fixture::SetUp();
        if (IsSkipped())
        {
            return;
        }
        Editor.SetParentNativeId(HostWindow);
        Editor.SetBounds(0, 0, 712, 341);
        ASSERT_TRUE(Editor.Show());
        PumpUntil([&] { return !Editor.NeedsPaint(); });
        Watchdog.SetInterval(15000);
        Watchdog.OnTimer = [](TBlxTimer&) { TBlxApplication::Instance().EndAllModalLoops(); };
        Watchdog.SetEnabled(true);
        Driver.SetInterval(300);
        Driver.OnTimer = [this](TBlxTimer&) { DriverTimer(); };
        Driver.SetEnabled(true);
    }
    /// Queues `input` for the next time a dialog is showing.
    void WhenShown(std::function<void(TBlxWindow&)> input) { Pending.push_back(std::move(input)); }
    void DriverTimer()
    {
        TBlxWindow* top = TBlxApplication::Instance().TopModal();
        if (Pending.empty() || !top || !top->IsShown())
        {
            return;
        }
        // Taken out first: the step may queue the next one.
        std::function<void(TBlxWindow&)> step = std::move(Pending.front());
        Pending.pop_front();
        step(*top);
    }
    std::deque<std::function<void(TBlxWindow&)>> Pending;
    TBlxWindow Editor{TBlxWindowKind::Embedded};
    TBlxTimer Driver;
    TBlxTimer Watchdog;
};

TEST_F(DialogsX11Test, SetCCDialogTakesTypedDigitsAndComesBackWhenOutOfRange)
{
    int shows = 0;
    WhenShown(
        [&](TBlxWindow& w)
        {
            ++shows;
            TBlxPoint o = w.ClientOriginOnScreen();
            Screenshot({o.X, o.Y, w.Width(), w.Height()}, "x11/InputDlgNumeric");
            TBlxPoint centre = w.ClientToScreen({w.Width() / 2, w.Height() / 2});
            Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y)});
            // The box starts with "1" selected: typing replaces it; 200 is out of range.
            Xdotool({"type", "--delay", "20", "200"});
            Xdotool({"key", "Return"});
            WhenShown(
                [&](TBlxWindow& again)
                {
                    ++shows;
                    auto& dlg = dynamic_cast<TfrmInputDlgNumeric&>(again);
                    EXPECT_EQ(dlg.txtNumeric->Text(), "200");
                    Xdotool({"key", "ctrl+a"});
                    Xdotool({"type", "--delay", "20", "57"});
                    TBlxPoint ok = dlg.btnOK->ClientToScreen({40, 12});
                    Xdotool(
                        {"mousemove", std::to_string(ok.X), std::to_string(ok.Y), "click", "1"});
                });
        });
    double value = 1;
    EXPECT_TRUE(InputNumberDialog(&Editor, "MIDI Set CC: Gate", "CC# (0-127)", 127, 0, 0, value));
    EXPECT_EQ(value, 57);
    EXPECT_EQ(shows, 2);
}

TEST_F(DialogsX11Test, MessageBoxAnswersTheClickedButton)
{
    WhenShown(
        [&](TBlxWindow& w)
        {
            TBlxPoint o = w.ClientOriginOnScreen();
            Screenshot({o.X, o.Y, w.Width(), w.Height()}, "x11/MessageConfirmation");
            // Yes and No sit at the bottom right; No is the right one.
            TBlxPoint no = w.ClientToScreen({w.Width() - 14 - 40, w.Height() - 10 - 13});
            Xdotool({"mousemove", std::to_string(no.X), std::to_string(no.Y), "click", "1"});
        });
    EXPECT_EQ(ShowMessageDialog(&Editor, "Delete \"Warm pad\"?", "Delete Preset",
                                TMsgDlgButtons::YesNo, TMsgDlgType::Confirmation),
              TBlxModalResult::No);
}

// The host had the keyboard focus (Ardour gives it to its plug-in window), so the keys go there
// unless the dialog took the focus itself when it was shown.
TEST_F(DialogsX11Test, TextDialogTakesTheKeysAndReturnsTheTypedName)
{
    XSetInputFocus(Host, HostWindow, RevertToParent, CurrentTime);
    XSync(Host, False);
    WhenShown(
        [&](TBlxWindow& w)
        {
            TBlxPoint centre = w.ClientToScreen({w.Width() / 2, 30});
            Xdotool({"mousemove", std::to_string(centre.X), std::to_string(centre.Y)});
            Xdotool({"key", "ctrl+a"});
            Xdotool({"type", "--delay", "20", "Bass line"});
            Xdotool({"key", "Return"});
        });
    std::string name = "Init";
    EXPECT_TRUE(InputTextDialog(&Editor, "Save Preset", "Name", true, 50, name));
    EXPECT_EQ(name, "Bass line");
}

} // namespace
} // namespace tumblet
