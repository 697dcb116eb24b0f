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

void TStdErrDialogService::ShowMessageDialog(TVstEditorForm*, const std::string& text,
                                             const std::string& caption, TButtons buttons, TType,
                                             TAnswered answered)
{
    Print(caption, text);
    if (answered)
        answered(buttons == TButtons::YesNo ? TResult::No : TResult::OK);
}

void TStdErrDialogService::InputTextDialog(TVstEditorForm*, const std::string& caption,
                                           const std::string& prompt, bool, int, const std::string&,
                                           TTextEntered entered)
{
    Print(caption, prompt);
    if (entered)
        entered(std::nullopt);
}

void TStdErrDialogService::InputNumberDialog(TVstEditorForm*, const std::string& caption,
                                             const std::string& prompt, double, double, int, double,
                                             TNumberEntered entered)
{
    Print(caption, prompt);
    if (entered)
        entered(std::nullopt);
}

} // namespace tumblet
