#pragma once

#include "editor/InputDlgBase.h"
#include "ui/BlxTimer.h"

#include <functional>
#include <optional>

namespace tumblet
{

class TBlxNumericEdit;

/// The numeric input dialog: a prompt, a numeric box of at most 12 characters, OK and Cancel.
/// Thread: UI.
class TfrmInputDlgNumeric : public TfrmInputDlgBase
{
public:
    TfrmInputDlgNumeric();
    /// Shows the dialog modal and returns at once. `answered` gets the number on OK, or nothing
    /// on Cancel; an entry outside minValue..maxValue (when they differ) hides the dialog and
    /// brings it back after a pause, with the text the user left.
    void Ask(double minValue, double maxValue, std::function<void(std::optional<double>)> answered);

    TBlxNumericEdit* txtNumeric = nullptr;

private:
    void Closed(TBlxModalResult result, double minValue, double maxValue);
    void Answer(std::optional<double> value);

    TBlxTimer FReappear;
    std::function<void(std::optional<double>)> FAnswered;
};

} // namespace tumblet
