#include "editor/InputDlgNumeric.h"

#include "editor/BlxNumericEdit.h"
#include "editor/Dialogs.h"
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

void TfrmInputDlgNumeric::Ask(double minValue, double maxValue,
                              std::function<void(std::optional<double>)> answered)
{
    FAnswered = std::move(answered);
    FReappear.SetInterval(kReappearMs);
    FReappear.OnTimer = [this, minValue, maxValue](TBlxTimer& timer)
    {
        timer.SetEnabled(false);
        // The window showed a moment ago; should the display refuse it now, try again later
        // rather than leave the command without an answer.
        if (!ShowModal([this, minValue, maxValue](TBlxModalResult r)
                       { Closed(r, minValue, maxValue); }))
            timer.SetEnabled(true);
    };
    if (!ShowModal([this, minValue, maxValue](TBlxModalResult r)
                   { Closed(r, minValue, maxValue); }))
        Answer(std::nullopt);
}

void TfrmInputDlgNumeric::Closed(TBlxModalResult result, double minValue, double maxValue)
{
    if (result != TBlxModalResult::OK)
    {
        Answer(std::nullopt);
        return;
    }
    const double entered = txtNumeric->Value();
    if (minValue != maxValue && (entered < minValue || entered > maxValue))
    {
        // No message: the dialog comes back with the text the user left.
        FReappear.SetEnabled(true);
        return;
    }
    Answer(entered);
}

void TfrmInputDlgNumeric::Answer(std::optional<double> value)
{
    // The answer may destroy this window: nothing of it is touched afterwards.
    std::function<void(std::optional<double>)> answered = std::move(FAnswered);
    FAnswered = nullptr;
    if (answered)
        answered(value);
}

void InputNumberDialog(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                       const std::string& caption, const std::string& prompt, double maxValue,
                       double minValue, int decimals, double value,
                       std::function<void(std::optional<double>)> done)
{
    auto dlg = std::make_unique<TfrmInputDlgNumeric>();
    if (!dlg->Open(parentForm, caption, prompt))
    {
        done(std::nullopt);
        return;
    }
    dlg->txtNumeric->SetDecimals(decimals);
    dlg->txtNumeric->SetMinValue(minValue);
    dlg->txtNumeric->SetMaxValue(maxValue);
    dlg->txtNumeric->SetValue(value);
    TfrmInputDlgNumeric* shown = dlg.get();
    holder = std::move(dlg);
    shown->Ask(minValue, maxValue,
               [&holder, shown, done](std::optional<double> answer)
               {
                   std::unique_ptr<TBlxWindow> box = TakeFromHolder(holder, shown);
                   done(answer);
               });
}

} // namespace tumblet
