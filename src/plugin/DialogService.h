#pragma once

// The dialogs the module's operations use for errors, questions and input. The module owns one
// service; the editor installs the windowed one, tests install scripted ones, and without
// either the module runs with TStdErrDialogService (no display needed). Every call returns at
// once: a host's idle call must not wait for the user. The answer arrives in a completion,
// later or (without windows) at once; a dialog that closes because its editor closed never
// answers, so a completion may use the editor form and the module it was given.

#include <functional>
#include <optional>
#include <string>

namespace tumblet
{

class TVstEditorForm;

/// Thread: UI (or the host's thread for operations that run on it). Never on the audio thread.
class TDialogService
{
public:
    enum class TType
    {
        Warning,
        Error,
        Information,
        Confirmation,
    };
    enum class TButtons
    {
        OK,
        YesNo,
    };
    enum class TResult
    {
        OK,
        Yes,
        No,
    };

    virtual ~TDialogService() = default;

    using TAnswered = std::function<void(TResult)>;
    using TTextEntered = std::function<void(std::optional<std::string>)>;
    using TNumberEntered = std::function<void(std::optional<double>)>;

    /// A message box centred on parentForm (or the active window or screen when null);
    /// `answered` gets OK, Yes or No.
    virtual void ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                                   const std::string& caption, TButtons buttons, TType type,
                                   TAnswered answered = {}) = 0;
    /// `entered` gets the text when the user confirmed, else nothing.
    virtual void InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                                 const std::string& prompt, bool allowEmpty, int maxLength,
                                 const std::string& text, TTextEntered entered) = 0;
    /// `entered` gets a value inside minValue..maxValue (any value when they are equal) when the
    /// user confirmed, else nothing.
    virtual void InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                                   const std::string& prompt, double maxValue, double minValue,
                                   int decimals, double value, TNumberEntered entered) = 0;

    /// A message raised outside an editor action (module creation, state and settings loads):
    /// the host is often loading a session or scanning, with no one to click, so no window
    /// opens inside the call. A service with windows writes it to standard error and keeps it
    /// for the editor. Thread: any.
    virtual void KeepMessage(const std::string& text, const std::string& caption, TType type)
    {
        ShowMessageDialog(nullptr, text, caption, TButtons::OK, type);
    }
    /// Shows the next kept message over the open editor, if nothing else of ours is modal, and
    /// returns at once. Thread: the editor's.
    virtual void ShowKeptMessages(TVstEditorForm*) {}
    /// The editor was opened on the calling thread: its dialogs belong to that thread.
    virtual void EditorOpened() {}
};

} // namespace tumblet
