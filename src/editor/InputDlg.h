#pragma once

#include "editor/InputDlgBase.h"

namespace tumblet
{

class TBlxEdit;

/// The text input dialog: a prompt, a text box, OK and Cancel. OK is enabled exactly when the
/// trimmed text is not empty or AllowEmpty is set. Thread: UI.
class TfrmInputDlg : public TfrmInputDlgBase
{
public:
    TfrmInputDlg();

    bool AllowEmpty() const { return FAllowEmpty; }
    void SetAllowEmpty(bool allow);

    TBlxEdit* txtValue = nullptr;

private:
    void FormShow();
    void txtValueChange();
    void UpdateOK();

    bool FAllowEmpty = false;
};

} // namespace tumblet
