#pragma once

#include "ui/BlxWindow.h"

namespace tumblet
{

class TBlxButton;
class TBlxEdit;
class TBlxLabel;

/// The text input dialog: a prompt, a text box, OK and Cancel. OK is enabled exactly when the
/// trimmed text is not empty or AllowEmpty is set. Thread: UI.
class TfrmInputDlg : public TBlxWindow
{
public:
    TfrmInputDlg();

    bool AllowEmpty() const { return FAllowEmpty; }
    void SetAllowEmpty(bool allow);

    TBlxLabel* lblPrompt = nullptr;
    TBlxEdit* txtValue = nullptr;
    TBlxButton* btnOK = nullptr;
    TBlxButton* btnCancel = nullptr;

protected:
    void Resized() override;

private:
    void FormShow();
    void FormResize();
    void txtValueChange();
    void UpdateOK();

    bool FAllowEmpty = false;
};

} // namespace tumblet
