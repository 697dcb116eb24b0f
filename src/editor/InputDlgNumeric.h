#pragma once

#include "editor/InputDlgBase.h"

namespace tumblet
{

class TBlxNumericEdit;

/// The numeric input dialog: a prompt, a numeric box of at most 12 characters, OK and Cancel.
/// Thread: UI.
class TfrmInputDlgNumeric : public TfrmInputDlgBase
{
public:
    TfrmInputDlgNumeric();

    TBlxNumericEdit* txtNumeric = nullptr;
};

} // namespace tumblet
