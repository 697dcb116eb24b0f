#include "ui/BlxTestDriver.h"

#include "editor/BlxNumericEdit.h"
#include "ui/BlxButton.h"
#include "ui/BlxLocale.h"
#include "ui/BlxWindow.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

// Key script letters: '\b' backspace, '\x7f' Delete, '\x01' Ctrl+A, '\x18' Ctrl+X,
// '\x16' Ctrl+V, '\r' Enter; everything else is typed.
void PlayKeys(TBlxWindow& w, const std::string& keys)
{
    for (char32_t c : Utf8ToUtf32(keys))
    {
        switch (c)
        {
        case U'\b':
            PressKey(w, TBlxKey::Backspace);
            break;
        case U'\x7f':
            PressKey(w, TBlxKey::Delete);
            break;
        case U'\x01':
            PressCtrl(w, 'a');
            break;
        case U'\x18':
            PressCtrl(w, 'x');
            break;
        case U'\x16':
            PressCtrl(w, 'v');
            break;
        case U'\r':
            PressKey(w, TBlxKey::Enter);
            break;
        default:
            PressKey(w, TBlxKey::Character, 0, c);
        }
    }
}

class TBlxNumericEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        TBlxLocale::SetDecimalSeparator(".");
        Window.SetBounds(0, 0, 200, 80);
        Edit = &Window.Add<TBlxNumericEdit>();
        Edit->SetBounds(8, 28, 75, 24);
        Edit->SetMaxLength(12);
        Other = &Window.Add<TBlxButton>();
        Other->SetBounds(100, 28, 80, 25);
        Edit->OnChange = [this](TBlxControl&) { ++Changes; };
        ASSERT_TRUE(Window.Show());
    }
    void TearDown() override { TBlxLocale::SetDecimalSeparator(""); }
    /// Sets up the box and puts the caret (and selection) in place without focus side effects.
    void Start(int decimals, double minValue, double maxValue, const std::string& text, int caret,
               int selLength = 0)
    {
        Edit->SetDecimals(decimals);
        Edit->SetMinValue(minValue);
        Edit->SetMaxValue(maxValue);
        Edit->SetText(text);
        Other->SetFocus();
        Edit->SetAutoSelect(false);
        Edit->SetFocus();
        Edit->SetAutoSelect(true);
        Edit->SetCaretPos(caret);
        Edit->SetSelLength(selLength);
        Changes = 0;
    }
    TBlxWindow Window;
    TBlxNumericEdit* Edit = nullptr;
    TBlxButton* Other = nullptr;
    int Changes = 0;
};

struct TKeyCase
{
    const char* Name;
    int Decimals;
    double MinValue;
    const char* Text;
    int Caret;
    int SelLength;
    const char* Keys;
    const char* Expected;
    int ExpectedCaret;
};

class TBlxNumericEditKeyTest : public TBlxNumericEditTest,
                               public ::testing::WithParamInterface<TKeyCase>
{
};

TEST_P(TBlxNumericEditKeyTest, KeepsTheTextAWellFormedNumber)
{
    const TKeyCase& c = GetParam();
    Start(c.Decimals, c.MinValue, c.MinValue < 0 ? 100 : 0, c.Text, c.Caret, c.SelLength);
    PlayKeys(Window, c.Keys);
    EXPECT_EQ(Edit->Text(), c.Expected);
    EXPECT_EQ(Edit->CaretPos(), c.ExpectedCaret);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TBlxNumericEditKeyTest,
    ::testing::Values(
        TKeyCase{"DecimalsCompleteDropADigit", 2, 0, "12.50", 5, 0, "7", "12.50", 5},
        TKeyCase{"BackspaceShiftsDecimalsLeft", 2, 0, "12.50", 5, 0, "\b", "12.50", 4},
        TKeyCase{"SecondBackspace", 2, 0, "12.50", 5, 0, "\b\b", "12.00", 3},
        TKeyCase{"SelectAllAndType", 2, 0, "12.50", 0, 5, "7", "7.00", 1},
        TKeyCase{"CtrlAThenType", 2, 0, "12.50", 2, 0,
                 "\x01"
                 "7",
                 "7.00", 1},
        TKeyCase{"SeparatorJumpsToDecimals", 2, 0, "7.00", 1, 0, ".2", "7.20", 3},
        TKeyCase{"SeparatorCollapsesSelection", 2, 0, "12.50", 0, 2, ".", "12.50", 3},
        TKeyCase{"SetCCTyping", 0, 0, "1", 0, 1, "57", "57", 2},
        TKeyCase{"MinusIgnoredWithoutNegatives", 0, 0, "57", 2, 0, "-", "57", 2},
        TKeyCase{"MinusTogglesOnKeepingTheDigit", 2, -10, "5.00", 1, 0, "-", "-5.00", 2},
        TKeyCase{"MinusTogglesOff", 2, -10, "-5.00", 2, 0, "-", "5.00", 1},
        TKeyCase{"BackspaceOnSeparatorOnlyMoves", 2, 0, "12.50", 3, 0, "\b", "12.50", 2},
        TKeyCase{"DeleteOnSeparatorOnlyMoves", 2, 0, "12.50", 2, 0, "\x7f", "12.50", 3},
        TKeyCase{"DeleteADecimal", 2, 0, "12.57", 3, 0, "\x7f", "12.70", 3},
        TKeyCase{"LeadingZeroDropped", 2, 0, "0.00", 0, 0, "0", "0.00", 0},
        TKeyCase{"DigitReplacesLeadingZero", 2, 0, "0.00", 1, 0, "5", "5.00", 1},
        TKeyCase{"DigitReplacesNegativeZero", 2, -10, "-0.00", 1, 0, "3", "-3.00", 2},
        TKeyCase{"CaretMovesPastTheSign", 2, -10, "-2.00", 0, 0, "3", "-32.00", 2},
        TKeyCase{"OnlyDigitOfNegative", 2, -10, "-5.00", 2, 0, "\b", "-0.00", 1},
        TKeyCase{"OnlyDigitOfPositive", 2, 0, "5.00", 1, 0, "\b", "0.00", 1},
        TKeyCase{"IntegerDigitRemoved", 2, 0, "123.00", 2, 0, "\b", "13.00", 1},
        TKeyCase{"NoDecimalsOnlyDigit", 0, 0, "5", 1, 0, "\b", "0", 1},
        TKeyCase{"NoDecimalsNegativeOnlyDigit", 0, -10, "-5", 2, 0, "\b", "-0", 1},
        TKeyCase{"NoDecimalsSeparatorDropped", 0, 0, "12", 2, 0, ".", "12", 2},
        TKeyCase{"OtherCharactersDropped", 2, 0, "1.00", 1, 0, "a+ e", "1.00", 1},
        TKeyCase{"DeleteSelection", 2, 0, "123.45", 1, 2, "\x7f", "1.45", 1},
        TKeyCase{"BackspaceDeletesOnlyTheSelection", 2, 0, "123.45", 1, 2, "\b", "1.45", 1},
        TKeyCase{"InsertBeforeSeparator", 2, 0, "12.00", 2, 0, "3", "123.00", 3},
        TKeyCase{"MaximumLength", 0, 0, "0", 1, 0, "1234567890123456", "123456789012", 12}),
    [](const ::testing::TestParamInfo<TKeyCase>& info) { return std::string(info.param.Name); });

TEST_F(TBlxNumericEditTest, DeletingASelectionRaisesOneChangeAndDeleteOneMore)
{
    Start(2, 0, 0, "123.45", 1, 2);
    PressKey(Window, TBlxKey::Backspace);
    EXPECT_EQ(Edit->Text(), "1.45");
    EXPECT_EQ(Changes, 1);
    Start(2, 0, 0, "123.45", 1, 2);
    PressKey(Window, TBlxKey::Delete);
    EXPECT_EQ(Changes, 2);
}

TEST_F(TBlxNumericEditTest, PasteTypesEachCharacterAndCutDeletesByTheRules)
{
    Start(2, 0, 0, "12.50", 0, 5);
    Offscreen().SetClipboardText("3.5x");
    PressCtrl(Window, 'v');
    EXPECT_EQ(Edit->Text(), "3.50");
    Edit->SelectAll();
    PressCtrl(Window, 'x');
    EXPECT_EQ(TBlxApplication::Instance().ClipboardText(), "3.50");
    EXPECT_EQ(Edit->Text(), "0.00");
    // A Ctrl+V character inside the clipboard text must not paste again, without end.
    Offscreen().SetClipboardText("4\x16"
                                 "2");
    Edit->SelectAll();
    PressCtrl(Window, 'v');
    EXPECT_EQ(Edit->Text(), "42.00");
}

TEST_F(TBlxNumericEditTest, ValueReadsTheLocaleSeparatorAndFormatsRounded)
{
    TBlxLocale::SetDecimalSeparator(",");
    Start(2, 0, 0, "3,25", 0);
    EXPECT_DOUBLE_EQ(Edit->Value(), 3.25);
    Edit->SetValue(1.5);
    EXPECT_EQ(Edit->Text(), "1,50");
    Edit->SetValue(-0.001);
    EXPECT_EQ(Edit->Text(), "0,00");
    Edit->SetText("");
    EXPECT_EQ(Edit->Value(), 0);
    Edit->SetText("abc");
    EXPECT_EQ(Edit->Value(), 0);
    Changes = 0;
    Edit->SetValue(0);
    Edit->SetValue(0);
    EXPECT_EQ(Changes, 1) << "the text is replaced only when it differs";
}

TEST_F(TBlxNumericEditTest, DecimalsAreClampedAndReformatTheClampedValue)
{
    Start(2, 0, 10, "12.50", 0);
    Edit->SetDecimals(0);
    EXPECT_EQ(Edit->Text(), "10");
    Edit->SetDecimals(12);
    EXPECT_EQ(Edit->Decimals(), 9);
    EXPECT_EQ(Edit->Text(), "10.000000000");
    Edit->SetDecimals(-3);
    EXPECT_EQ(Edit->Decimals(), 0);
}

TEST_F(TBlxNumericEditTest, FocusLossClampsIntoTheRangeOnly)
{
    Start(0, 0, 127, "200", 3);
    Other->SetFocus();
    EXPECT_EQ(Edit->Text(), "127");
    Start(0, 0, 0, "200", 3);
    Other->SetFocus();
    EXPECT_EQ(Edit->Text(), "200") << "no range when minimum equals maximum";
}

TEST_F(TBlxNumericEditTest, FocusSelectsAllUnlessTheLeftButtonIsHeld)
{
    Start(0, 0, 127, "1", 0);
    Other->SetFocus();
    Edit->SetFocus();
    EXPECT_EQ(Edit->SelLength(), 1);
    Other->SetFocus();
    MouseDown(Window, CentreOf(*Edit));
    EXPECT_EQ(Edit->SelLength(), 0);
    MouseUp(Window, CentreOf(*Edit));
}

TEST_F(TBlxNumericEditTest, EnterPressesTheDefaultButtonAndReadOnlyBlocksEditing)
{
    int clicks = 0;
    Other->SetDefault(true);
    Other->OnClick = [&](TBlxControl&) { ++clicks; };
    Start(2, 0, 0, "1.00", 1);
    PlayKeys(Window, "\r");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Edit->Text(), "1.00");
    Edit->SetReadOnly(true);
    PlayKeys(Window, "5\b\x7f-");
    EXPECT_EQ(Edit->Text(), "1.00");
}

TEST_F(TBlxNumericEditTest, HeightNeverFallsBelowTheFontsMinimum)
{
    Edit->SetBounds(8, 28, 75, 5);
    EXPECT_GE(Edit->Height(), 20);
}

} // namespace
} // namespace tumblet
