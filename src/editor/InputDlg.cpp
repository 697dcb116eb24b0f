#include "editor/InputDlg.h"

#include "editor/Dialogs.h"
#include "ui/BlxButton.h"
#include "ui/BlxEdit.h"
#include "ui/BlxLabel.h"

namespace tumblet
{

namespace
{

/// Tahoma 8 points at 96 dots per inch.
constexpr int kTahoma8Px = 11;

TBlxFont DialogFont()
{
    TBlxFont font;
    font.Family = kBlxFontTahoma;
    font.SizePx = kTahoma8Px;
    return font;
}

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

TfrmInputDlg::TfrmInputDlg() : TfrmInputDlgBase(DialogFont())
{
    lblPrompt->SetBounds(7, 7, 276, 13);
    lblPrompt->SetWordWrap(true);
    lblPrompt->SetLayout(TBlxVAlign::Center);
    txtValue = &Add<TBlxEdit>();
    txtValue->SetBounds(7, 23, 276, 23);
    AddButtons(*txtValue, true, {118, 58, 80, 26}, {203, 58, 80, 26});
    txtValue->OnChange = [this](TBlxControl&) { txtValueChange(); };
    OnShow = [this](TBlxWindow&) { FormShow(); };
    SetClientSize(300, 102);
}

void TfrmInputDlg::SetAllowEmpty(bool allow)
{
    FAllowEmpty = allow;
    UpdateOK();
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

void InputTextDialog(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                     const std::string& caption, const std::string& prompt, bool allowEmpty,
                     int maxLength, const std::string& text,
                     std::function<void(std::optional<std::string>)> done)
{
    auto dlg = std::make_unique<TfrmInputDlg>();
    if (!dlg->Open(parentForm, caption, prompt))
    {
        done(std::nullopt);
        return;
    }
    dlg->txtValue->SetText(text);
    dlg->txtValue->SetMaxLength(maxLength);
    dlg->SetAllowEmpty(allowEmpty);
    TfrmInputDlg* shown = dlg.get();
    auto closed = [&holder, shown, done](TBlxModalResult result)
    {
        std::unique_ptr<TBlxWindow> box = TakeFromHolder(holder, shown);
        if (result == TBlxModalResult::OK)
            done(shown->txtValue->Text());
        else
            done(std::nullopt);
    };
    if (!dlg->ShowModal(closed))
    {
        done(std::nullopt);
        return;
    }
    holder = std::move(dlg);
}

} // namespace tumblet
