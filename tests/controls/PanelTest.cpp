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
};

class TBlxGuiPanelSkinTest : public TControlsFixture,
                             public ::testing::WithParamInterface<TPanelSkinCase>
{
};

TEST_P(TBlxGuiPanelSkinTest, LoadingTakesTheSkinColours)
{
    const TPanelSkinCase& c = GetParam();
    TBlxStyle::Select(c.Skin);
    const TBlxPalette& p = TBlxStyle::Palette();
    bool light = std::string(c.Skin) == "Light";
    TBlxGuiPanel panel;
    panel.SetPanelGroupColor(c.Group);
    panel.SetDimBorderColor(c.Dim);
    panel.SetPalette(CurrentSkin());
    panel.Loaded();
    TBlxColor fill = !c.Group ? p.Panel : light ? p.GenericBackground : p.CategoryPanelGroup;
    TBlxColor border = light ? (c.Dim ? p.Border.Lighten(25) : p.Border)
                             : (c.Dim ? p.HintGradientBase.Darken(25) : p.HintGradientBase);
    EXPECT_EQ(panel.PanelColor(), fill);
    EXPECT_EQ(panel.BorderColor(), border);
}

INSTANTIATE_TEST_SUITE_P(Skins, TBlxGuiPanelSkinTest,
                         ::testing::Values(TPanelSkinCase{"Carbon", false, false},
                                           TPanelSkinCase{"Carbon", true, true},
                                           TPanelSkinCase{"Light", false, false},
                                           TPanelSkinCase{"Light", true, true},
                                           TPanelSkinCase{"Luna", true, false},
                                           TPanelSkinCase{"Zuzereda", false, true}));

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
