#include "BlxTestDriver.h"

#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

/// A control that records what reaches it.
class TProbe : public TBlxControl
{
public:
    explicit TProbe(bool focusable = true, int* destroyed = nullptr) : FDestroyed(destroyed)
    {
        SetTabStop(focusable);
    }
    ~TProbe() override
    {
        if (FDestroyed)
        {
            ++*FDestroyed;
        }
    }
    bool MouseDown(const TBlxMouseEvent& e) override
    {
        ++Downs;
        LastPos = e.Pos;
        return true;
    }
    bool MouseUp(const TBlxMouseEvent&) override
    {
        ++Ups;
        return true;
    }
    bool MouseMove(const TBlxMouseEvent& e) override
    {
        ++Moves;
        LastPos = e.Pos;
        return true;
    }
    bool MouseWheel(const TBlxWheelEvent& e) override
    {
        Wheel += e.DeltaY;
        return WheelHandled;
    }
    void FocusIn() override { ++FocusIns; }
    void FocusOut() override { ++FocusOuts; }
    void CaptureLost() override { ++Lost; }
    int Downs = 0, Ups = 0, Moves = 0, Wheel = 0, FocusIns = 0, FocusOuts = 0, Lost = 0;
    bool WheelHandled = true;
    TBlxPoint LastPos;

private:
    int* FDestroyed;
};

class TBlxControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        Window.SetBounds(100, 50, 300, 200);
        A = &Window.Add<TProbe>();
        A->SetBounds(10, 10, 100, 50);
        B = &Window.Add<TProbe>();
        B->SetBounds(150, 10, 100, 50);
        Inner = &B->Add<TProbe>();
        Inner->SetBounds(20, 20, 30, 20);
        Plain = &Window.Add<TProbe>(false);
        Plain->SetBounds(10, 100, 100, 50);
        ASSERT_TRUE(Window.Show());
    }
    TBlxWindow Window;
    TProbe* A = nullptr;
    TProbe* B = nullptr;
    TProbe* Inner = nullptr;
    TProbe* Plain = nullptr;
};

TEST_F(TBlxControlTest, HitTestFindsTheDeepestVisibleControl)
{
    EXPECT_EQ(Window.ControlAt({175, 35}), Inner);
    EXPECT_EQ(Window.ControlAt({155, 15}), B);
    EXPECT_EQ(Window.ControlAt({5, 5}), &Window);
    EXPECT_EQ(Window.ControlAt({300, 5}), nullptr);
    Inner->SetVisible(false);
    EXPECT_EQ(Window.ControlAt({175, 35}), B);
}

TEST_F(TBlxControlTest, PressDeliversLocalCoordinatesAndFocusesFocusableControls)
{
    MouseDown(Window, {175, 35});
    EXPECT_EQ(Inner->Downs, 1);
    EXPECT_EQ(Inner->LastPos, (TBlxPoint{5, 5}));
    EXPECT_TRUE(Inner->Focused());
    MouseUp(Window, {175, 35});
    // A control that does not take the focus leaves it where it was.
    ClickAt(Window, {20, 110});
    EXPECT_EQ(Plain->Downs, 1);
    EXPECT_TRUE(Inner->Focused());
}

TEST_F(TBlxControlTest, CaptureKeepsEventsUntilTheLastButtonIsReleased)
{
    MouseDown(Window, {20, 20});
    EXPECT_TRUE(A->HasCapture());
    MoveTo(Window, {200, 150});
    EXPECT_EQ(A->Moves, 1);
    EXPECT_EQ(A->LastPos, (TBlxPoint{190, 140}));
    MouseDown(Window, {200, 150}, TBlxMouseButton::Right);
    EXPECT_EQ(A->Downs, 2);
    MouseUp(Window, {200, 150}, TBlxMouseButton::Right);
    EXPECT_TRUE(A->HasCapture());
    MouseUp(Window, {200, 150});
    EXPECT_FALSE(A->HasCapture());
    EXPECT_EQ(A->Ups, 2);
    MoveTo(Window, {20, 120});
    EXPECT_EQ(Plain->Moves, 1);
}

TEST_F(TBlxControlTest, HidingTheCapturingControlCancelsTheDrag)
{
    MouseDown(Window, {20, 20});
    A->SetVisible(false);
    EXPECT_EQ(A->Lost, 1);
    EXPECT_EQ(Window.CaptureControl(), nullptr);
    EXPECT_FALSE(A->Focused());
}

TEST_F(TBlxControlTest, PressFilterVetoStopsCaptureFocusAndHandler)
{
    int asked = 0;
    A->OnBeforeMouseDown = [&](TBlxControl& sender, bool& proceed)
    {
        EXPECT_EQ(&sender, A);
        ++asked;
        proceed = false;
    };
    B->SetFocus();
    MouseDown(Window, {20, 20});
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(A->Downs, 0);
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Window.CaptureControl(), nullptr);
    A->OnBeforeMouseDown = [&](TBlxControl&, bool&) { ++asked; };
    MouseDown(Window, {20, 20});
    EXPECT_EQ(A->Downs, 1);
    EXPECT_TRUE(A->Focused());
}

TEST_F(TBlxControlTest, DisabledControlsIgnoreInputAndLoseFocus)
{
    A->SetFocus();
    A->SetEnabled(false);
    EXPECT_FALSE(A->Focused());
    ClickAt(Window, {20, 20});
    EXPECT_EQ(A->Downs, 0);
    B->SetEnabled(false);
    EXPECT_FALSE(Inner->CanFocus());
}

TEST_F(TBlxControlTest, FocusEventsAndTabOrder)
{
    A->SetFocus();
    EXPECT_EQ(A->FocusIns, 1);
    PressKey(Window, TBlxKey::Tab);
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(A->FocusOuts, 1);
    PressKey(Window, TBlxKey::Tab);
    EXPECT_TRUE(Inner->Focused());
    PressKey(Window, TBlxKey::Tab);
    EXPECT_TRUE(A->Focused());
    PressKey(Window, TBlxKey::Tab, ssShift);
    EXPECT_TRUE(Inner->Focused());
}

TEST_F(TBlxControlTest, FocusControlUnderPointerPicksTheFocusableAncestor)
{
    Inner->SetTabStop(false);
    Offscreen().SetPointer({100 + 175, 50 + 35}, 0);
    Window.FocusControlUnderPointer();
    EXPECT_TRUE(B->Focused());
    Offscreen().SetPointer({100 + 20, 50 + 120}, 0);
    Window.FocusControlUnderPointer();
    EXPECT_TRUE(B->Focused());
}

TEST_F(TBlxControlTest, WheelBubblesUpUntilHandled)
{
    Inner->WheelHandled = false;
    WheelAt(Window, {175, 35}, 1);
    EXPECT_EQ(Inner->Wheel, 1);
    EXPECT_EQ(B->Wheel, 1);
}

TEST_F(TBlxControlTest, ChildrenDieWithTheirWindowAndReleaseItsReferences)
{
    int destroyed = 0;
    {
        TBlxWindow w;
        TProbe& parent = w.Add<TProbe>(true, &destroyed);
        parent.Add<TProbe>(true, &destroyed);
        parent.SetFocus();
    }
    EXPECT_EQ(destroyed, 2);
    Inner->SetFocus();
    MouseDown(Window, {175, 35});
    B->RemoveChild(*Inner);
    EXPECT_EQ(Window.FocusedControl(), nullptr);
    EXPECT_EQ(Window.CaptureControl(), nullptr);
    MouseUp(Window, {175, 35});
    EXPECT_EQ(B->Ups, 1);
}

TEST_F(TBlxControlTest, DoubleClickNeedsTwoQuickPressesInPlace)
{
    int doubles = 0;
    A->OnDblClick = [&](TBlxControl&) { ++doubles; };
    ClickAt(Window, {20, 20});
    ClickAt(Window, {21, 21});
    EXPECT_EQ(doubles, 1);
    ClickAt(Window, {20, 20});
    Offscreen().AdvanceClock(600);
    ClickAt(Window, {20, 20});
    EXPECT_EQ(doubles, 1);
}

TEST_F(TBlxControlTest, DialogKeysClickTheRoleButtons)
{
    TBlxButton& ok = Window.Add<TBlxButton>();
    ok.SetDefault(true);
    ok.SetModalResult(TBlxModalResult::OK);
    TBlxButton& cancel = Window.Add<TBlxButton>();
    cancel.SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok.OnClick = [&](TBlxControl&) { ++okClicks; };
    cancel.OnClick = [&](TBlxControl&) { ++cancelClicks; };
    A->SetFocus();
    PressKey(Window, TBlxKey::Enter);
    PressKey(Window, TBlxKey::Escape);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(Window.ModalResult(), TBlxModalResult::OK);
    ok.SetEnabled(false);
    PressKey(Window, TBlxKey::Enter);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(TBlxControlTest, ModalLoopEndsOnTheButtonsResultAndBlocksOtherWindows)
{
    TBlxWindow dialog;
    dialog.SetBounds(0, 0, 200, 100);
    TBlxButton& ok = dialog.Add<TBlxButton>();
    ok.SetBounds(10, 10, 80, 25);
    ok.SetModalResult(TBlxModalResult::OK);
    WhenModal(
        [&](TBlxWindow& w)
        {
            EXPECT_EQ(&w, &dialog);
            ClickAt(Window, {20, 20});
            EXPECT_EQ(A->Downs, 0) << "the window below a modal dialog takes no input";
            ClickControl(ok);
        });
    EXPECT_EQ(ShowModalUntilClosed(dialog), TBlxModalResult::OK);
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(TBlxApplication::Instance().TopModal(), nullptr);
}

TEST_F(TBlxControlTest, CloseRequestCancelsAModalWindow)
{
    TBlxWindow dialog;
    dialog.SetBounds(0, 0, 200, 100);
    WhenModal(
        [](TBlxWindow& w)
        {
            TBlxPlatformEvent e;
            e.Kind = TBlxPlatformEvent::TKind::CloseRequest;
            TBlxApplication::Instance().Dispatch(w, e);
        });
    EXPECT_EQ(ShowModalUntilClosed(dialog), TBlxModalResult::Cancel);
}

} // namespace
} // namespace tumblet
