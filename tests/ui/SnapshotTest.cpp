#include "SkinSnapshotTest.h"

#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"
#include "ui/BlxListBox.h"
#include "ui/BlxMenu.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tumblet
{
namespace
{

using namespace test;

/// The generic widgets and an open menu under every skin, written as PNGs for review.
class WidgetSnapshotTest : public TSkinSnapshotTest
{
protected:
    std::string Path(const std::string& what) const { return SkinSnapshotPath("widgets", what); }
};

TEST_P(WidgetSnapshotTest, Gallery)
{
    TBlxWindow w;
    w.SetBounds(0, 0, 360, 200);
    TBlxLabel& label = w.Add<TBlxLabel>();
    label.SetBounds(10, 10, 160, 16);
    label.SetCaption("Label text");
    TBlxEdit& edit = w.Add<TBlxEdit>();
    edit.SetBounds(10, 32, 160, 23);
    edit.SetText("Selected text");
    TBlxButton& ok = w.Add<TBlxButton>();
    ok.SetBounds(10, 64, 75, 26);
    ok.SetCaption("OK");
    ok.SetDefault(true);
    TBlxButton& off = w.Add<TBlxButton>();
    off.SetBounds(95, 64, 75, 26);
    off.SetCaption("Disabled");
    off.SetEnabled(false);
    TBlxListBox& list = w.Add<TBlxListBox>();
    list.SetBounds(180, 10, 170, 180);
    list.SetItemHeight(20);
    for (const char* name : {"Init", "Bass line", "Warm pad", "Pluck", "Strings", "Lead"})
    {
        list.AddItem(name);
    }
    list.SetItemIndex(2);
    ASSERT_TRUE(w.Show());
    edit.SetFocus();
    w.PaintAll();
    ASSERT_TRUE(w.BackBuffer().SavePng(Path("Gallery")));
    EXPECT_TRUE(EveryControlIsDrawn(w, w.BackBuffer()));
    EXPECT_EQ(w.BackBuffer().Pixel(5, 150), TBlxStyle::Palette().ButtonFace);
    EXPECT_EQ(w.BackBuffer().Pixel(340, 55), TBlxStyle::Palette().Selection);
}

TEST_P(WidgetSnapshotTest, OpenMenu)
{
    TBlxWindow owner;
    owner.SetBounds(0, 0, 100, 100);
    ASSERT_TRUE(owner.Show());
    TBlxMenu menu;
    menu.Items().Add("Init").SetBold(true);
    menu.Items().Add("Load Preset...");
    menu.Items().AddSeparator();
    TBlxMenuItem& skin = menu.Items().Add("Skin");
    for (const char* name : {"Carbon", "Dark", "Light", "Luna", "Smokey"})
    {
        TBlxMenuItem& item = skin.Add(name);
        item.SetRadioItem(true);
        item.SetChecked(GetParam() == "Carbon" ? item.Caption() == "Carbon"
                                               : item.Caption() == "Luna");
    }
    menu.Items().Add("Learn").SetChecked(true);
    menu.Items().Add("Remove").SetEnabled(false);
    Post(
        [&]
        {
            TBlxMenuWindow& root = menu.Level(0);
            TBlxRect r = root.ItemRect(3);
            MoveTo(root, {r.Left + 10, r.Top + 5});
            ASSERT_EQ(menu.LevelCount(), 2);
            TBlxMenuWindow& sub = menu.Level(1);
            MoveTo(sub, {20, sub.ItemRect(2).Top + 5});
            root.PaintAll();
            sub.PaintAll();
            EXPECT_TRUE(root.BackBuffer().SavePng(Path("MenuRoot")));
            EXPECT_TRUE(sub.BackBuffer().SavePng(Path("MenuSkin")));
            // Each item row shows its caption: no row of the menus is one flat colour.
            for (TBlxMenuWindow* level : {&root, &sub})
            {
                for (int i = 0; i < level->LevelItem().Count(); ++i)
                {
                    const TBlxRect row = level->ItemRect(i);
                    std::set<std::uint32_t> colours;
                    for (int x = row.Left; x < row.Left + row.Width; ++x)
                        for (int y = row.Top; y < row.Top + row.Height; ++y)
                            colours.insert(level->BackBuffer().Pixel(x, y).Argb);
                    EXPECT_GT(colours.size(), 1u) << "menu row " << i;
                }
            }
            menu.CloseMenu();
        });
    menu.Popup(&owner, {10, 10});
    IdleUntilSettled();
    EXPECT_TRUE(std::filesystem::exists(Path("MenuSkin")));
}

INSTANTIATE_TEST_SUITE_P(Skins, WidgetSnapshotTest, AllSkins(), SkinTestName);

} // namespace
} // namespace tumblet
