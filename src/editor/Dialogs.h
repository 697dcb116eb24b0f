#pragma once

// The dialogs every command of the module and the editor uses. ShowMessageDialogLater shows a
// box modal to our other windows and returns at once, its answer acting on a later round of the
// host's idle calls; the functions that return an answer still wait for it on the calling
// (editor) thread, pumping only the layer's own display connection. Without a parent a dialog
// is centred on the active window, or on the screen. Where no window can be shown (no X
// display), the message goes to standard error instead. Thread: UI.

#include "ui/BlxTypes.h"

#include <functional>
#include <memory>
#include <string>

namespace tumblet
{

class TBlxWindow;
class TDialogService;

enum class TMsgDlgType
{
    Warning,
    Error,
    Information,
    Confirmation,
};

enum class TMsgDlgButtons
{
    OK,
    YesNo,
};

/// Shows a message box; returns OK, Yes or No. An empty caption shows the product's name.
/// Closing the box otherwise answers OK for an OK box and No for a Yes/No box.
TBlxModalResult ShowMessageDialog(TBlxWindow* parentForm, const std::string& text,
                                  const std::string& caption, TMsgDlgButtons buttons,
                                  TMsgDlgType type);

/// Shows a message box modal to our other windows and returns at once; `done` gets OK, Yes or
/// No (as ShowMessageDialog answers) on a later round of the pump, after the box closed. The box
/// lives in `holder`: destroying the holder's owner closes it unanswered.
void ShowMessageDialogLater(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                            const std::string& text, const std::string& caption,
                            TMsgDlgButtons buttons, TMsgDlgType type,
                            std::function<void(TBlxModalResult)> done = {});

/// Asks for a text; true with `text` set when the user left with OK, else `text` unchanged.
bool InputTextDialog(TBlxWindow* parentForm, const std::string& caption, const std::string& prompt,
                     bool allowEmpty, int maxLength, std::string& text);

/// Asks for a number with `decimals` decimals; an out-of-range entry (when minValue differs
/// from maxValue) brings the dialog back after 250 ms. True with `value` set on OK, else
/// `value` unchanged.
bool InputNumberDialog(TBlxWindow* parentForm, const std::string& caption,
                       const std::string& prompt, double maxValue, double minValue, int decimals,
                       double& value);

/// The title an empty caption stands for.
inline constexpr const char* kApplicationTitle = "Tumblet";

/// The module's dialog service on these functions: windowed where a display can be opened, the
/// standard-error answers otherwise (OK to a message, No to a question, cancel to an input).
/// A parent form that is a TBlxWindow centres the dialogs on itself; any other form counts as
/// no parent.
std::unique_ptr<TDialogService> CreateWindowedDialogService();

/// Places a dialog window centred on its parent's client area, else on the active window,
/// else on the screen (halves truncate toward zero).
void PlaceDialog(TBlxWindow& dialog, TBlxWindow* parentForm);

} // namespace tumblet
