#include "ControlsFixture.h"

#include "controls/BlxGuiStitchedDial.h"
#include "controls/BlxPointer.h"

#include <limits>
#include <vector>

namespace tumblet
{
namespace
{

using namespace test;

class TBlxGuiStitchedDialTest : public TControlsFixture
{
protected:
    void SetUp() override
    {
        TControlsFixture::SetUp();
        Images.LoadDialStrips();
        Dial = &Form.Add<TBlxGuiStitchedDial>();
        Dial->SetBounds(100, 100, 48, 48);
        Dial->SetImageList(&Images);
        Dial->OnChange = [this](TCustomGuiStitchedDial& d) { Changes.push_back(d.Value()); };
        Other = &Form.Add<TBlxGuiStitchedDial>();
        Other->SetBounds(200, 100, 48, 48);
    }
    /// The editor's Gate dial: 0..200 over 201 frames, a full sweep in 300 pixels.
    void MakeGate()
    {
        Dial->BeginLoading();
        Dial->SetImageIndex(3);
        Dial->SetMax(200);
        Dial->SetScrollRange(600);
        Dial->SetWheelStep(0.2f);
        Dial->Loaded();
    }
    TBlxPoint Centre() const { return CentreOf(*Dial); }

    TGuiStitchedPNGList Images;
    TBlxGuiStitchedDial* Dial = nullptr;
    TBlxGuiStitchedDial* Other = nullptr;
    std::vector<float> Changes;
};

TEST(GuiStitchedControlTest, FrameForPositionRoundsHalvesToEven)
{
    struct TCase
    {
        int Glyphs;
        double Position;
        int Frame;
    };
    for (TCase c : std::vector<TCase>{{201, 0.5015, 100},
                                      {201, 0.503, 101},
                                      {201, 0.5025, 100}, // 100.5 goes to the even 100
                                      {5, 0.375, 2},      // 1.5 goes to 2
                                      {5, 0.625, 2},      // 2.5 goes to 2
                                      {101, -0.2, 0},
                                      {101, 1.7, 100},
                                      {0, 0.5, -1}})
    {
        EXPECT_EQ(TGuiCustomStitchedControl::FrameForPosition(c.Glyphs, c.Position), c.Frame)
            << c.Glyphs << " frames at " << c.Position;
    }
}

TEST_F(TBlxGuiStitchedDialTest, ValueLandsOnTheBoundsAndRepeatsAreSilent)
{
    MakeGate();
    Dial->SetValue(-5);
    EXPECT_TRUE(Changes.empty()) << "already at the minimum";
    Dial->SetValue(250);
    Dial->SetValue(250);
    Dial->SetValue(200);
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0], 200.0f);
    EXPECT_EQ(Dial->FrameIndex(), 200);
    Dial->SetDefaultValue(500);
    EXPECT_EQ(Dial->DefaultValue(), 200.0f);
}

TEST_F(TBlxGuiStitchedDialTest, LoadingFiresNoChangeAndMissingImageHasNoFrame)
{
    Dial->BeginLoading();
    Dial->SetImageIndex(7);
    Dial->SetValue(40);
    Dial->Loaded();
    EXPECT_TRUE(Changes.empty());
    EXPECT_EQ(Dial->FrameIndex(), -1);
    Dial->SetImageIndex(0);
    EXPECT_EQ(Dial->FrameIndex(), 40);
}

TEST_F(TBlxGuiStitchedDialTest, MinAboveMaxIsRefusedAndBoundsPullTheValue)
{
    MakeGate();
    Dial->SetValue(150);
    Dial->SetMin(300);
    EXPECT_EQ(Dial->Min(), 0.0f);
    Dial->SetMax(100);
    EXPECT_EQ(Dial->Value(), 100.0f);
    EXPECT_EQ(Dial->FrameIndex(), 200) << "100 is now the top of the range";
    Dial->SetMin(50);
    Dial->SetMax(60);
    EXPECT_EQ(Dial->Value(), 60.0f);
}

TEST_F(TBlxGuiStitchedDialTest, GateDragOfThreeHundredPixelsSweepsTheRange)
{
    MakeGate();
    Drag(Centre(), {{Centre().X, Centre().Y - 150}, {Centre().X, Centre().Y - 300}});
    EXPECT_FLOAT_EQ(Dial->Value(), 200);
    Dial->SetValue(0);
    Drag(Centre(), {{Centre().X, Centre().Y - 150}, {Centre().X, Centre().Y - 300}}, ssShift);
    EXPECT_FLOAT_EQ(Dial->Value(), 20);
    Drag(Centre(), {{Centre().X, Centre().Y + 10}});
    EXPECT_FLOAT_EQ(Dial->Value(), 20 - 2 * 10 / 600.0f * 200) << "dragging down lowers it";
}

// The window's scale puts the pointer in device pixels and the dial in logical ones.
TEST_F(TBlxGuiStitchedDialTest, WheelNotchMovesByTwiceTheStepAtEveryScale)
{
    MakeGate();
    for (double scale : {1.0, 2.0})
    {
        SCOPED_TRACE(scale);
        Form.SetScale(scale);
        Dial->SetValue(100);
        Wheel(Centre(), 1);
        EXPECT_NEAR(Dial->Value(), 100.1333, 1e-3);
        Wheel(Centre(), -1);
        EXPECT_NEAR(Dial->Value(), 100, 1e-4);
        Wheel(Centre(), 1, ssShift);
        EXPECT_NEAR(Dial->Value(), 100.01333, 1e-4);
    }
}

TEST_F(TBlxGuiStitchedDialTest, WheelOverAnotherControlLeavesTheDialAtEveryScale)
{
    MakeGate();
    for (double scale : {1.0, 2.0})
    {
        SCOPED_TRACE(scale);
        Form.SetScale(scale);
        Dial->SetValue(100);
        Wheel(CentreOf(*Other), 1);
        EXPECT_EQ(Dial->Value(), 100.0f);
        // Even when handed the event directly, the dial asks where the pointer is.
        MoveTo(Form, CentreOf(*Other));
        TBlxWheelEvent e;
        e.DeltaY = 1;
        EXPECT_FALSE(Dial->MouseWheel(e));
        EXPECT_EQ(Dial->Value(), 100.0f);
    }
}

TEST_F(TBlxGuiStitchedDialTest, CtrlRightClickRestoresTheDefaultValue)
{
    MakeGate();
    Dial->SetDefaultValue(80);
    Dial->SetValue(10);
    ClickControl(*Dial, TBlxMouseButton::Right);
    EXPECT_EQ(Dial->Value(), 10.0f) << "a plain right click changes nothing";
    MouseDown(Form, Centre(), TBlxMouseButton::Right, ssCtrl);
    MouseUp(Form, Centre(), TBlxMouseButton::Right, ssCtrl);
    EXPECT_EQ(Dial->Value(), 80.0f);
}

TEST_F(TBlxGuiStitchedDialTest, VetoedPressFocusesButStillTurnsWhileHeld)
{
    MakeGate();
    Dial->SetDefaultValue(80);
    int calls = 0;
    TBlxPoint seen;
    Dial->OnBeforeMouseDown =
        [&](TBlxControl& sender, TBlxMouseButton, unsigned shift, int x, int y, bool& proceed)
    {
        ++calls;
        EXPECT_EQ(&sender, Dial);
        EXPECT_TRUE(shift & ssCtrl);
        seen = {x, y};
        proceed = false;
    };
    Other->SetFocus();
    MoveTo(Form, Centre());
    MouseDown(Form, Centre(), TBlxMouseButton::Right, ssCtrl);
    MouseUp(Form, Centre(), TBlxMouseButton::Right, ssCtrl);
    EXPECT_EQ(Dial->Value(), 0.0f) << "the veto keeps the default from being restored";
    EXPECT_TRUE(Dial->Focused());
    EXPECT_EQ(seen, (TBlxPoint{24, 24}));

    // The press point is not recorded, but moves with the button held still turn the dial.
    MoveTo(Form, {Centre().X, Centre().Y + 20});
    MouseDown(Form, {Centre().X, Centre().Y + 20}, TBlxMouseButton::Left, ssCtrl);
    EXPECT_EQ(Dial->LastMousePoint(), (TBlxPoint{24, 44}));
    MoveTo(Form, {Centre().X, Centre().Y - 10});
    MouseUp(Form, {Centre().X, Centre().Y - 10});
    EXPECT_EQ(calls, 2);
    EXPECT_FLOAT_EQ(Dial->Value(), 2 * 30 / 600.0f * 200);
}

TEST_F(TBlxGuiStitchedDialTest, ZeroScrollRangeAndNaNLeaveTheValueAlone)
{
    MakeGate();
    Dial->SetValue(50);
    Dial->SetScrollRange(0);
    Drag(Centre(), {{Centre().X + 5, Centre().Y}, {Centre().X, Centre().Y - 5}});
    Wheel(Centre(), 1);
    EXPECT_EQ(Dial->Value(), 50.0f);
    Dial->SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(Dial->Value(), 50.0f);
    EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(TBlxGuiStitchedDialTest, WrapCarriesThePositionRoundTheEnds)
{
    MakeGate();
    Dial->SetWrap(true);
    Dial->SetValue(190);
    Dial->MovePosition(0.05); // 0.95 + 0.05, then + 0.05 wraps to 0.05
    EXPECT_NEAR(Dial->Value(), 10, 1e-3);
}

TEST_F(TBlxGuiStitchedDialTest, LockCursorHidesAndHoldsThePointerAtTheCentre)
{
    MakeGate();
    Dial->SetLockCursor(true);
    MoveTo(Form, Centre());
    MouseDown(Form, Centre());
    MoveTo(Form, {Centre().X, Centre().Y - 30});
    EXPECT_TRUE(TBlxPointer::Hidden());
    EXPECT_EQ(TBlxApplication::Instance().PointerPos(), Dial->ClientToScreen({24, 24}));
    EXPECT_FLOAT_EQ(Dial->Value(), 20);
    MoveTo(Form, {Centre().X, Centre().Y - 60}); // the warp's own move is skipped
    EXPECT_FLOAT_EQ(Dial->Value(), 20);
    MoveTo(Form, {Centre().X, Centre().Y - 6});
    EXPECT_FLOAT_EQ(Dial->Value(), 24);
    MouseUp(Form, {Centre().X, Centre().Y - 6});
    EXPECT_FALSE(TBlxPointer::Hidden());
}

TEST_F(TBlxGuiStitchedDialTest, TransparentDialBlendsOverTheParentPixels)
{
    MakeGate();
    Form.SetColor(TBlxColor::Rgb(255, 0, 0));
    Dial->SetTransparent(true);
    EXPECT_EQ(PixelAt({101, 101}), TBlxColor::Rgb(255, 0, 0)) << "the frame's corner is clear";
    Dial->SetTransparent(false);
    Dial->SetColor(TBlxColor::Rgb(0, 0, 255));
    EXPECT_EQ(PixelAt({101, 101}), TBlxColor::Rgb(0, 0, 255));
    TBlxColor knob = PixelAt(Centre());
    EXPECT_LT(knob.R(), 160) << "the knob body is drawn over the centre";
    EXPECT_LT(knob.B(), 160);
}

} // namespace
} // namespace tumblet
