#include "editor/InputDlgBase.h"

#include "editor/Dialogs.h"
#include "ui/BlxButton.h"
#include "ui/BlxLabel.h"

#include <cstdio>

namespace tumblet
{

namespace
{
/// Margin the layout keeps around the controls, in pixels.
constexpr int kMargin = 6;
} // namespace

TfrmInputDlgBase::TfrmInputDlgBase(const TBlxFont& font) : TBlxWindow(TBlxWindowKind::Dialog)
{
    SetFont(font);
    lblPrompt = &Add<TBlxLabel>();
}

void TfrmInputDlgBase::AddButtons(TBlxControl& field, bool fieldFillsWidth, TBlxRect ok,
                                  TBlxRect cancel)
{
    FField = &field;
    FFieldFillsWidth = fieldFillsWidth;
    btnOK = &Add<TBlxButton>();
    btnOK->SetCaption("OK");
    btnOK->SetBounds(ok.Left, ok.Top, ok.Width, ok.Height);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(TBlxModalResult::OK);
    btnCancel = &Add<TBlxButton>();
    btnCancel->SetCaption("Cancel");
    btnCancel->SetBounds(cancel.Left, cancel.Top, cancel.Width, cancel.Height);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(TBlxModalResult::Cancel);
    SetActiveControl(&field);
}

void TfrmInputDlgBase::Resized()
{
    TBlxWindow::Resized();
    FormResize();
}

void TfrmInputDlgBase::FormResize()
{
    if (!btnCancel)
    {
        return;
    }
    lblPrompt->SetBounds(kMargin, lblPrompt->Top(), lblPrompt->Width(), lblPrompt->Height());
    const int fieldWidth = FFieldFillsWidth ? Width() - 2 * kMargin : FField->Width();
    FField->SetBounds(kMargin, FField->Top(), fieldWidth, FField->Height());
    btnCancel->SetBounds(Width() - btnCancel->Width() - kMargin,
                         Height() - btnCancel->Height() - kMargin, btnCancel->Width(),
                         btnCancel->Height());
    btnOK->SetBounds(btnCancel->Left() - btnOK->Width() - kMargin, btnCancel->Top(), btnOK->Width(),
                     btnOK->Height());
}

bool TfrmInputDlgBase::Open(TBlxWindow* parentForm, const std::string& caption,
                            const std::string& prompt)
{
    PlaceDialog(*this, parentForm);
    if (!CreateHandle())
    {
        std::fprintf(stderr, "%s: %s: %s (no display; cancelled)\n", kApplicationTitle,
                     caption.c_str(), prompt.c_str());
        return false;
    }
    SetCaption(caption);
    lblPrompt->SetCaption(prompt);
    return true;
}

} // namespace tumblet
