#pragma once

// The dialogs every command of the module and the editor uses. Each shows a window modal to our
// other windows and returns at once: the host's idle call must return while the user thinks, so
// the rest of the command runs in a completion on a later round of the pump. The window lives
// in a holder owned by whoever asked (the editor form): when the holder's owner goes, the
// window closes and its completion never runs. Without a parent a dialog is centred on the
// active window, or on the screen. Where no window can be shown (no X display), the message
// goes to standard error and the completion gets the closed answer at once. Thread: UI.

#include "ui/BlxTypes.h"

#include <functional>
#include <memory>
#include <optional>
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

/// Shows a message box modal to our other windows and returns at once; `done` gets OK, Yes or
/// No on a later round of the pump, after the box closed. Closing the box otherwise answers OK
/// for an OK box and No for a Yes/No box. An empty caption shows the product's name.
void ShowMessageDialogLater(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                            const std::string& text, const std::string& caption,
                            TMsgDlgButtons buttons, TMsgDlgType type,
                            std::function<void(TBlxModalResult)> done = {});

/// Asks for a text, starting from `text`; `done` gets the text when the user left with OK, or
/// nothing.
void InputTextDialog(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                     const std::string& caption, const std::string& prompt, bool allowEmpty,
                     int maxLength, const std::string& text,
                     std::function<void(std::optional<std::string>)> done);

/// Asks for a number with `decimals` decimals, starting from `value`; an out-of-range entry
/// (when minValue differs from maxValue) hides the dialog and brings it back after 250 ms.
/// `done` gets the number on OK, or nothing.
void InputNumberDialog(std::unique_ptr<TBlxWindow>& holder, TBlxWindow* parentForm,
                       const std::string& caption, const std::string& prompt, double maxValue,
                       double minValue, int decimals, double value,
                       std::function<void(std::optional<double>)> done);

/// Takes a closing dialog out of its holder, so that its completion can show the next one there;
/// the caller's copy keeps it alive until the completion is over. Empty when the holder has
/// moved on to another window.
std::unique_ptr<TBlxWindow> TakeFromHolder(std::unique_ptr<TBlxWindow>& holder,
                                           const TBlxWindow* shown);

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
