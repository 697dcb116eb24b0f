#include "ControlsFixture.h"

#include "controls/BlxSlider.h"

#include <cmath>
#include <string>
#include <vector>

namespace tumblet
{
namespace
{

using namespace test;

/// The editor's Velocity Fixed slider: 172 pixels wide, frame 1, 0..127.
class TBlxSliderTest : public TControlsFixture
{
protected:
    void SetUp() override
    {
        TControlsFixture::SetUp();
        Slider = &Form.Add<TBlxSlider>();
        Slider->SetBounds(10, 10, 172, 24);
        Slider->SetMaxValue(127);
        Slider->OnChange = [this](TBlxSlider&) { Events.push_back("Value"); };
        Slider->OnChangeRandom = [this](TBlxSlider&) { Events.push_back("Random"); };
    }
    TBlxPoint At(int x) const { return {10 + x, 20}; }

    TBlxSlider* Slider = nullptr;
    std::vector<std::string> Events;
};

struct TPress
{
    int X;
    float Expected;
};

class TBlxSliderPressTest : public TBlxSliderTest, public ::testing::WithParamInterface<TPress>
{
};

TEST_P(TBlxSliderPressTest, PressSetsTheValueUnderThePointer)
{
    Slider->SetValue(50);
    MouseDown(Form, At(GetParam().X));
    MouseUp(Form, At(GetParam().X));
    EXPECT_EQ(Slider->Value(), GetParam().Expected) << "x = " << GetParam().X;
}

// 85 / 170 * 127 = 63.5 goes to the even 64; 171 lies on the right frame and is ignored,
// so a press reaches 126 at most (a drag goes further).
INSTANTIATE_TEST_SUITE_P(Positions, TBlxSliderPressTest,
                         ::testing::Values(TPress{86, 64}, TPress{1, 0}, TPress{0, 0},
                                           TPress{170, 126}, TPress{171, 50}, TPress{2, 1}));

TEST_F(TBlxSliderTest, ShiftMidDragContinuesFromThePointerAndGoesFiner)
{
    MouseDown(Form, At(86));
    MoveTo(Form, At(100));
    float atShift = std::nearbyint(99 / 170.0 * 127);
    EXPECT_EQ(Slider->Value(), atShift);
    MoveTo(Form, At(120), ssShift);
    EXPECT_EQ(Slider->Value(), std::nearbyint(119 / 170.0 * 127)) << "anchored where Shift began";
    MoveTo(Form, At(171), ssShift);
    double fine = ((171 - 120) / (127 / 25.0) + 120 - 1) / 170 * 127;
    EXPECT_EQ(Slider->Value(), std::nearbyint(fine));
    MoveTo(Form, At(60)); // still fine after Shift is let go
    EXPECT_EQ(Slider->Value(), std::nearbyint(((60 - 120) / (127 / 25.0) + 119) / 170 * 127));
    MouseUp(Form, At(60));
    EXPECT_FALSE(Slider->MouseDownInfo().Fine);
    EXPECT_EQ(Slider->MouseDownInfo().AnchorX, -1);
}

TEST_F(TBlxSliderTest, AltPressEditsRandomAndShowsOnlyWithUseRandom)
{
    Slider->SetValue(40);
    MouseDown(Form, At(86), TBlxMouseButton::Left, ssAlt);
    MoveTo(Form, At(100));
    MouseUp(Form, At(100));
    EXPECT_EQ(Slider->Value(), 40.0f);
    EXPECT_EQ(Slider->Random(), std::nearbyint(99 / 170.0 * 127) - 40);
    TBlxPoint inRange{10 + 70, 13};
    EXPECT_EQ(PixelAt(inRange), TBlxColor::Rgb(255, 255, 255)) << "UseRandom off: nothing shown";
    Slider->SetUseRandom(true);
    EXPECT_EQ(PixelAt(inRange), Slider->RandomColor());
    EXPECT_EQ(PixelAt({10 + 20, 13}), Slider->ValueColor());
}

TEST_F(TBlxSliderTest, ValuePushingRandomDownFiresOnChangeRandomFirst)
{
    Slider->SetValue(100);
    Slider->SetRandom(20);
    Events.clear();
    Slider->SetValue(120);
    EXPECT_EQ(Slider->Random(), 7.0f);
    EXPECT_EQ(Events, (std::vector<std::string>{"Random", "Value"}));
    Events.clear();
    Slider->SetRandom(-3);
    Slider->SetRandom(50);
    EXPECT_EQ(Slider->Random(), 7.0f) << "0 then back to the room left above the value";
    EXPECT_EQ(Events, (std::vector<std::string>{"Random", "Random"}));
    Events.clear();
    Slider->SetValue(120);
    EXPECT_TRUE(Events.empty());
}

TEST_F(TBlxSliderTest, WheelStepsAQuarterOnlyUnderThePointer)
{
    Slider->SetValue(10);
    Wheel(At(50), 1);
    Wheel(At(50), 3); // the size of the delta does not matter
    EXPECT_EQ(Slider->Value(), 10.5f);
    Wheel(At(50), -1, ssAlt);
    Wheel(At(50), 1, ssAlt);
    EXPECT_EQ(Slider->Random(), 0.25f);
    MoveTo(Form, {300, 200});
    TBlxWheelEvent e;
    e.DeltaY = 1;
    EXPECT_FALSE(Slider->MouseWheel(e));
    EXPECT_EQ(Slider->Value(), 10.5f);
}

TEST_F(TBlxSliderTest, VetoedPressLetsNoMoveThrough)
{
    Slider->OnBeforeMouseDown = [](TBlxControl&, TBlxMouseButton, unsigned, int, int, bool& proceed)
    { proceed = false; };
    Drag(At(86), {At(100), At(120)});
    EXPECT_EQ(Slider->Value(), 0.0f);
    EXPECT_TRUE(Slider->Focused()) << "the slider takes the focus before asking";
}

TEST_F(TBlxSliderTest, TextComesFromTheHandlerAndEmptySuppressesIt)
{
    Slider->SetValue(12.5f);
    EXPECT_EQ(Slider->DisplayText(), "12.5");
    Slider->OnGetText = [](TBlxSlider&, std::string& text, float random, float value)
    { text = value > 100 ? "" : std::to_string(int(value)) + "/" + std::to_string(int(random)); };
    EXPECT_EQ(Slider->DisplayText(), "12/0");
    Slider->SetValue(110);
    EXPECT_EQ(Slider->DisplayText(), "");
}

/// The editor's groups: 127..121, 120..111, ..., 20..11, then 10..0.
std::string VelocityGroup(int n)
{
    if (n <= 10)
    {
        return "10 - 0";
    }
    int high = std::min(127, 10 * ((n + 9) / 10));
    int low = 10 * ((n - 1) / 10) + 1;
    return std::to_string(high) + " - " + std::to_string(low);
}

TEST_F(TBlxSliderTest, PopupListsEveryValueInGroupsAndChecksTheCurrentOne)
{
    Slider->SetShowPopup(true);
    Slider->OnGetPopupGroup = [](TBlxSlider&, int v, std::string& caption)
    { caption = VelocityGroup(v); };
    Slider->OnGetText = [](TBlxSlider&, std::string& text, float, float) { text += "!"; };
    Slider->SetPalette(CurrentSkin());
    Slider->Loaded();
    TBlxPopupMenu* menu = Slider->Popup();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Slider->PopupMenu(), menu);
    TBlxMenuItem& top = menu->Items();
    ASSERT_EQ(top.Count(), 13);
    EXPECT_EQ(top.Item(0).Caption(), "127 - 121");
    EXPECT_EQ(top.Item(0).Tag(), -1);
    EXPECT_EQ(top.Item(0).Count(), 7);
    EXPECT_EQ(top.Item(12).Count(), 11);
    EXPECT_EQ(top.Item(0).Item(0).Caption(), "127!") << "menu text falls back to OnGetText";
    EXPECT_EQ(top.Item(12).Item(10).Tag(), 0);

    Slider->SetValue(95.4f);
    menu->OnPopup(*menu);
    EXPECT_TRUE(top.Item(3).Checked());
    EXPECT_TRUE(top.Item(3).Item(5).Checked());
    EXPECT_EQ(top.Item(3).Item(5).Tag(), 95);
    top.Item(5).Item(0).Click();
    EXPECT_EQ(Slider->Value(), 80.0f);
}

TEST_F(TBlxSliderTest, PopulateHandlerAloneFillsThePopup)
{
    Slider->SetShowPopup(true);
    Slider->OnPopulatePopupMenu = [](TBlxSlider&, TBlxPopupMenu& menu)
    { menu.Items().Add("Only", 3); };
    Slider->SetPalette(CurrentSkin());
    Slider->Loaded();
    ASSERT_EQ(Slider->Popup()->Items().Count(), 1);
    EXPECT_FALSE(Slider->Popup()->OnPopup);
}

TEST_F(TBlxSliderTest, SkinsSetTheColoursAndTheFrame)
{
    Slider->SetBorderWidth(3);
    TBlxStyle::Select("Luna");
    Slider->SetPalette(CurrentSkin());
    Slider->Loaded();
    EXPECT_EQ(Slider->BorderWidth(), 1);
    EXPECT_EQ(Slider->Color(), TBlxColor::Rgb(0xD2, 0xE0, 0xF1));
    EXPECT_EQ(Slider->ValueColor(), TBlxColor::Rgb(0xF8, 0xC1, 0x2A));
    EXPECT_EQ(Slider->RandomColor(), TBlxColor::Rgb(0xFA, 0xD5, 0x6E));
    EXPECT_EQ(Slider->Font().Color, TBlxColor::Rgb(0x33, 0x33, 0x33));
    EXPECT_EQ(PixelAt({10, 10}), TBlxColor::Rgb(0x93, 0x93, 0x93));
    EXPECT_EQ(PixelAt({11, 11}), Slider->Color()) << "value 0 leaves the track empty";
}

} // namespace
} // namespace tumblet
