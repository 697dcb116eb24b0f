#include "BlxTestDriver.h"

#include "ui/BlxMenu.h"
#include "ui/BlxMenuWindow.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

class TBlxMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen();
        TBlxStyle::SelectNone();
        Owner.SetBounds(100, 100, 400, 300);
        ASSERT_TRUE(Owner.Show());
        Alpha = &Menu.Items().Add("Alpha", 1);
        Alpha->SetChecked(true);
        Menu.Items().Add("Gamma", 3);
        Menu.Items().AddSeparator();
        Sub = &Menu.Items().Add("Sub", -1);
        One = &Sub->Add("One", 10);
        Two = &Sub->Add("Two", 20);
        Two->SetEnabled(false);
        Hidden = &Menu.Items().Add("Hidden", 5);
        Hidden->SetVisible(false);
        for (TBlxMenuItem* item : {Alpha, One, Two, Hidden})
        {
            item->OnClick = [this](TBlxMenuItem& sender)
            {
                Clicked.push_back(sender.Tag());
                EXPECT_FALSE(Menu.IsOpen()) << "handlers run after the menu closed";
            };
        }
    }
    /// The centre of an entry of an open level, in that level's coordinates.
    static TBlxPoint EntryCentre(TBlxMenuWindow& level, int index)
    {
        TBlxRect r = level.ItemRect(index);
        return {r.Left + r.Width / 2, r.Top + r.Height / 2};
    }
    TBlxWindow Owner;
    TBlxMenu Menu;
    TBlxMenuItem* Alpha = nullptr;
    TBlxMenuItem* Sub = nullptr;
    TBlxMenuItem* One = nullptr;
    TBlxMenuItem* Two = nullptr;
    TBlxMenuItem* Hidden = nullptr;
    std::vector<int> Clicked;
};

TEST_F(TBlxMenuTest, HoveringASubmenuOpensItAndAClickChoosesAfterClosing)
{
    int levelsSeen = 0;
    Post(
        [&]
        {
            TBlxMenuWindow& root = Menu.Level(0);
            MoveTo(root, EntryCentre(root, 3));
            levelsSeen = Menu.LevelCount();
            TBlxMenuWindow& sub = Menu.Level(1);
            EXPECT_GE(sub.Left(), root.Left() + root.Width() - 3);
            ClickAt(sub, EntryCentre(sub, 0));
        });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    EXPECT_EQ(levelsSeen, 2);
    EXPECT_EQ(Clicked, std::vector<int>{10});
    EXPECT_EQ(Menu.LevelCount(), 0);
}

TEST_F(TBlxMenuTest, DisabledItemsDoNothingAndEscapeCloses)
{
    Post(
        [&]
        {
            TBlxMenuWindow& root = Menu.Level(0);
            MoveTo(root, EntryCentre(root, 3));
            ClickAt(Menu.Level(1), EntryCentre(Menu.Level(1), 1));
            EXPECT_TRUE(Menu.IsOpen());
            PressKey(root, TBlxKey::Escape);
            EXPECT_EQ(Menu.LevelCount(), 1) << "Escape closes the innermost level first";
            PressKey(root, TBlxKey::Escape);
        });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    EXPECT_TRUE(Clicked.empty());
}

TEST_F(TBlxMenuTest, APressOutsideClosesWithoutChoosingOrReachingTheOwner)
{
    int ownerPresses = 0;
    Owner.OnMouseDown = [&](TBlxControl&, const TBlxMouseEvent&) { ++ownerPresses; };
    Post([&] { MouseDown(Owner, {10, 10}); });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    EXPECT_FALSE(Menu.IsOpen());
    EXPECT_EQ(ownerPresses, 0);
    // A grabbing menu hears presses anywhere: one outside all our windows closes it too.
    Post([&] { MouseDown(Menu.Level(0), {-20, -20}); });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    EXPECT_FALSE(Menu.IsOpen());
    EXPECT_TRUE(Clicked.empty());
}

// Two editors in one process (two instances in one host): an open menu holds its own editor
// only, and the other editor keeps its wheel, clicks and keys.
TEST_F(TBlxMenuTest, AnotherEditorKeepsItsInputWhileTheMenuIsOpen)
{
    TBlxWindow other;
    other.SetBounds(600, 100, 200, 100);
    ASSERT_TRUE(other.Show());
    int ownerWheels = 0, otherWheels = 0, otherPresses = 0;
    Owner.OnWheelHandled = [&](TBlxWindow&) { ++ownerWheels; };
    other.OnWheelHandled = [&](TBlxWindow&) { ++otherWheels; };
    other.OnMouseDown = [&](TBlxControl&, const TBlxMouseEvent&) { ++otherPresses; };
    Menu.Popup(&Owner, {150, 150});
    ASSERT_TRUE(Menu.IsOpen());
    WheelAt(Owner, {10, 10}, 1);
    WheelAt(other, {10, 10}, 1);
    ClickAt(other, {10, 10});
    EXPECT_EQ(ownerWheels, 0);
    EXPECT_EQ(otherWheels, 1);
    EXPECT_EQ(otherPresses, 1);
    EXPECT_TRUE(Menu.IsOpen());
    Menu.CloseMenu();
}

TEST_F(TBlxMenuTest, KeyboardWalksIntoSubmenusAndSkipsSeparatorsAndHiddenItems)
{
    Post(
        [&]
        {
            TBlxMenuWindow& root = Menu.Level(0);
            PressKey(root, TBlxKey::Down);
            PressKey(root, TBlxKey::Down);
            PressKey(root, TBlxKey::Down);
            EXPECT_EQ(root.HotIndex(), 3);
            PressKey(root, TBlxKey::Down);
            EXPECT_EQ(root.HotIndex(), 0) << "wraps past the hidden item";
            PressKey(root, TBlxKey::Up);
            PressKey(root, TBlxKey::Right);
            ASSERT_EQ(Menu.LevelCount(), 2);
            EXPECT_EQ(Menu.Level(1).HotIndex(), 0);
            PressKey(root, TBlxKey::Enter);
        });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    EXPECT_EQ(Clicked, std::vector<int>{10});
}

TEST_F(TBlxMenuTest, CheckedItemsShowAMarkAndBoldItemsAreWider)
{
    TBlxSize plainSize{};
    Post(
        [&]
        {
            TBlxMenuWindow& root = Menu.Level(0);
            root.PaintAll();
            auto darkPixels = [&](int index)
            {
                TBlxRect r = root.ItemRect(index);
                int n = 0;
                for (int x = r.Left; x < r.Left + 26; ++x)
                {
                    for (int y = r.Top; y < r.Bottom(); ++y)
                    {
                        n += root.BackBuffer().Pixel(x, y).R() < 128;
                    }
                }
                return n;
            };
            EXPECT_GT(darkPixels(0), 5) << "Alpha is checked";
            EXPECT_EQ(darkPixels(1), 0) << "Gamma is not";
            plainSize = root.PreferredSize();
            Menu.CloseMenu();
        });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
    Menu.Items().Item(1).SetCaption("A much longer caption");
    Menu.Items().Item(1).SetBold(true);
    Post(
        [&]
        {
            EXPECT_GT(Menu.Level(0).PreferredSize().Width, plainSize.Width);
            Menu.CloseMenu();
        });
    Menu.Popup(&Owner, {150, 150});
    IdleUntilSettled();
}

TEST_F(TBlxMenuTest, OnPopupRunsFirstAndMenusStayOnTheScreen)
{
    Menu.OnPopup = [&](TBlxMenu& sender)
    {
        EXPECT_EQ(&sender, &Menu);
        Hidden->SetVisible(true);
    };
    Post(
        [&]
        {
            TBlxMenuWindow& root = Menu.Level(0);
            EXPECT_EQ(root.ItemRect(4).IsEmpty(), false);
            EXPECT_LE(root.Left() + root.Width(), 1920);
            MoveTo(root, EntryCentre(root, 3));
            EXPECT_LT(Menu.Level(1).Left(), root.Left()) << "flips left at the screen edge";
            Menu.CloseMenu();
        });
    Menu.Popup(&Owner, {1900, 150});
    IdleUntilSettled();
}

TEST_F(TBlxMenuTest, ARightClickOpensTheContextMenu)
{
    Owner.SetPopupMenu(&Menu);
    Post(
        [&]
        {
            EXPECT_EQ(Menu.Level(0).Position(), (TBlxPoint{100 + 30, 100 + 40}));
            ClickAt(Menu.Level(0), EntryCentre(Menu.Level(0), 0));
        });
    ClickAt(Owner, {30, 40}, TBlxMouseButton::Right);
    IdleUntilSettled();
    EXPECT_EQ(Clicked, std::vector<int>{1});
}

} // namespace
} // namespace tumblet
