#include "plugin/ThreadBoundDialogService.h"

namespace tumblet
{

TThreadBoundDialogService::TThreadBoundDialogService(std::unique_ptr<TDialogService> windowed,
                                                     std::unique_ptr<TDialogService> fallback)
    : FWindowed(std::move(windowed)), FFallback(std::move(fallback)),
      FOwner(std::this_thread::get_id())
{
}

TDialogService& TThreadBoundDialogService::Current()
{
    return std::this_thread::get_id() == FOwner.load() ? *FWindowed : *FFallback;
}

void TThreadBoundDialogService::ShowMessageDialog(TVstEditorForm* parentForm,
                                                  const std::string& text,
                                                  const std::string& caption, TButtons buttons,
                                                  TType type, TAnswered answered)
{
    Current().ShowMessageDialog(parentForm, text, caption, buttons, type, std::move(answered));
}

void TThreadBoundDialogService::InputTextDialog(TVstEditorForm* parentForm,
                                                const std::string& caption,
                                                const std::string& prompt, bool allowEmpty,
                                                int maxLength, const std::string& text,
                                                TTextEntered entered)
{
    Current().InputTextDialog(parentForm, caption, prompt, allowEmpty, maxLength, text,
                              std::move(entered));
}

void TThreadBoundDialogService::InputNumberDialog(TVstEditorForm* parentForm,
                                                  const std::string& caption,
                                                  const std::string& prompt, double maxValue,
                                                  double minValue, int decimals, double value,
                                                  TNumberEntered entered)
{
    Current().InputNumberDialog(parentForm, caption, prompt, maxValue, minValue, decimals, value,
                                std::move(entered));
}

void TThreadBoundDialogService::KeepMessage(const std::string& text, const std::string& caption,
                                            TType type)
{
    // Kept for whichever thread opens the editor next.
    FWindowed->KeepMessage(text, caption, type);
}

void TThreadBoundDialogService::ShowKeptMessages(TVstEditorForm* editor)
{
    Current().ShowKeptMessages(editor);
}

void TThreadBoundDialogService::EditorOpened()
{
    // Hosts such as Ardour create instances on one thread and run every editor on another.
    FOwner.store(std::this_thread::get_id());
}

} // namespace tumblet
