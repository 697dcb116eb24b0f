#include "editor/InputDlgNumeric.h"

#include "editor/BlxNumericEdit.h"
#include "editor/Dialogs.h"
#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"

#include <cstdio>

namespace tumblet
{

namespace
{

/// Margin the layout keeps around the controls, in pixels.
constexpr int kMargin = 6;
/// Segoe UI 9 points at 96 dots per inch.
constexpr int kSegoe9Px = 12;
constexpr int kMaxChars = 12;
/// Pause before an out-of-range entry brings the dialog back, in ms.
constexpr int kReappearMs = 250;

} // namespace

TfrmInputDlgNumeric::TfrmInputDlgNumeric() : TBlxWindow(TBlxWindowKind::Dialog)
{
    TBlxFont font;
    font.SizePx = kSegoe9Px;
    SetFont(font);
    lblPrompt = &Add<TBlxLabel>();
    lblPrompt->SetBounds(7, 7, 10, 15);
    lblPrompt->SetAutoSize(true);
    txtNumeric = &Add<TBlxNumericEdit>();
    txtNumeric->SetBounds(8, 28, 75, 24);
    txtNumeric->SetMaxLength(kMaxChars);
    btnOK = &Add<TBlxButton>();
    btnOK->SetCaption("OK");
    btnOK->SetBounds(57, 72, 80, 25);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(TBlxModalResult::OK);
    btnCancel = &Add<TBlxButton>();
    btnCancel->SetCaption("Cancel");
    btnCancel->SetBounds(142, 72, 80, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(TBlxModalResult::Cancel);
    SetActiveControl(txtNumeric);
    SetClientSize(228, 104);
    FormResize();
}

void TfrmInputDlgNumeric::Resized()
{
    TBlxWindow::Resized();
    FormResize();
}

void TfrmInputDlgNumeric::FormResize()
{
    if (!btnCancel)
    {
        return;
    }
    lblPrompt->SetBounds(kMargin, lblPrompt->Top(), lblPrompt->Width(), lblPrompt->Height());
    txtNumeric->SetBounds(kMargin, txtNumeric->Top(), txtNumeric->Width(), txtNumeric->Height());
    btnCancel->SetBounds(Width() - btnCancel->Width() - kMargin,
                         Height() - btnCancel->Height() - kMargin, btnCancel->Width(),
                         btnCancel->Height());
    btnOK->SetBounds(btnCancel->Left() - btnOK->Width() - kMargin, btnCancel->Top(), btnOK->Width(),
                     btnOK->Height());
}

bool InputNumberDialog(TBlxWindow* parentForm, const std::string& caption,
                       const std::string& prompt, double maxValue, double minValue, int decimals,
                       double& value)
{
    TBlxApplication& app = TBlxApplication::Instance();
    TfrmInputDlgNumeric dlg;
    PlaceDialog(dlg, parentForm);
    if (!dlg.CreateHandle())
    {
        std::fprintf(stderr, "%s: %s: %s (no display; cancelled)\n", kApplicationTitle,
                     caption.c_str(), prompt.c_str());
        return false;
    }
    dlg.SetCaption(caption);
    dlg.lblPrompt->SetCaption(prompt);
    dlg.txtNumeric->SetDecimals(decimals);
    dlg.txtNumeric->SetMinValue(minValue);
    dlg.txtNumeric->SetMaxValue(maxValue);
    dlg.txtNumeric->SetValue(value);
    for (;;)
    {
        if (dlg.ShowModal() != TBlxModalResult::OK)
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
