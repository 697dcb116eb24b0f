#include "editor/Dialogs.h"

#include "plugin/DialogService.h"
#include "plugin/StdErrDialogService.h"
#include "ui/BlxApplication.h"
#include "ui/BlxWindow.h"
#include "vst2/VSTEditorForm.h"

#include <deque>
#include <mutex>

namespace tumblet
{

namespace
{

TMsgDlgType DialogType(TDialogService::TType type)
{
    using T = TDialogService::TType;
    return type == T::Error          ? TMsgDlgType::Error
           : type == T::Information  ? TMsgDlgType::Information
           : type == T::Confirmation ? TMsgDlgType::Confirmation
                                     : TMsgDlgType::Warning;
}

class TWindowedDialogService final : public TDialogService
{
public:
    TResult ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                              const std::string& caption, TButtons buttons, TType type) override
    {
        TMsgDlgButtons b = buttons == TButtons::YesNo ? TMsgDlgButtons::YesNo : TMsgDlgButtons::OK;
        TBlxModalResult r =
            tumblet::ShowMessageDialog(Parent(parentForm), text, caption, b, DialogType(type));
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

    void KeepMessage(const std::string& text, const std::string& caption, TType type) override
    {
        TStdErrDialogService().ShowMessageDialog(nullptr, text, caption, TButtons::OK, type);
        std::lock_guard<std::mutex> lock(FKeptLock);
        FKept.push_back({text, caption, type});
    }
    void ShowKeptMessages(TVstEditorForm* editor) override
    {
        // One at a time, and never over a window of ours that is waiting for an answer.
        if (FShowing || TBlxApplication::Instance().TopModal())
            return;
        TKept next;
        {
            std::lock_guard<std::mutex> lock(FKeptLock);
            if (FKept.empty())
                return;
            next = std::move(FKept.front());
            FKept.pop_front();
        }
        ShowMessageDialogLater(FShowing, Parent(editor), next.Text, next.Caption,
                               TMsgDlgButtons::OK, DialogType(next.Type));
    }

private:
    struct TKept
    {
        std::string Text;
        std::string Caption;
        TType Type = TType::Warning;
    };
    static TBlxWindow* Parent(TVstEditorForm* form) { return dynamic_cast<TBlxWindow*>(form); }

    std::mutex FKeptLock;
    std::deque<TKept> FKept;
    std::unique_ptr<TBlxWindow> FShowing;
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
