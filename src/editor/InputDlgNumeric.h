#pragma once

#include "ui/BlxWindow.h"

namespace tumblet
{

class TBlxButton;
class TBlxLabel;
class TBlxNumericEdit;

/// The numeric input dialog: a prompt, a numeric box of at most 12 characters, OK and Cancel.
/// Thread: UI.
class TfrmInputDlgNumeric : public TBlxWindow
{
public:
    TfrmInputDlgNumeric();

    TBlxLabel* lblPrompt = nullptr;
    TBlxNumericEdit* txtNumeric = nullptr;
    TBlxButton* btnOK = nullptr;
    TBlxButton* btnCancel = nullptr;

protected:
    void Resized() override;

private:
    void FormResize();
};

} // namespace tumblet
