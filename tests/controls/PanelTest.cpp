#include "ControlsFixture.h"

#include "controls/BlxGuiPanel.h"

namespace tumblet
{
namespace
{

using namespace test;

class TBlxGuiPanelTest : public TControlsFixture
{
protected:
    void SetUp() override
    {
        TControlsFixture::SetUp();
        Form.SetColor(TBlxColor::Rgb(200, 40, 40));
        Panel = &Form.Add<TBlxGuiPanel>();
        Panel->SetBounds(20, 20, 200, 100);
        Panel->SetPanelColor(TBlxColor::Rgb(0, 0, 255));
        Panel->SetBorderColor(TBlxColor::Rgb(0, 255, 0));
        Panel->SetBorderRadius(5);
    }
    TBlxGuiPanel* Panel = nullptr;
};

TEST_F(TBlxGuiPanelTest, AlphaTwentyShowsTheParentAndTwoTwentyFiveHidesIt)
{
    Panel->SetAlpha(20);
    TBlxColor inside = PixelAt({120, 70});
    EXPECT_NEAR(inside.R(), 200 * 235 / 255.0, 2);
    EXPECT_NEAR(inside.B(), 40 * 235 / 255.0 + 20, 2);
    EXPECT_EQ(PixelAt({120, 20}), TBlxColor::Rgb(0, 255, 0)) << "the outline stays opaque";
    Panel->SetAlpha(225);
    inside = PixelAt({120, 70});
    EXPECT_NEAR(inside.R(), 200 * 30 / 255.0, 2);
    EXPECT_NEAR(inside.B(), 40 * 30 / 255.0 + 225, 2);
}

TEST_F(TBlxGuiPanelTest, HiddenBorderTakesTheFillAndCornersShowTheParent)
{
    Panel->SetAlpha(225);
    Panel->SetBorderVisible(false);
    EXPECT_EQ(PixelAt({120, 20}), PixelAt({120, 70}));
    EXPECT_EQ(PixelAt({20, 20}), TBlxColor::Rgb(200, 40, 40)) << "outside the rounded corner";
}

TEST_F(TBlxGuiPanelTest, LargeRadiusRoundsTheShortSidesFully)
{
    Panel->SetBorderRadius(500);
    Panel->SetAlpha(255);
    // The short sides become half circles of radius 50: at the far left only the middle row
    // is covered.
    EXPECT_EQ(PixelAt({21, 30}), TBlxColor::Rgb(200, 40, 40));
    EXPECT_GT(PixelAt({20, 70}).G(), 200);
    EXPECT_EQ(PixelAt({70, 70}), TBlxColor::Rgb(0, 0, 255));
}

TEST_F(TBlxGuiPanelTest, ShapeIsRebuiltOnlyWhenSomethingChanged)
{
    Form.PaintAll();
    int built = Panel->RebuildCount();
    Form.PaintAll();
    Form.PaintAll();
    EXPECT_EQ(Panel->RebuildCount(), built);
    Panel->SetAlpha(100);
    Panel->SetAlpha(100);
    Form.PaintAll();
    EXPECT_EQ(Panel->RebuildCount(), built + 1);
    Panel->SetBounds(20, 20, 150, 100);
    Form.PaintAll();
    EXPECT_EQ(Panel->RebuildCount(), built + 2);
}

TEST_F(TBlxGuiPanelTest, OpaquePanelPaintsTheControlColourBehind)
{
    Panel->SetTransparent(false);
    Panel->SetColor(TBlxColor::Rgb(255, 255, 0));
    EXPECT_EQ(PixelAt({20, 20}), TBlxColor::Rgb(255, 255, 0));
}

struct TPanelSkinCase
{
    const char* Skin;
    bool Group;
    bool Dim;
    std::uint32_t Fill;
    std::uint32_t Border;
};

class TBlxGuiPanelSkinTest : public TControlsFixture,
                             public ::testing::WithParamInterface<TPanelSkinCase>
{
};

TEST_P(TBlxGuiPanelSkinTest, LoadingTakesTheSkinColours)
{
    const TPanelSkinCase& c = GetParam();
    TBlxStyle::Select(c.Skin);
    TBlxGuiPanel panel;
    panel.SetPanelGroupColor(c.Group);
    panel.SetDimBorderColor(c.Dim);
    panel.SetPalette(CurrentSkin());
    panel.Loaded();
    EXPECT_EQ(panel.PanelColor(), TBlxColor{0xFF000000u | c.Fill});
    EXPECT_EQ(panel.BorderColor(), TBlxColor{0xFF000000u | c.Border});
}

// A group panel takes the skin's group colour (the page colour in Light); the border is the
// skin's hint colour (its border colour in Light), a quarter darker or lighter when dimmed.
INSTANTIATE_TEST_SUITE_P(
    Skins, TBlxGuiPanelSkinTest,
    ::testing::Values(TPanelSkinCase{"Carbon", false, false, 0x333333, 0x6E6E6E},
                      TPanelSkinCase{"Carbon", true, true, 0x3D3D3D, 0x525252},
                      TPanelSkinCase{"Light", false, false, 0xFAFAFA, 0x939393},
                      TPanelSkinCase{"Light", true, true, 0xFFFFFF, 0xAEAEAE},
                      TPanelSkinCase{"Luna", true, false, 0xBFD1EA, 0xF5F9FE},
                      TPanelSkinCase{"Zuzereda", false, true, 0x222222, 0x393939}));

TEST(BlxGuiPanelStyleTest, SkinColoursNeedASkinAndStylesOutsideDesignMode)
{
    TBlxStyle::SelectNone();
    TBlxGuiPanel panel;
    panel.SetUseStyles(true);
    panel.SetPalette(CurrentSkin());
    panel.Loaded();
    EXPECT_EQ(panel.PanelColor(), BlxColors::White) << "without a skin the colours stay";
    TBlxStyle::Select("Carbon");
    panel.SetPalette(CurrentSkin());
    panel.Loaded(true);
    EXPECT_EQ(panel.PanelColor(), BlxColors::White) << "not in design mode";
    panel.SetUseStyles(false);
    panel.SetPalette(CurrentSkin());
    panel.Loaded();
    EXPECT_EQ(panel.PanelColor(), BlxColors::White);
    TBlxStyle::SelectNone();
}

} // namespace
} // namespace tumblet
