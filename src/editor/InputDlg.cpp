#include "editor/InputDlg.h"

#include "editor/Dialogs.h"
#include "ui/BlxApplication.h"
#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"

#include <cstdio>

namespace tumblet
{

namespace
{

/// Margin the layout keeps around the controls, in pixels.
constexpr int kMargin = 6;
/// Tahoma 8 points at 96 dots per inch.
constexpr int kTahoma8Px = 11;

/// Trimmed as the classic Trim does: every character up to the space counts as blank.
bool IsBlank(const std::string& text)
{
    for (unsigned char c : text)
    {
        if (c > ' ')
        {
            return false;
        }
    }
    return true;
}

} // namespace

TfrmInputDlg::TfrmInputDlg() : TBlxWindow(TBlxWindowKind::Dialog)
{
    TBlxFont font;
    font.Family = kBlxFontTahoma;
    font.SizePx = kTahoma8Px;
    SetFont(font);
    lblPrompt = &Add<TBlxLabel>();
    lblPrompt->SetBounds(7, 7, 276, 13);
    lblPrompt->SetWordWrap(true);
    lblPrompt->SetLayout(TBlxVAlign::Center);
    txtValue = &Add<TBlxEdit>();
    txtValue->SetBounds(7, 23, 276, 23);
    btnOK = &Add<TBlxButton>();
    btnOK->SetCaption("OK");
    btnOK->SetBounds(118, 58, 80, 26);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(TBlxModalResult::OK);
    btnCancel = &Add<TBlxButton>();
    btnCancel->SetCaption("Cancel");
    btnCancel->SetBounds(203, 58, 80, 26);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(TBlxModalResult::Cancel);
    SetActiveControl(txtValue);
    txtValue->OnChange = [this](TBlxControl&) { txtValueChange(); };
    OnShow = [this](TBlxWindow&) { FormShow(); };
    SetClientSize(300, 102);
    FormResize();
}

void TfrmInputDlg::SetAllowEmpty(bool allow)
{
    FAllowEmpty = allow;
    UpdateOK();
}

void TfrmInputDlg::Resized()
{
    TBlxWindow::Resized();
    FormResize();
}

void TfrmInputDlg::FormResize()
{
    if (!btnCancel)
    {
        return;
    }
    lblPrompt->SetBounds(kMargin, lblPrompt->Top(), lblPrompt->Width(), lblPrompt->Height());
    txtValue->SetBounds(kMargin, txtValue->Top(), Width() - 2 * kMargin, txtValue->Height());
    btnCancel->SetBounds(Width() - btnCancel->Width() - kMargin,
                         Height() - btnCancel->Height() - kMargin, btnCancel->Width(),
                         btnCancel->Height());
    btnOK->SetBounds(btnCancel->Left() - btnOK->Width() - kMargin, btnCancel->Top(), btnOK->Width(),
                     btnOK->Height());
}

void TfrmInputDlg::FormShow()
{
    UpdateOK();
}

void TfrmInputDlg::txtValueChange()
{
    UpdateOK();
}

void TfrmInputDlg::UpdateOK()
{
    btnOK->SetEnabled(FAllowEmpty || !IsBlank(txtValue->Text()));
}

bool InputTextDialog(TBlxWindow* parentForm, const std::string& caption, const std::string& prompt,
                     bool allowEmpty, int maxLength, std::string& text)
{
    TfrmInputDlg dlg;
    PlaceDialog(dlg, parentForm);
    if (!dlg.CreateHandle())
    {
        std::fprintf(stderr, "%s: %s: %s (no display; cancelled)\n", kApplicationTitle,
                     caption.c_str(), prompt.c_str());
        return false;
    }
    dlg.SetCaption(caption);
    dlg.lblPrompt->SetCaption(prompt);
    dlg.txtValue->SetText(text);
    dlg.txtValue->SetMaxLength(maxLength);
    dlg.SetAllowEmpty(allowEmpty);
    if (dlg.ShowModal() != TBlxModalResult::OK)
    {
        return false;
    }
    text = dlg.txtValue->Text();
    return true;
}

} // namespace tumblet
