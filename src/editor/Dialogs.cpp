#include "editor/Dialogs.h"

#include "editor/VSTEditorBase.h"

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
    void ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                           const std::string& caption, TButtons buttons, TType type,
                           TAnswered answered) override
    {
        TfrmVSTEditorBase* editor = Editor(parentForm);
        if (!editor)
        {
            TStdErrDialogService().ShowMessageDialog(nullptr, text, caption, buttons, type,
                                                     std::move(answered));
            return;
        }
        const TMsgDlgButtons b =
            buttons == TButtons::YesNo ? TMsgDlgButtons::YesNo : TMsgDlgButtons::OK;
        ShowMessageDialogLater(editor->DialogHolder(), editor, text, caption, b, DialogType(type),
                               [answered](TBlxModalResult r)
                               {
                                   if (answered)
                                       answered(r == TBlxModalResult::Yes  ? TResult::Yes
                                                : r == TBlxModalResult::No ? TResult::No
                                                                           : TResult::OK);
                               });
    }
    void InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                         const std::string& prompt, bool allowEmpty, int maxLength,
                         const std::string& text, TTextEntered entered) override
    {
        if (TfrmVSTEditorBase* editor = Editor(parentForm))
            tumblet::InputTextDialog(editor->DialogHolder(), editor, caption, prompt, allowEmpty,
                                     maxLength, text, std::move(entered));
        else
            TStdErrDialogService().InputTextDialog(nullptr, caption, prompt, allowEmpty, maxLength,
                                                   text, std::move(entered));
    }
    void InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                           const std::string& prompt, double maxValue, double minValue,
                           int decimals, double value, TNumberEntered entered) override
    {
        if (TfrmVSTEditorBase* editor = Editor(parentForm))
            tumblet::InputNumberDialog(editor->DialogHolder(), editor, caption, prompt, maxValue,
                                       minValue, decimals, value, std::move(entered));
        else
            TStdErrDialogService().InputNumberDialog(nullptr, caption, prompt, maxValue, minValue,
                                                     decimals, value, std::move(entered));
    }

    void KeepMessage(const std::string& text, const std::string& caption, TType type) override
    {
        TStdErrDialogService().ShowMessageDialog(nullptr, text, caption, TButtons::OK, type);
        std::lock_guard<std::mutex> lock(FKeptLock);
        FKept.push_back({text, caption, type});
    }
    void ShowKeptMessages(TVstEditorForm* editor) override
    {
        // One at a time, and never over a window of ours, or the browser, waiting for an answer.
        TfrmVSTEditorBase* form = Editor(editor);
        if (!form || form->DialogHolder() || form->ModalControl() ||
            TBlxApplication::Instance().TopModalFor(*form))
            return;
        TKept next;
        {
            std::lock_guard<std::mutex> lock(FKeptLock);
            if (FKept.empty())
                return;
            next = std::move(FKept.front());
            FKept.pop_front();
        }
        ShowMessageDialogLater(form->DialogHolder(), form, next.Text, next.Caption,
                               TMsgDlgButtons::OK, DialogType(next.Type));
    }

private:
    struct TKept
    {
        std::string Text;
        std::string Caption;
        TType Type = TType::Warning;
    };
    /// A dialog needs an editor to live in: without one nothing would close it with the editor.
    static TfrmVSTEditorBase* Editor(TVstEditorForm* form)
    {
        return dynamic_cast<TfrmVSTEditorBase*>(form);
    }

    std::mutex FKeptLock;
    std::deque<TKept> FKept;
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
