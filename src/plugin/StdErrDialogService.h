#pragma once

#include "plugin/DialogService.h"

namespace tumblet
{

/// The dialogs without a display: each prints its caption and text to standard error and
/// answers OK to a message, No to a question and cancel to an input.
class TStdErrDialogService final : public TDialogService
{
public:
    void ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                           const std::string& caption, TButtons buttons, TType type,
                           TAnswered answered = {}) override;
    void InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                         const std::string& prompt, bool allowEmpty, int maxLength,
                         const std::string& text, TTextEntered entered) override;
    void InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                           const std::string& prompt, double maxValue, double minValue,
                           int decimals, double value, TNumberEntered entered) override;
};

} // namespace tumblet
