#include "ui/SkinSnapshotTest.h"

#include "editor/BlxNumericEdit.h"
#include "editor/InputDlg.h"
#include "editor/InputDlgNumeric.h"
#include "editor/MessageDialog.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"
#include "ui/BlxLocale.h"
#include "ui/BlxStyle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace tumblet
{
namespace
{

using namespace test;

/// Every dialog under every skin is written as a PNG for review; the test checks that its
/// background is the skin's window colour and that every control in it was drawn.
class DialogSnapshotTest : public TSkinSnapshotTest
{
protected:
    void SetUp() override
    {
        TSkinSnapshotTest::SetUp();
        TBlxLocale::SetDecimalSeparator(".");
    }
    void TearDown() override
    {
        TSkinSnapshotTest::TearDown();
        TBlxLocale::SetDecimalSeparator("");
    }
    void Snap(TBlxWindow& w, const std::string& name)
    {
        ASSERT_TRUE(w.Show());
        w.PaintAll();
        std::string path = SkinSnapshotPath("dialogs", name);
        ASSERT_TRUE(w.BackBuffer().SavePng(path)) << path;
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(w.BackBuffer().Pixel(2, 2), TBlxStyle::Palette().ButtonFace) << name;
        EXPECT_TRUE(EveryControlIsDrawn(w, w.BackBuffer())) << name;
        w.Hide();
    }
};

TEST_P(DialogSnapshotTest, TextDialog)
{
    TfrmInputDlg dlg;
    dlg.SetCaption("Save Preset");
    dlg.lblPrompt->SetCaption("Name");
    dlg.txtValue->SetText("Warm pad arpeggio");
    dlg.SetAllowEmpty(true);
    Snap(dlg, "InputDlg");
}

TEST_P(DialogSnapshotTest, NumericDialog)
{
    TfrmInputDlgNumeric dlg;
    dlg.SetCaption("MIDI Set CC: Gate");
    dlg.lblPrompt->SetCaption("CC# (0-127)");
    dlg.txtNumeric->SetDecimals(0);
    dlg.txtNumeric->SetMaxValue(127);
    dlg.txtNumeric->SetValue(74);
    Snap(dlg, "InputDlgNumeric");
}

TEST_P(DialogSnapshotTest, MessageDialogs)
{
    struct TKind
    {
        const char* Name;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Text;
    };
    const TKind kinds[] = {
        {"Warning", TMsgDlgType::Warning, TMsgDlgButtons::OK,
         "Error loading preset.\r\n\r\n\"The file is not a preset of this plug-in.\""},
        {"Error", TMsgDlgType::Error, TMsgDlgButtons::OK, "Error saving settings."},
        {"Information", TMsgDlgType::Information, TMsgDlgButtons::OK,
         "Please close and re-open the plugin window for skin changes to take effect."},
        {"Confirmation", TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo,
         "Delete \"Warm pad arpeggio\"?"},
    };
    for (const TKind& k : kinds)
    {
        TfrmMessageDialog dlg(k.Text, k.Buttons, k.Type);
        Snap(dlg, std::string("Message") + k.Name);
    }
}

INSTANTIATE_TEST_SUITE_P(Skins, DialogSnapshotTest, AllSkins(), SkinTestName);

} // namespace
} // namespace tumblet
