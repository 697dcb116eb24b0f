#include "ControlsFixture.h"

#include "controls/BlxArtwork.h"
#include "controls/BlxMenuButton.h"
#include "controls/BlxPopupMenu.h"
#include "controls/BlxSpTBXSpeedButton.h"

namespace tumblet
{
namespace
{

using namespace test;

class TBlxSpTBXSpeedButtonTest : public TControlsFixture
{
protected:
    void SetUp() override
    {
        TControlsFixture::SetUp();
        Button = &Form.Add<TBlxSpTBXSpeedButton>();
        Button->SetBounds(10, 10, 136, 25);
        Button->SetDropDownMenu(&Menu);
        // A menu whose items are all hidden reports its opening and returns at once.
        Menu.Items().Add("Hidden", 1).SetVisible(false);
        Menu.OnPopup = [this](TBlxMenu&) { ++Opened; };
    }
    TBlxSpTBXSpeedButton* Button = nullptr;
    TBlxPopupMenu Menu;
    int Opened = 0;
};

TEST_F(TBlxSpTBXSpeedButtonTest, VetoedPressOpensNoMenuAndTheNextPressDoes)
{
    bool veto = true;
    Button->OnBeforeMouseDown = [&](TBlxControl&, TBlxMouseButton, unsigned, int, int,
                                    bool& proceed) { proceed = !veto; };
    MoveTo(Form, CentreOf(*Button));
    MouseDown(Form, CentreOf(*Button));
    EXPECT_FALSE(Button->Down()) << "no pressed look";
    EXPECT_FALSE(Button->ClickAllowed());
    MouseUp(Form, CentreOf(*Button));
    EXPECT_EQ(Opened, 0);
    EXPECT_TRUE(Button->ClickAllowed());
    veto = false;
    ClickControl(*Button);
    EXPECT_EQ(Opened, 1);
}

TEST_F(TBlxSpTBXSpeedButtonTest, WithoutMenuAClickRaisesOnClickAndKeepsSelectedValue)
{
    Button->SetDropDownMenu(nullptr);
    int clicks = 0;
    Button->OnClick = [&](TBlxControl&) { ++clicks; };
    EXPECT_EQ(Button->SelectedValue(), -1);
    Button->SetSelectedValue(7);
    ClickControl(*Button);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Button->SelectedValue(), 7);
    // A press released outside the button is no click.
    MouseDown(Form, CentreOf(*Button));
    MouseUp(Form, {300, 200});
    EXPECT_EQ(clicks, 1);
}

TEST(BlxPopupMenuTest, CheckByTagWithNoMatchUnchecksEverything)
{
    TBlxPopupMenu menu;
    TBlxMenuItem& group = menu.Items().Add("Group", -1);
    group.Add("a", 1).SetChecked(true);
    group.SetChecked(true);
    menu.Items().Add("b", 2).SetChecked(true);
    TBlxPopupMenu::CheckMenuItemByTag(menu, 99, nullptr, true);
    EXPECT_FALSE(group.Checked());
    EXPECT_FALSE(group.Item(0).Checked());
    EXPECT_FALSE(menu.Items().Item(1).Checked());
}

TEST(BlxPopupMenuTest, CheckByTagTwoLevelsDeepMarksBothSubmenus)
{
    TBlxPopupMenu menu;
    TBlxMenuItem& outer = menu.Items().Add("Outer", -999);
    TBlxMenuItem& inner = outer.Add("Inner", -999);
    inner.Add("x", 5);
    TBlxMenuItem& other = menu.Items().Add("Other", -999);
    other.Add("y", 6).SetChecked(true);
    other.SetChecked(true);
    TBlxPopupMenu::CheckMenuItemByTag(menu, 5, nullptr, true);
    EXPECT_TRUE(inner.Item(0).Checked());
    EXPECT_TRUE(inner.Checked());
    EXPECT_TRUE(outer.Checked());
    EXPECT_FALSE(other.Checked());
    EXPECT_FALSE(other.Item(0).Checked());
    EXPECT_FALSE(menu.Items().Checked()) << "the invisible top level stays as it was";

    TBlxPopupMenu::CheckMenuItemByTag(menu, 5, nullptr, false);
    EXPECT_TRUE(inner.Item(0).Checked());
    EXPECT_FALSE(inner.Checked());
    EXPECT_FALSE(outer.Checked());

    // A root limits the walk to one submenu.
    other.Item(0).SetChecked(true);
    TBlxPopupMenu::CheckMenuItemByTag(menu, 5, &inner, true);
    EXPECT_TRUE(other.Item(0).Checked());
    EXPECT_TRUE(outer.Checked());
}

class TBlxMenuButtonTest : public TControlsFixture
{
};

TEST_F(TBlxMenuButtonTest, GlyphsTakeTheSkinButtonTextColours)
{
    TBlxStyle::Select("Carbon");
    auto& b = Form.Add<TBlxMenuButton>();
    EXPECT_EQ(b.Width(), 26);
    EXPECT_FALSE(b.DropDownArrow());
    b.SetPalette(CurrentSkin());
    b.Loaded();
    ASSERT_EQ(b.GlyphCount(), 2);
    const TBlxPalette& p = TBlxStyle::Palette();
    EXPECT_EQ(b.GlyphAt(0).Pixel(2, 3), p.ButtonText);
    EXPECT_EQ(b.GlyphAt(1).Pixel(13, 12), p.ButtonTextPressed);
    EXPECT_EQ(b.GlyphAt(0).Pixel(0, 0).A(), 0) << "magenta is transparent";
    EXPECT_EQ(b.GlyphAt(0).Pixel(8, 5).A(), 0);
}

TEST_F(TBlxMenuButtonTest, ShowsThePressedGlyphWhileHeldAndNoGlyphWithoutSkin)
{
    auto& b = Form.Add<TBlxMenuButton>();
    b.SetBounds(20, 20, 26, 26);
    b.SetPalette(CurrentSkin());
    b.Loaded();
    EXPECT_EQ(b.GlyphCount(), 0);
    TBlxStyle::Select("Light");
    b.SetPalette(CurrentSkin());
    b.Loaded();
    MouseDown(Form, CentreOf(b), TBlxMouseButton::Right);
    EXPECT_EQ(b.ShownGlyph(), 1);
    // The bar at glyph row 3 lands at button row 5 + 3 when the glyph is drawn pressed.
    EXPECT_EQ(PixelAt({20 + 5 + 4, 20 + 5 + 3 + 1}), TBlxStyle::Palette().ButtonTextPressed);
    MouseUp(Form, CentreOf(b), TBlxMouseButton::Right);
    EXPECT_EQ(b.ShownGlyph(), 0);
}

TEST(BlxMenuButtonRecolourTest, KeepsPixelsThatAreNeitherBlackNorMagenta)
{
    TBlxPixelBuffer source(2, 1);
    {
        TCairoContextHandle cr = source.CreateContext();
        cairo_set_source_rgb(cr.get(), 0, 0, 0);
        cairo_rectangle(cr.get(), 0, 0, 1, 1);
        cairo_fill(cr.get());
        cairo_set_source_rgb(cr.get(), 0, 1, 0);
        cairo_rectangle(cr.get(), 1, 0, 1, 1);
        cairo_fill(cr.get());
    }
    TBlxPixelBuffer out = TBlxMenuButton::RecolourGlyph(source, TBlxColor::Rgb(10, 20, 30));
    EXPECT_EQ(out.Pixel(0, 0), TBlxColor::Rgb(10, 20, 30));
    EXPECT_EQ(out.Pixel(1, 0), TBlxColor::Rgb(0, 255, 0));
}

} // namespace
} // namespace tumblet
