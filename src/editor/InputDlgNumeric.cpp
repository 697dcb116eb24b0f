#include "editor/InputDlgNumeric.h"

#include "editor/BlxNumericEdit.h"
#include "editor/Dialogs.h"
#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"

namespace tumblet
{

namespace
{

/// Segoe UI 9 points at 96 dots per inch.
constexpr int kSegoe9Px = 12;
constexpr int kMaxChars = 12;
/// Pause before an out-of-range entry brings the dialog back, in ms.
constexpr int kReappearMs = 250;

TBlxFont DialogFont()
{
    TBlxFont font;
    font.SizePx = kSegoe9Px;
    return font;
}

} // namespace

TfrmInputDlgNumeric::TfrmInputDlgNumeric() : TfrmInputDlgBase(DialogFont())
{
    lblPrompt->SetBounds(7, 7, 10, 15);
    lblPrompt->SetAutoSize(true);
    txtNumeric = &Add<TBlxNumericEdit>();
    txtNumeric->SetBounds(8, 28, 75, 24);
    txtNumeric->SetMaxLength(kMaxChars);
    AddButtons(*txtNumeric, false, {57, 72, 80, 25}, {142, 72, 80, 25});
    SetClientSize(228, 104);
}

bool InputNumberDialog(TBlxWindow* parentForm, const std::string& caption,
                       const std::string& prompt, double maxValue, double minValue, int decimals,
                       double& value)
{
    TBlxApplication& app = TBlxApplication::Instance();
    TfrmInputDlgNumeric dlg;
    if (!dlg.Open(parentForm, caption, prompt))
    {
        return false;
    }
    dlg.txtNumeric->SetDecimals(decimals);
    dlg.txtNumeric->SetMinValue(minValue);
    dlg.txtNumeric->SetMaxValue(maxValue);
    dlg.txtNumeric->SetValue(value);
    for (;;)
    {
        if (dlg.ShowModalAndWait() != TBlxModalResult::OK)
        {
            return false;
        }
        double entered = dlg.txtNumeric->Value();
        if (minValue != maxValue && (entered < minValue || entered > maxValue))
        {
            // No message: the dialog comes back with the text the user left.
            app.Wait(kReappearMs);
            continue;
        }
        value = entered;
        return true;
    }
}

} // namespace tumblet
