#include "ControlsFixture.h"

#include "controls/BlxNumericInput.h"

#include <string>

namespace tumblet
{
namespace
{

using namespace test;

const std::string kFigureSpace = "\xE2\x80\x87";
const std::string kMinus = "\xE2\x88\x92";

class TBlxNumericInputTest : public TControlsFixture
{
protected:
    void SetUp() override
    {
        TControlsFixture::SetUp();
        Input = &Form.Add<TBlxNumericInput>();
        Input->SetBounds(20, 20, 50, 24);
        Input->SetMinValue(-36);
        Input->SetMaxValue(36);
        Input->OnChange = [this](TBlxNumericInput&) { ++Changes; };
    }
    /// Press at the centre, then one move message per step, each `dy` pixels from the last.
    void DragSteps(int steps, int dy, unsigned shift = 0)
    {
        TBlxPoint p = CentreOf(*Input);
        MoveTo(Form, p);
        MouseDown(Form, p);
        for (int i = 0; i < steps; ++i)
        {
            p.Y += dy;
            MoveTo(Form, p, shift);
        }
        MouseUp(Form, p);
    }

    TBlxNumericInput* Input = nullptr;
    int Changes = 0;
};

TEST_F(TBlxNumericInputTest, NarrowerRangeClampsTheValueWithAChange)
{
    Input->SetValue(30);
    Changes = 0;
    Input->SetMaxValue(16);
    EXPECT_FLOAT_EQ(Input->Value(), 16.0f);
    EXPECT_EQ(Changes, 1);
    Input->SetMinValue(20);
    EXPECT_FLOAT_EQ(Input->Value(), 20.0f);
    EXPECT_EQ(Changes, 2);
}

TEST_F(TBlxNumericInputTest, EveryMoveMessageStepsOnceWhateverTheDistance)
{
    DragSteps(10, -1);
    EXPECT_FLOAT_EQ(Input->Value(), 2.5f);
    DragSteps(10, -7, ssShift);
    EXPECT_FLOAT_EQ(Input->Value(), 3.0f);
    DragSteps(4, 30);
    EXPECT_FLOAT_EQ(Input->Value(), 2.0f);
    DragSteps(3, 0);
    EXPECT_FLOAT_EQ(Input->Value(), 2.0f) << "an equal y changes nothing";
    EXPECT_EQ(Changes, 24);
    EXPECT_EQ(Input->ValueAsInteger(), 2);
}

TEST_F(TBlxNumericInputTest, DragShowsTheResizePointerUntilRelease)
{
    TBlxPoint p = CentreOf(*Input);
    MouseDown(Form, p);
    EXPECT_TRUE(Input->DragCursorShown());
    MouseUp(Form, p);
    EXPECT_FALSE(Input->DragCursorShown());
}

TEST_F(TBlxNumericInputTest, VetoedPressLeavesCursorAndValueAlone)
{
    Input->OnBeforeMouseDown = [](TBlxControl&, TBlxMouseButton, unsigned, int, int, bool& proceed)
    { proceed = false; };
    TBlxPoint p = CentreOf(*Input);
    MouseDown(Form, p);
    EXPECT_FALSE(Input->DragCursorShown());
    MoveTo(Form, {p.X, p.Y - 5});
    MoveTo(Form, {p.X, p.Y - 9});
    MouseUp(Form, {p.X, p.Y - 9});
    EXPECT_EQ(Input->Value(), 0.0f);
    EXPECT_EQ(Changes, 0);
}

TEST_F(TBlxNumericInputTest, WheelStepsAnEighthAndClamps)
{
    Wheel(CentreOf(*Input), 1);
    Wheel(CentreOf(*Input), 1);
    Wheel(CentreOf(*Input), -1);
    EXPECT_FLOAT_EQ(Input->Value(), 0.125f);
    Input->SetValue(100);
    EXPECT_EQ(Input->Value(), 36.0f);
    Wheel(CentreOf(*Input), 1);
    EXPECT_EQ(Input->Value(), 36.0f);
    Input->SetMaxValue(16);
    EXPECT_EQ(Input->Value(), 16.0f) << "a new bound pulls the value";
}

TEST_F(TBlxNumericInputTest, TransposePopupHasThreeGroupsInOrder)
{
    Input->OnGetPopupGroup = [](TBlxNumericInput&, int v, std::string& caption) {
        caption = v > 0 ? "> 0" : v == 0 ? "= 0" : "< 0";
    };
    Input->OnGetText = [](TBlxNumericInput&, std::string& text, float v)
    { text = v > 0 ? "+" + text : text; };
    int populated = 0;
    Input->OnPopulatePopupMenu = [&](TBlxNumericInput&, TBlxPopupMenu& menu)
    {
        ++populated;
        EXPECT_EQ(menu.Items().Count(), 3);
    };
    Input->SetPalette(CurrentSkin());
    Input->Loaded();
    Input->SetPalette(CurrentSkin());
    Input->Loaded(); // filling again replaces the items
    TBlxMenuItem& top = Input->Popup().Items();
    ASSERT_EQ(top.Count(), 3);
    EXPECT_EQ(populated, 2);
    EXPECT_EQ(top.Item(0).Caption(), "> 0");
    EXPECT_EQ(top.Item(1).Caption(), "= 0");
    EXPECT_EQ(top.Item(2).Caption(), "< 0");
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(top.Item(i).Tag(), -999);
    }
    EXPECT_EQ(top.Item(0).Count(), 36);
    EXPECT_EQ(top.Item(0).Item(0).Caption(), "+36");
    EXPECT_EQ(top.Item(0).Item(35).Caption(), "+1") << "already two characters wide";
    EXPECT_EQ(top.Item(1).Item(0).Caption(), kFigureSpace + "0");
    EXPECT_EQ(top.Item(2).Item(0).Caption(), kMinus + "1");
    EXPECT_EQ(top.Item(2).Item(35).Tag(), -36);
}

TEST_F(TBlxNumericInputTest, OpeningChecksTheValueThenCallsTheHandler)
{
    Input->SetMinValue(0);
    Input->SetMaxValue(16);
    bool checkedBefore = false;
    Input->OnPopupPopupMenu = [&](TBlxNumericInput&, TBlxPopupMenu& menu)
    { checkedBefore = menu.Items().Item(16 - 4).Checked(); };
    Input->SetPalette(CurrentSkin());
    Input->Loaded();
    TBlxMenuItem& top = Input->Popup().Items();
    ASSERT_EQ(top.Count(), 17);
    EXPECT_EQ(top.Item(16 - 5).Caption(), kFigureSpace + "5");
    EXPECT_EQ(top.Item(0).Caption(), "16");
    Input->SetValue(4.5f); // halves go to the even 4
    Input->Popup().OnPopup(Input->Popup());
    EXPECT_TRUE(checkedBefore);
    top.Item(0).Click();
    EXPECT_EQ(Input->Value(), 16.0f);
}

TEST_F(TBlxNumericInputTest, WithoutShowPopupTheMenuStaysEmpty)
{
    Input->SetShowPopup(false);
    Input->SetPalette(CurrentSkin());
    Input->Loaded();
    EXPECT_EQ(Input->Popup().Items().Count(), 0);
    EXPECT_EQ(Input->PopupMenu(), &Input->Popup());
}

TEST_F(TBlxNumericInputTest, PaintsHighlightAndSkinColours)
{
    TBlxStyle::Select("Zuzereda");
    Input->SetPalette(CurrentSkin());
    Input->Loaded();
    EXPECT_EQ(PixelAt({20, 20}), TBlxColor::Rgb(0x45, 0x45, 0x45));
    EXPECT_EQ(PixelAt({22, 22}), TBlxColor::Rgb(0x27, 0x27, 0x27));
    Input->SetHighlight(true);
    EXPECT_EQ(PixelAt({22, 22}), TBlxColor::Rgb(0x36, 0x9E, 0x8E));
}

TEST_F(TBlxNumericInputTest, WithoutASkinTheDesignValuesStay)
{
    Input->SetBorderWidth(4);
    Input->SetColor(TBlxColor::Rgb(1, 2, 3));
    Input->SetPalette(CurrentSkin());
    Input->Loaded();
    EXPECT_EQ(Input->BorderWidth(), 4);
    EXPECT_EQ(Input->Color(), TBlxColor::Rgb(1, 2, 3));
}

} // namespace
} // namespace tumblet
