// Writes one picture per skin (and one without a skin) of every control in several states, for
// people to look at: snapshots/controls_gallery_<skin>.png under the build folder.

#include "ControlsFixture.h"
#include "ui/SkinSnapshotTest.h"

#include "controls/BlxArtwork.h"
#include "controls/BlxGuiPanel.h"
#include "controls/BlxGuiStitchedDial.h"
#include "controls/BlxGuiStitchedSwitch.h"
#include "controls/BlxMenuButton.h"
#include "controls/BlxNumericInput.h"
#include "controls/BlxSlider.h"
#include "controls/BlxSpTBXSpeedButton.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxLabel.h"

#include <string>

namespace tumblet
{
namespace
{

using namespace test;

/// The editor's tiled background, as the editor window paints it.
class TTiledBackground : public TBlxControl
{
public:
    void Paint(TBlxCanvas& canvas) override
    {
        auto tile = TBlxArtwork::Image("EditorBackground");
        if (!tile)
        {
            return;
        }
        cairo_t* cr = canvas.Cairo();
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile->Surface());
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
        cairo_pattern_destroy(pattern);
    }
};

class TControlsGallery
{
public:
    explicit TControlsGallery(TBlxWindow& form) : FForm(form)
    {
        FImages.LoadDialStrips();
        FForm.SetClientSize(720, 330);
        FForm.SetColor(TBlxStyle::Palette().ButtonFace);
        FForm.Add<TTiledBackground>().SetBounds(0, 0, 720, 330);
        auto& main = FForm.Add<TBlxGuiPanel>();
        main.SetBounds(3, 4, 714, 322);
        main.SetAlpha(225);
        main.SetBorderRadius(5);
        main.SetPalette(CurrentSkin());
        main.Loaded();
        FMain = &main;
        auto& group = main.Add<TBlxGuiPanel>();
        group.SetBounds(8, 8, 540, 196);
        group.SetAlpha(20);
        group.SetBorderRadius(1);
        group.SetPanelGroupColor(true);
        group.SetDimBorderColor(true);
        group.SetPalette(CurrentSkin());
        group.Loaded();
        FGroup = &group;
    }

    void Build()
    {
        const int strips[] = {0, 1, 2, 3};
        const float fractions[] = {0, 0.25f, 0.5f, 0.75f, 1};
        for (int row = 0; row < 4; ++row)
        {
            Caption(*FGroup, 6, 12 + row * 46, (*FImages.Item(strips[row])).DisplayName());
            for (int col = 0; col < 5; ++col)
            {
                auto& dial = FGroup->Add<TBlxGuiStitchedDial>();
                dial.SetBounds(120 + col * 80, row * 46 - 1, 48, 48);
                dial.SetTransparent(true);
                dial.SetImageList(&FImages);
                dial.SetImageIndex(strips[row]);
                dial.SetValue(100 * fractions[col]);
            }
        }
        BuildRightColumn();
        BuildBottomRow();
    }
    const TBlxGuiPanel& Main() const { return *FMain; }

private:
    void Caption(TBlxControl& parent, int x, int y, const std::string& text)
    {
        auto& label = parent.Add<TBlxLabel>();
        label.SetBounds(x, y, 110, 21);
        label.SetFont({kBlxFontSegoeUI, 13, true, TBlxStyle::Palette().ButtonText});
        label.SetTextColor(TBlxStyle::Palette().ButtonText);
        label.SetCaption(text);
    }

    void BuildRightColumn()
    {
        Caption(*FMain, 560, 8, "Switches");
        for (int i = 0; i < 2; ++i)
        {
            auto& s = FMain->Add<TBlxGuiStitchedSwitch>();
            s.SetBounds(570 + i * 40, 34, 24, 24);
            s.SetPalette(CurrentSkin());
            s.Loaded();
            s.SetValue(i == 1);
        }
        Caption(*FMain, 560, 70, "Buttons");
        auto& menuButton = FMain->Add<TBlxMenuButton>();
        menuButton.SetBounds(570, 96, 26, 26);
        menuButton.SetPalette(CurrentSkin());
        menuButton.Loaded();
        auto& button = FMain->Add<TBlxSpTBXSpeedButton>();
        button.SetBounds(570, 130, 136, 25);
        button.SetFont({kBlxFontSegoeUI, 12, true});
        button.SetCaption("1/16");
        button.SetDropDownMenu(&FMenu);
        button.SetPalette(CurrentSkin());
        auto& plain = FMain->Add<TBlxSpTBXSpeedButton>();
        plain.SetBounds(570, 162, 136, 26);
        plain.SetFont({kBlxFontSegoeUI, 13, true});
        plain.SetCaption("Init");
        plain.SetDropDownArrow(false);
        plain.SetPalette(CurrentSkin());
    }

    void BuildBottomRow()
    {
        Caption(*FMain, 10, 214, "Velocity Fixed");
        for (int i = 0; i < 2; ++i)
        {
            auto& slider = FMain->Add<TBlxSlider>();
            slider.SetBounds(10 + i * 186, 238, 172, 24);
            slider.SetMaxValue(127);
            slider.SetPalette(CurrentSkin());
            slider.Loaded();
            slider.SetValue(i == 0 ? 64 : 90);
            slider.SetRandom(i == 0 ? 0 : 25);
            slider.SetUseRandom(i == 1);
        }
        Caption(*FMain, 390, 214, "Transpose");
        for (int i = 0; i < 3; ++i)
        {
            auto& input = FMain->Add<TBlxNumericInput>();
            input.SetBounds(390 + i * 60, 238, 50, 24);
            input.SetMinValue(-36);
            input.SetMaxValue(36);
            input.SetPalette(CurrentSkin());
            input.Loaded();
            input.SetValue(i == 0 ? 0 : i == 1 ? 12 : -7);
            input.SetHighlight(i == 2);
            input.SetCenter(i != 1);
        }
    }

    TBlxWindow& FForm;
    TGuiStitchedPNGList FImages;
    TBlxGuiPanel* FMain = nullptr;
    TBlxGuiPanel* FGroup = nullptr;
    TBlxMenu FMenu;
};

class TControlsGalleryTest : public TControlsFixture,
                             public ::testing::WithParamInterface<std::string>
{
};

TEST_P(TControlsGalleryTest, WritesASnapshotOfEveryControl)
{
    std::string skin = GetParam();
    if (!skin.empty())
    {
        TBlxStyle::Select(skin);
    }
    TBlxWindow form;
    TControlsGallery gallery(form);
    gallery.Build();
    ASSERT_TRUE(form.Show());
    form.PaintAll();
    std::string name = skin.empty() ? "Plain" : skin;
    for (char& c : name)
    {
        c = c == ' ' ? '_' : c;
    }
    EXPECT_TRUE(form.BackBuffer().SavePng(SnapshotPath("controls_gallery_" + name)));
    // A sanity sample: the main panel's top edge shows its border colour, opaque.
    EXPECT_EQ(form.BackBuffer().Pixel(360, 4), gallery.Main().BorderColor());
    EXPECT_TRUE(EveryControlIsDrawn(form, form.BackBuffer()));
}

INSTANTIATE_TEST_SUITE_P(Skins, TControlsGalleryTest,
                         ::testing::Values("", "Carbon", "Zuzereda", "Light", "Luna",
                                           "Divodo Vididi Vodov"));

} // namespace
} // namespace tumblet
