#pragma once

#include "editor/Dialogs.h"
#include "ui/BlxWindow.h"

#include <string>

namespace tumblet
{

class TBlxButton;
class TBlxLabel;

/// The message box: a drawn icon for its type, the word-wrapped text and its buttons (OK, or
/// Yes and No) on a footer band. Sized to the text. Thread: UI.
class TfrmMessageDialog : public TBlxWindow
{
public:
    TfrmMessageDialog(const std::string& text, TMsgDlgButtons buttons, TMsgDlgType type);

    TMsgDlgType DialogType() const { return FType; }
    TBlxLabel* lblText = nullptr;
    TBlxButton* btnOK = nullptr;
    TBlxButton* btnYes = nullptr;
    TBlxButton* btnNo = nullptr;

    void Paint(TBlxCanvas& canvas) override;

private:
    void Layout(const std::string& text);
    void PaintIcon(TBlxCanvas& canvas, const TBlxRect& r) const;

    TMsgDlgButtons FButtons;
    TMsgDlgType FType;
    int FFooterTop = 0;
};

} // namespace tumblet
