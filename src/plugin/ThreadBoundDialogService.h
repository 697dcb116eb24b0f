#pragma once

#include "plugin/DialogService.h"

#include <atomic>
#include <memory>
#include <thread>

namespace tumblet
{

/// Shows windowed dialogs only on the thread that last opened the editor (before that, the one
/// that created the instance); on any other thread the text goes to the fallback service. Hosts
/// call some operations that may warn, chunk loads among them, from worker threads, and a window
/// opened there would share the editor's display connection with the user-interface thread.
class TThreadBoundDialogService final : public TDialogService
{
public:
    TThreadBoundDialogService(std::unique_ptr<TDialogService> windowed,
                              std::unique_ptr<TDialogService> fallback);

    void ShowMessageDialog(TVstEditorForm* parentForm, const std::string& text,
                           const std::string& caption, TButtons buttons, TType type,
                           TAnswered answered = {}) override;
    void InputTextDialog(TVstEditorForm* parentForm, const std::string& caption,
                         const std::string& prompt, bool allowEmpty, int maxLength,
                         const std::string& text, TTextEntered entered) override;
    void InputNumberDialog(TVstEditorForm* parentForm, const std::string& caption,
                           const std::string& prompt, double maxValue, double minValue,
                           int decimals, double value, TNumberEntered entered) override;
    void KeepMessage(const std::string& text, const std::string& caption, TType type) override;
    void ShowKeptMessages(TVstEditorForm* editor) override;
    void EditorOpened() override;

private:
    TDialogService& Current();

    std::unique_ptr<TDialogService> FWindowed;
    std::unique_ptr<TDialogService> FFallback;
    std::atomic<std::thread::id> FOwner;
};

} // namespace tumblet
