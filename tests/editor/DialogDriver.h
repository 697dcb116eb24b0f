#pragma once

// The dialogs asked as a command asks them, with the test idling as a host does until the
// answer came: the old shape of a call that waits, for tests that script the answer.

#include "editor/Dialogs.h"
#include "ui/IdlePump.h"

#include <memory>
#include <optional>
#include <string>

namespace tumblet::test
{

inline TBlxModalResult ShowMessageDialog(TBlxWindow* parentForm, const std::string& text,
                                         const std::string& caption, TMsgDlgButtons buttons,
                                         TMsgDlgType type)
{
    std::unique_ptr<TBlxWindow> holder;
    std::optional<TBlxModalResult> answer;
    ShowMessageDialogLater(holder, parentForm, text, caption, buttons, type,
                           [&](TBlxModalResult r) { answer = r; });
    IdleUntil([&] { return answer.has_value(); });
    return answer.value_or(TBlxModalResult::Cancel);
}

inline bool InputTextDialog(TBlxWindow* parentForm, const std::string& caption,
                            const std::string& prompt, bool allowEmpty, int maxLength,
                            std::string& text)
{
    std::unique_ptr<TBlxWindow> holder;
    std::optional<std::optional<std::string>> answer;
    tumblet::InputTextDialog(holder, parentForm, caption, prompt, allowEmpty, maxLength, text,
                             [&](std::optional<std::string> t) { answer = t; });
    IdleUntil([&] { return answer.has_value(); });
    if (!answer || !*answer)
        return false;
    text = **answer;
    return true;
}

inline bool InputNumberDialog(TBlxWindow* parentForm, const std::string& caption,
                              const std::string& prompt, double maxValue, double minValue,
                              int decimals, double& value)
{
    std::unique_ptr<TBlxWindow> holder;
    std::optional<std::optional<double>> answer;
    tumblet::InputNumberDialog(holder, parentForm, caption, prompt, maxValue, minValue, decimals,
                               value, [&](std::optional<double> v) { answer = v; });
    IdleUntil([&] { return answer.has_value(); });
    if (!answer || !*answer)
        return false;
    value = **answer;
    return true;
}

} // namespace tumblet::test
