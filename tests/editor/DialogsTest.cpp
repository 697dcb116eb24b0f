#include "ui/BlxTestDriver.h"

#include "editor/BlxNumericEdit.h"
#include "editor/DialogDriver.h"
#include "editor/Dialogs.h"
#include "editor/InputDlg.h"
#include "editor/InputDlgNumeric.h"
#include "editor/MessageDialog.h"
#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"
#include "ui/BlxLocale.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using namespace test;

template <typename T> T& As(TBlxWindow& w)
{
    T* t = dynamic_cast<T*>(&w);
    EXPECT_NE(t, nullptr);
    return *t;
}

class DialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Offscreen().SetPointer({0, 0}, 0);
        Offscreen().ResetStarved();
        Offscreen().SetActiveWindowRect(std::nullopt);
        TBlxLocale::SetDecimalSeparator(".");
        TBlxStyle::SelectNone();
        Editor.SetBounds(100, 200, 712, 341);
        ASSERT_TRUE(Editor.Show());
    }
    void TearDown() override
    {
        EXPECT_FALSE(Offscreen().Starved()) << "a dialog was left open";
        TBlxLocale::SetDecimalSeparator("");
    }
    TBlxWindow Editor{TBlxWindowKind::Embedded};
};

TEST_F(DialogsTest, TextDialogLayoutFollowsTheResizeRule)
{
    TfrmInputDlg dlg;
    EXPECT_EQ(dlg.ClientRect(), (TBlxRect{0, 0, 300, 102}));
    EXPECT_EQ(dlg.txtValue->Bounds(), (TBlxRect{6, 23, 288, 23}));
    EXPECT_EQ(dlg.btnCancel->Bounds(), (TBlxRect{214, 70, 80, 26}));
    EXPECT_EQ(dlg.btnOK->Bounds(), (TBlxRect{128, 70, 80, 26}));
    dlg.SetClientSize(400, 150);
    EXPECT_EQ(dlg.txtValue->Width(), 388);
    EXPECT_EQ(dlg.btnCancel->Bounds(), (TBlxRect{314, 118, 80, 26}));
    TfrmInputDlgNumeric num;
    EXPECT_EQ(num.txtNumeric->Bounds(), (TBlxRect{6, 28, 75, 24}));
    EXPECT_EQ(num.btnCancel->Bounds(), (TBlxRect{142, 73, 80, 25}));
    EXPECT_EQ(num.btnOK->Bounds(), (TBlxRect{56, 73, 80, 25}));
}

struct TOkCase
{
    bool AllowEmpty;
    const char* Text;
    bool Enabled;
};

class TextDialogOkTest : public DialogsTest, public ::testing::WithParamInterface<TOkCase>
{
};

TEST_P(TextDialogOkTest, OkIsEnabledForNonBlankTextOrWhenEmptyIsAllowed)
{
    const TOkCase& c = GetParam();
    bool enabledAtShow = false, enabledAfterTyping = false;
    WhenModal(
        [&](TBlxWindow& w)
        {
            TfrmInputDlg& dlg = As<TfrmInputDlg>(w);
            enabledAtShow = dlg.btnOK->Enabled();
            TypeText(w, c.Text);
            enabledAfterTyping = dlg.btnOK->Enabled();
            dlg.SetModalResult(TBlxModalResult::Cancel);
        });
    std::string text;
    EXPECT_FALSE(InputTextDialog(&Editor, "Save Preset", "Name", c.AllowEmpty, 50, text));
    EXPECT_EQ(enabledAtShow, c.AllowEmpty);
    EXPECT_EQ(enabledAfterTyping, c.Enabled);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextDialogOkTest,
                         ::testing::Values(TOkCase{false, "", false}, TOkCase{false, "  ", false},
                                           TOkCase{false, " a ", true}, TOkCase{true, "", true},
                                           TOkCase{true, "   ", true}));

TEST_F(DialogsTest, TextDialogReturnsTheUntrimmedTextOnOkOnly)
{
    WhenModal(
        [](TBlxWindow& w)
        {
            TypeText(w, " New name ");
            PressKey(w, TBlxKey::Enter);
        });
    std::string text = "Old";
    EXPECT_TRUE(InputTextDialog(&Editor, "Save Preset", "Name", true, 50, text));
    EXPECT_EQ(text, " New name ") << "the current text starts selected and typing replaces it";
    WhenModal(
        [](TBlxWindow& w)
        {
            TypeText(w, "Other");
            PressKey(w, TBlxKey::Escape);
        });
    EXPECT_FALSE(InputTextDialog(&Editor, "Save Preset", "Name", true, 50, text));
    EXPECT_EQ(text, " New name ");
    WhenModal(
        [](TBlxWindow& w)
        {
            TypeText(w, "abcdefgh");
            ClickControl(*As<TfrmInputDlg>(w).btnOK);
        });
    EXPECT_TRUE(InputTextDialog(&Editor, "Save Preset", "Name", false, 5, text));
    EXPECT_EQ(text, "abcde");
}

TEST_F(DialogsTest, DialogsAreCentredOnTheParentOrTheScreen)
{
    TBlxPoint withParent, alone, onActive;
    WhenModal(
        [&](TBlxWindow& w)
        {
            withParent = w.Position();
            EXPECT_EQ(w.PopupParent(), &Editor);
            EXPECT_EQ(w.Caption(), "Save Preset");
            w.Close();
        });
    std::string text;
    InputTextDialog(&Editor, "Save Preset", "Name", true, 50, text);
    // 100 + (712 - 300) div 2, 200 + (341 - 102) div 2.
    EXPECT_EQ(withParent, (TBlxPoint{306, 319}));
    WhenModal(
        [&](TBlxWindow& w)
        {
            alone = w.Position();
            EXPECT_EQ(w.Caption(), "Tumblet") << "an empty caption shows the product's name";
            w.Close();
        });
    ShowMessageDialog(nullptr, "Hello", "", TMsgDlgButtons::OK, TMsgDlgType::Information);
    Offscreen().SetActiveWindowRect(TBlxRect{0, 0, 800, 600});
    WhenModal(
        [&](TBlxWindow& w)
        {
            onActive = w.Position();
            EXPECT_EQ(alone.X, (1920 - w.Width()) / 2);
            EXPECT_EQ(alone.Y, (1080 - w.Height()) / 2);
            EXPECT_EQ(onActive.X, (800 - w.Width()) / 2);
            w.Close();
        });
    ShowMessageDialog(nullptr, "Hello", "", TMsgDlgButtons::OK, TMsgDlgType::Information);
}

TEST_F(DialogsTest, OutOfRangeEnterBringsTheDialogBackAfter250Ms)
{
    std::vector<int64_t> shownAt;
    std::vector<std::string> textAtShow;
    auto record = [&](TBlxWindow& w)
    {
        shownAt.push_back(TBlxApplication::Instance().NowMs());
        textAtShow.push_back(As<TfrmInputDlgNumeric>(w).txtNumeric->Text());
    };
    WhenModal(
        [&](TBlxWindow& w)
        {
            record(w);
            TypeText(w, "200");
            PressKey(w, TBlxKey::Enter);
        });
    WhenModal(
        [&](TBlxWindow& w)
        {
            record(w);
            PressKey(w, TBlxKey::Escape);
        });
    double value = 5;
    EXPECT_FALSE(InputNumberDialog(&Editor, "MIDI Set CC: Gate", "CC# (0-127)", 127, 0, 0, value));
    ASSERT_EQ(shownAt.size(), 2u);
    EXPECT_GE(shownAt[1] - shownAt[0], 250);
    EXPECT_EQ(textAtShow[1], "200") << "the dialog comes back with the text the user left";
    EXPECT_EQ(value, 5);
}

TEST_F(DialogsTest, ClickingOkClampsOnFocusLossAndIsAccepted)
{
    WhenModal(
        [](TBlxWindow& w)
        {
            TypeText(w, "200");
            ClickControl(*As<TfrmInputDlgNumeric>(w).btnOK);
        });
    double value = 5;
    EXPECT_TRUE(InputNumberDialog(&Editor, "MIDI Set CC: Gate", "CC# (0-127)", 127, 0, 0, value));
    EXPECT_EQ(value, 127);
}

TEST_F(DialogsTest, EqualBoundsAcceptAnyNumber)
{
    WhenModal(
        [](TBlxWindow& w)
        {
            TypeText(w, "98765.4");
            PressKey(w, TBlxKey::Enter);
        });
    double value = 0;
    EXPECT_TRUE(InputNumberDialog(nullptr, "Number", "Any", 0, 0, 2, value));
    EXPECT_DOUBLE_EQ(value, 98765.4);
}

struct TMessageCase
{
    TMsgDlgButtons Buttons;
    int Action; // 0 click first button, 1 click second, 2 Enter, 3 Escape, 4 close request
    TBlxModalResult Expected;
};

class MessageDialogResultTest : public DialogsTest,
                                public ::testing::WithParamInterface<TMessageCase>
{
};

TEST_P(MessageDialogResultTest, ReturnsThePressedButton)
{
    const TMessageCase& c = GetParam();
    WhenModal(
        [&](TBlxWindow& w)
        {
            TfrmMessageDialog& dlg = As<TfrmMessageDialog>(w);
            TBlxButton* first = dlg.btnOK ? dlg.btnOK : dlg.btnYes;
            switch (c.Action)
            {
            case 0:
                ClickControl(*first);
                break;
            case 1:
                ClickControl(*dlg.btnNo);
                break;
            case 2:
                PressKey(w, TBlxKey::Enter);
                break;
            case 3:
                PressKey(w, TBlxKey::Escape);
                break;
            default:
                w.Close();
            }
        });
    EXPECT_EQ(ShowMessageDialog(&Editor, "Delete \"x\"?", "Delete Preset", c.Buttons,
                                TMsgDlgType::Confirmation),
              c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageDialogResultTest,
    ::testing::Values(TMessageCase{TMsgDlgButtons::OK, 0, TBlxModalResult::OK},
                      TMessageCase{TMsgDlgButtons::OK, 2, TBlxModalResult::OK},
                      TMessageCase{TMsgDlgButtons::OK, 3, TBlxModalResult::OK},
                      TMessageCase{TMsgDlgButtons::YesNo, 0, TBlxModalResult::Yes},
                      TMessageCase{TMsgDlgButtons::YesNo, 1, TBlxModalResult::No},
                      TMessageCase{TMsgDlgButtons::YesNo, 2, TBlxModalResult::Yes},
                      TMessageCase{TMsgDlgButtons::YesNo, 3, TBlxModalResult::No},
                      TMessageCase{TMsgDlgButtons::YesNo, 4, TBlxModalResult::No}));

TEST_F(DialogsTest, MessageBoxGrowsWithItsTextAndKeepsButtonsInside)
{
    TfrmMessageDialog small("Short.", TMsgDlgButtons::OK, TMsgDlgType::Information);
    std::string longText = "Error loading preset.\r\n\r\n\"";
    for (int i = 0; i < 30; ++i)
    {
        longText += "a rather long reason ";
    }
    longText += "\"";
    TfrmMessageDialog big(longText, TMsgDlgButtons::YesNo, TMsgDlgType::Error);
    EXPECT_GT(big.Height(), small.Height());
    EXPECT_LE(big.Width(), 480);
    for (TBlxButton* b : {big.btnYes, big.btnNo})
    {
        EXPECT_LE(b->BoundsInWindow().Right(), big.Width());
        EXPECT_LE(b->BoundsInWindow().Bottom(), big.Height());
    }
    EXPECT_LE(big.lblText->BoundsInWindow().Bottom(), big.btnYes->Top());
}

} // namespace
} // namespace tumblet

namespace tumblet
{
namespace
{

TEST(DialogsFallbackTest, WithoutADisplayMessagesGoToStandardErrorAndInputsCancel)
{
    const char* display = std::getenv("DISPLAY");
    std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    TBlxApplication::Instance().SetBackend(TBlxBackend::Auto);
    ::testing::internal::CaptureStderr();
    TBlxModalResult ok = ShowMessageDialog(nullptr, "Error loading skin.", "Load Skin",
                                           TMsgDlgButtons::OK, TMsgDlgType::Warning);
    TBlxModalResult yesNo = ShowMessageDialog(nullptr, "Delete \"x\"?", "Delete Preset",
                                              TMsgDlgButtons::YesNo, TMsgDlgType::Confirmation);
    std::string text = "keep";
    bool textResult = InputTextDialog(nullptr, "Save Preset", "Name", true, 50, text);
    double value = 3;
    bool numberResult =
        InputNumberDialog(nullptr, "MIDI Set CC: Gate", "CC# (0-127)", 127, 0, 0, value);
    std::string err = ::testing::internal::GetCapturedStderr();
    if (!saved.empty())
    {
        setenv("DISPLAY", saved.c_str(), 1);
    }
    TBlxApplication::Instance().SetBackend(TBlxBackend::Offscreen);
    EXPECT_EQ(ok, TBlxModalResult::OK);
    EXPECT_EQ(yesNo, TBlxModalResult::No) << "the safe answer";
    EXPECT_FALSE(textResult);
    EXPECT_EQ(text, "keep");
    EXPECT_FALSE(numberResult);
    EXPECT_EQ(value, 3);
    EXPECT_NE(err.find("Tumblet: Load Skin: Error loading skin."), std::string::npos) << err;
    EXPECT_NE(err.find("Delete Preset"), std::string::npos);
}

} // namespace
} // namespace tumblet
