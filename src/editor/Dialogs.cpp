#include "editor/Dialogs.h"

#include "host/VSTEditorForm.h"
#include "plugin/DialogService.h"
#include "ui/BlxApplication.h"
#include "ui/BlxWindow.h"

namespace tumblet
{

namespace
{

class TWindowedDialogService final : public TDialogService
{
public:
    TResult ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                              const std::string& caption, TButtons buttons, TType type) override
    {
        TMsgDlgButtons b = buttons == TButtons::YesNo ? TMsgDlgButtons::YesNo : TMsgDlgButtons::OK;
        TMsgDlgType t = type == TType::Error          ? TMsgDlgType::Error
                        : type == TType::Information  ? TMsgDlgType::Information
                        : type == TType::Confirmation ? TMsgDlgType::Confirmation
                                                      : TMsgDlgType::Warning;
        TBlxModalResult r = tumblet::ShowMessageDialog(Parent(parentForm), text, caption, b, t);
        return r == TBlxModalResult::Yes  ? TResult::Yes
               : r == TBlxModalResult::No ? TResult::No
                                          : TResult::OK;
    }
    bool InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                         const std::string& prompt, bool allowEmpty, int maxLength,
                         std::string& text) override
    {
        return tumblet::InputTextDialog(Parent(parentForm), caption, prompt, allowEmpty, maxLength,
                                        text);
    }
    bool InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                           const std::string& prompt, double maxValue, double minValue,
                           int decimals, double& value) override
    {
        return tumblet::InputNumberDialog(Parent(parentForm), caption, prompt, maxValue, minValue,
                                          decimals, value);
    }

private:
    static TBlxWindow* Parent(TVstEditorForm* form) { return dynamic_cast<TBlxWindow*>(form); }
};

} // namespace

std::unique_ptr<TDialogService> CreateWindowedDialogService()
{
    return std::make_unique<TWindowedDialogService>();
}

void PlaceDialog(TBlxWindow& dialog, TBlxWindow* parentForm)
{
    TBlxApplication& app = TBlxApplication::Instance();
    if (parentForm)
    {
        TBlxPoint origin = parentForm->ClientOriginOnScreen();
        dialog.SetPosition({origin.X + (parentForm->Width() - dialog.Width()) / 2,
                            origin.Y + (parentForm->Height() - dialog.Height()) / 2});
        dialog.SetPopupParent(parentForm);
        return;
    }
    std::optional<TBlxRect> active = app.ActiveWindowRect();
    dialog.CentreOn(active ? *active : app.ScreenRect());
}

} // namespace tumblet
