#pragma once

#include "ui/BlxWindow.h"

#include <string>

namespace tumblet
{

class TBlxButton;
class TBlxLabel;

/// What the text and the numeric input dialogs share: a prompt above an entry field, OK and
/// Cancel in the bottom-right corner, and opening over a parent. Thread: UI.
class TfrmInputDlgBase : public TBlxWindow
{
public:
    /// Places the dialog over its parent, opens its window and sets caption and prompt. Where no
    /// window can be opened the request goes to standard error and the answer is false.
    bool Open(TBlxWindow* parentForm, const std::string& caption, const std::string& prompt);

    TBlxLabel* lblPrompt = nullptr;
    TBlxButton* btnOK = nullptr;
    TBlxButton* btnCancel = nullptr;

protected:
    explicit TfrmInputDlgBase(const TBlxFont& font);

    /// Adds OK and Cancel after the field, so that the tab order runs prompt, field, buttons.
    /// The field keeps its place on resizes; one that fills the width follows the window's.
    void AddButtons(TBlxControl& field, bool fieldFillsWidth, TBlxRect ok, TBlxRect cancel);
    void Resized() override;

private:
    void FormResize();

    TBlxControl* FField = nullptr;
    bool FFieldFillsWidth = false;
};

} // namespace tumblet
