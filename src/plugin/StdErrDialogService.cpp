#include "plugin/StdErrDialogService.h"

#include <cstdio>

namespace tumblet
{

namespace
{
void Print(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "Tumblet: %s: %s\n", caption.c_str(), text.c_str());
}
} // namespace

TDialogService::TResult TStdErrDialogService::ShowMessageDialog(TVstEditorForm*,
                                                                const std::string& text,
                                                                const std::string& caption,
                                                                TButtons buttons, TType)
{
    Print(caption, text);
    return buttons == TButtons::YesNo ? TResult::No : TResult::OK;
}

bool TStdErrDialogService::InputTextDialog(TVstEditorForm*, const std::string& caption,
                                           const std::string& prompt, bool, int, std::string&)
{
    Print(caption, prompt);
    return false;
}

bool TStdErrDialogService::InputNumberDialog(TVstEditorForm*, const std::string& caption,
                                             const std::string& prompt, double, double, int,
                                             double&)
{
    Print(caption, prompt);
    return false;
}

} // namespace tumblet
