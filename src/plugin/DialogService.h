#pragma once

// The modal dialogs the module's operations use for errors, questions and input. The module
// owns one service; the editor installs the windowed one, tests install scripted ones, and
// without either the module runs with TStdErrDialogService (no display needed).

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

    /// A message box centred on parentForm (or the active window or screen when null).
    virtual TResult ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                                      const std::string& caption, TButtons buttons, TType type) = 0;
    /// True with text set when the user confirmed; text unchanged otherwise.
    virtual bool InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                                 const std::string& prompt, bool allowEmpty, int maxLength,
                                 std::string& text) = 0;
    /// True with value set when the user confirmed a value inside minValue..maxValue (any
    /// value when they are equal); value unchanged otherwise.
    virtual bool InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                                   const std::string& prompt, double maxValue, double minValue,
                                   int decimals, double& value) = 0;

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
