#include "ControlsFixture.h"

#include "controls/BlxGuiStitchedSwitch.h"

namespace tumblet
{
namespace
{

using namespace test;

class TBlxGuiStitchedSwitchTest : public TControlsFixture
{
protected:
    TBlxGuiStitchedSwitch& MakeSwitch()
    {
        auto& s = Form.Add<TBlxGuiStitchedSwitch>();
        s.SetBounds(50, 50, 24, 24);
        s.OnChange = [this](TBlxGuiStitchedSwitch&) { ++Changes; };
        return s;
    }
    int Changes = 0;
};

TEST_F(TBlxGuiStitchedSwitchTest, LeftAndRightClicksEachInvertTheValueOnce)
{
    auto& s = MakeSwitch();
    EXPECT_FALSE(s.Value());
    ClickControl(s);
    EXPECT_TRUE(s.Value());
    EXPECT_EQ(Changes, 1);
    ClickControl(s, TBlxMouseButton::Right);
    EXPECT_FALSE(s.Value());
    ClickControl(s, TBlxMouseButton::Right);
    EXPECT_TRUE(s.Value());
    EXPECT_EQ(Changes, 3);
}

TEST_F(TBlxGuiStitchedSwitchTest, SettingTheSameStateIsSilent)
{
    auto& s = MakeSwitch();
    s.SetValue(false);
    EXPECT_EQ(Changes, 0);
    s.SetValue(true);
    s.SetValue(true);
    EXPECT_EQ(Changes, 1);
    s.BeginLoading();
    s.SetValue(false);
    s.SetPalette(CurrentSkin());
    s.Loaded();
    EXPECT_EQ(Changes, 1) << "no change is reported while loading";
    EXPECT_FALSE(s.Value());
}

TEST_F(TBlxGuiStitchedSwitchTest, VetoedPressKeepsTheValue)
{
    auto& s = MakeSwitch();
    s.OnBeforeMouseDown = [](TBlxControl&, TBlxMouseButton, unsigned, int, int, bool& proceed)
    { proceed = false; };
    ClickControl(s);
    ClickControl(s, TBlxMouseButton::Right);
    EXPECT_FALSE(s.Value());
    EXPECT_EQ(Changes, 0);
}

TEST_F(TBlxGuiStitchedSwitchTest, IgnoresTheWheel)
{
    auto& s = MakeSwitch();
    Wheel(CentreOf(s), 3);
    EXPECT_FALSE(s.Value());
}

struct TSkinStrip
{
    const char* Skin;
    const char* Strip;
};

class TBlxGuiStitchedSwitchSkinTest : public TControlsFixture,
                                      public ::testing::WithParamInterface<TSkinStrip>
{
};

TEST_P(TBlxGuiStitchedSwitchSkinTest, LoadingPicksTheStripOfTheSkin)
{
    TBlxStyle::Select(GetParam().Skin);
    auto& s = Form.Add<TBlxGuiStitchedSwitch>();
    s.SetBounds(0, 0, 24, 24);
    s.BeginLoading();
    s.SetPalette(CurrentSkin());
    s.Loaded();
    EXPECT_EQ(s.StripName(), GetParam().Strip);
    ASSERT_NE(s.ImageItem(), nullptr);
    EXPECT_EQ(s.ImageItem()->Width(), 24);
    EXPECT_EQ(s.ImageItem()->Height(), 48);
    // The strips are opaque; the dark one is dark at its corner, the bright one bright.
    TBlxColor corner = PixelAt({1, 1});
    EXPECT_EQ(corner.A(), 255);
    bool dark = std::string(GetParam().Strip) == "STITCHED_ONOFF_DARK";
    EXPECT_EQ(corner.R() < 128, dark);
}

INSTANTIATE_TEST_SUITE_P(Skins, TBlxGuiStitchedSwitchSkinTest,
                         ::testing::Values(TSkinStrip{"Carbon", "STITCHED_ONOFF_DARK"},
                                           TSkinStrip{"Zuzereda", "STITCHED_ONOFF_DARK"},
                                           TSkinStrip{"Light", "STITCHED_ONOFF_BRIGHT"},
                                           TSkinStrip{"Luna", "STITCHED_ONOFF_BRIGHT"},
                                           TSkinStrip{"Divodo Vididi Vodov",
                                                      "STITCHED_ONOFF_BRIGHT"}));

TEST(BlxGuiStitchedSwitchStripTest, ASkinChangeShowsOnlyAfterReloading)
{
    TBlxStyle::Select("Carbon");
    TBlxGuiStitchedSwitch s;
    s.SetPalette(CurrentSkin());
    s.Loaded();
    TBlxStyle::Select("Light");
    EXPECT_EQ(s.StripName(), "STITCHED_ONOFF_DARK");
    s.SetPalette(CurrentSkin());
    s.Loaded();
    EXPECT_EQ(s.StripName(), "STITCHED_ONOFF_BRIGHT");
    TBlxStyle::SelectNone();
}

} // namespace
} // namespace tumblet
