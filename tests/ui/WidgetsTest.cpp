#include "BlxTestDriver.h"

#include "ui/BlxButton.h"
#include "ui/BlxCanvas.h"
#include "ui/BlxEdit.h"
#include "ui/BlxListBox.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

class TBlxEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        Window.SetBounds(0, 0, 200, 60);
        Edit = &Window.Add<TBlxEdit>();
        Edit->SetBounds(10, 10, 150, 23);
        Edit->OnChange = [this](TBlxControl&) { ++Changes; };
        ASSERT_TRUE(Window.Show());
    }
    TBlxWindow Window;
    TBlxEdit* Edit = nullptr;
    int Changes = 0;
};

TEST_F(TBlxEditTest, TypingInsertsAtTheCaretAndRaisesChange)
{
    Edit->SetFocus();
    TypeText(Window, "h\u00e9llo");
    EXPECT_EQ(Edit->Text(), "h\u00e9llo");
    EXPECT_EQ(Changes, 5);
    PressKey(Window, TBlxKey::Home);
    PressKey(Window, TBlxKey::Right);
    TypeText(Window, "X");
    EXPECT_EQ(Edit->Text(), "hX\u00e9llo");
    TypeText(Window, "\b\b");
    EXPECT_EQ(Edit->Text(), "\u00e9llo");
    PressKey(Window, TBlxKey::Delete);
    EXPECT_EQ(Edit->Text(), "llo");
}

TEST_F(TBlxEditTest, KeyboardSelectionReplacesAndClipboardRoundTrips)
{
    Edit->SetText("abcdef");
    Window.SetFocusedControl(nullptr);
    Edit->SetFocus();
    EXPECT_EQ(Edit->SelLength(), 6) << "keyboard focus selects all";
    PressKey(Window, TBlxKey::Home);
    PressKey(Window, TBlxKey::Right, ssShift);
    PressKey(Window, TBlxKey::Right, ssShift);
    EXPECT_EQ(Edit->SelText(), "ab");
    PressCtrl(Window, 'x');
    EXPECT_EQ(Edit->Text(), "cdef");
    EXPECT_EQ(TBlxApplication::Instance().ClipboardText(), "ab");
    PressKey(Window, TBlxKey::End);
    PressCtrl(Window, 'v');
    EXPECT_EQ(Edit->Text(), "cdefab");
    PressCtrl(Window, 'a');
    PressCtrl(Window, 'c');
    EXPECT_EQ(TBlxApplication::Instance().ClipboardText(), "cdefab");
    Offscreen().SetClipboardText("one\ntwo");
    TypeText(Window, "z");
    PressCtrl(Window, 'v');
    EXPECT_EQ(Edit->Text(), "zone") << "a paste stops at the line break";
}

TEST_F(TBlxEditTest, MaximumLengthAndReadOnlyLimitEditing)
{
    Edit->SetMaxLength(4);
    Edit->SetFocus();
    TypeText(Window, "abcdef");
    EXPECT_EQ(Edit->Text(), "abcd");
    Offscreen().SetClipboardText("123456");
    PressCtrl(Window, 'a');
    PressCtrl(Window, 'v');
    EXPECT_EQ(Edit->Text(), "1234");
    Edit->SetReadOnly(true);
    TypeText(Window, "x\b");
    PressKey(Window, TBlxKey::Delete);
    EXPECT_EQ(Edit->Text(), "1234");
}

TEST_F(TBlxEditTest, MouseDragSelectsAndAPressPlacesTheCaret)
{
    Edit->SetText("abcdefgh");
    MouseDown(Window, {12, 20});
    EXPECT_EQ(Edit->SelLength(), 0) << "a press that focuses does not select all";
    EXPECT_EQ(Edit->CaretPos(), 0);
    MoveTo(Window, {158, 20});
    MouseUp(Window, {158, 20});
    EXPECT_EQ(Edit->SelText(), "abcdefgh");
}

TEST_F(TBlxEditTest, KeyPressHookCanDropCharacters)
{
    Edit->OnKeyPress = [](TBlxControl&, char32_t& ch)
    {
        if (ch == U'x')
        {
            ch = 0;
        }
    };
    Edit->SetFocus();
    TypeText(Window, "axb");
    EXPECT_EQ(Edit->Text(), "ab");
}

class TBlxListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen();
        Window.SetBounds(0, 0, 400, 200);
        List = &Window.Add<TBlxListBox>();
        // Three columns of five rows of 20 pixels inside a 1-pixel frame, above a 12-pixel
        // scroll bar.
        List->SetBounds(0, 0, 302, 114);
        List->SetItemHeight(20);
        List->SetColumns(3);
        for (int i = 0; i < 22; ++i)
        {
            List->AddItem("Item " + std::to_string(i), 100 + i);
        }
        List->OnChange = [this](TBlxControl&) { ++Changes; };
        ASSERT_TRUE(Window.Show());
    }
    TBlxWindow Window;
    TBlxListBox* List = nullptr;
    int Changes = 0;
};

TEST_F(TBlxListBoxTest, EntriesFillColumnsTopToBottom)
{
    EXPECT_EQ(List->RowsPerColumn(), 5);
    EXPECT_EQ(List->ItemRect(6), (TBlxRect{101, 21, 100, 20}));
    EXPECT_EQ(List->ItemAtPos({150, 30}), 6);
    EXPECT_EQ(List->ItemAtPos({0, 0}), -1);
    ClickAt(Window, {250, 90});
    EXPECT_EQ(List->ItemIndex(), 14);
    EXPECT_EQ(List->Item(14).Data, 114);
    EXPECT_EQ(Changes, 1);
}

TEST_F(TBlxListBoxTest, KeysMoveByRowsAndColumnsAndScrollSideways)
{
    List->SetFocus();
    PressKey(Window, TBlxKey::Down);
    EXPECT_EQ(List->ItemIndex(), 0);
    PressKey(Window, TBlxKey::Right);
    EXPECT_EQ(List->ItemIndex(), 5);
    PressKey(Window, TBlxKey::End);
    EXPECT_EQ(List->ItemIndex(), 21);
    EXPECT_EQ(List->TopIndex(), 10) << "whole columns scroll";
    WheelAt(Window, {50, 50}, 1);
    EXPECT_EQ(List->TopIndex(), 5);
    WheelAt(Window, {50, 50}, 5);
    EXPECT_EQ(List->TopIndex(), 0);
}

TEST_F(TBlxListBoxTest, TheScrollBarPagesAndDragsByWholeColumns)
{
    ASSERT_TRUE(List->HasScrollBar());
    EXPECT_EQ(List->ScrollBarRect(), (TBlxRect{1, 101, 300, 12}));
    // Five columns in all, three visible: the thumb covers three fifths of the track.
    EXPECT_EQ(List->ThumbRect(), (TBlxRect{1, 101, 180, 12}));
    ClickAt(Window, {290, 107});
    EXPECT_EQ(List->TopIndex(), 10) << "a press beside the thumb pages";
    EXPECT_EQ(List->ItemIndex(), -1) << "and selects nothing";
    TBlxRect thumb = List->ThumbRect();
    DragBy(Window, {thumb.Left + 10, 107}, -120, 0);
    EXPECT_EQ(List->TopIndex(), 0);
    DragBy(Window, {List->ThumbRect().Left + 10, 107}, 60, 0);
    EXPECT_EQ(List->TopIndex(), 5);
    List->Clear();
    List->AddItem("only");
    EXPECT_FALSE(List->HasScrollBar());
}

TEST_F(TBlxListBoxTest, OwnerDrawingReplacesTheDefaultLook)
{
    std::vector<int> drawn;
    List->OnDrawItem =
        [&](TBlxListBox&, TBlxCanvas& canvas, int index, const TBlxRect& r, bool selected)
    {
        drawn.push_back(index);
        canvas.FillRect(r, selected ? BlxColors::Black : BlxColors::White);
    };
    List->SetItemIndex(2);
    Window.PaintAll();
    EXPECT_EQ(drawn.size(), 15u);
    EXPECT_EQ(Window.BackBuffer().Pixel(50, 50), BlxColors::Black);
    EXPECT_EQ(Window.BackBuffer().Pixel(50, 30), BlxColors::White);
    EXPECT_EQ(Changes, 0) << "setting the index is not a user change";
}

TEST(BlxButtonTest, ClickNeedsPressAndReleaseOnTheButton)
{
    Offscreen();
    TBlxWindow w;
    w.SetBounds(0, 0, 200, 100);
    TBlxButton& b = w.Add<TBlxButton>();
    b.SetBounds(10, 10, 80, 25);
    int clicks = 0;
    b.OnClick = [&](TBlxControl&) { ++clicks; };
    ASSERT_TRUE(w.Show());
    ClickControl(b);
    EXPECT_EQ(clicks, 1);
    MouseDown(w, {20, 20});
    EXPECT_TRUE(b.Down());
    MoveTo(w, {150, 80});
    EXPECT_FALSE(b.Down());
    MouseUp(w, {150, 80});
    EXPECT_EQ(clicks, 1) << "released outside";
    PressKey(w, TBlxKey::Character, 0, U' ');
    EXPECT_EQ(clicks, 2);
}

} // namespace
} // namespace tumblet
