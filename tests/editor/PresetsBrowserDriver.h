#pragma once

#include "editor/PresetsForm.h"
#include "ui/BlxApplication.h"
#include "ui/BlxTestDriver.h"
#include "ui/BlxWindow.h"
#include "ui/IdlePump.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tumblet::test
{

/// Shows the presets browser over `editor` and idles as a host does until it closed, the editor
/// is gone, or a minute passed; returns its answer.
inline std::optional<std::string> BrowseUntilClosed(TBlxWindow& editor, TBlxSize size,
                                                    const std::string& presetsFolder,
                                                    const std::string& currentName)
{
    constexpr int64_t kGiveUpMs = 60000;
    bool closed = false;
    std::optional<std::string> answer;
    const std::shared_ptr<bool> alive = editor.AliveFlag();
    ShowPresetsBrowser(editor, size, presetsFolder, currentName,
                       [&](std::optional<std::string> path)
                       {
                           answer = path;
                           closed = true;
                       });
    TBlxApplication& app = TBlxApplication::Instance();
    const int64_t end = app.NowMs() + kGiveUpMs;
    IdleUntil([&] { return closed || !*alive || app.NowMs() > end; });
    return answer;
}

/// Queues an action that waits until the presets browser is open over `editor`, with no window
/// above it, then runs on it (offscreen).
inline void WhenBrowserOpen(TBlxWindow& editor, std::function<void(TfrmPresets&)> action)
{
    const std::shared_ptr<bool> alive = editor.AliveFlag();
    TBlxWindow* window = &editor;
    Offscreen().Post(
        [alive, window, action]
        {
            if (!*alive)
                return true;
            TfrmPresets* browser = OpenPresetsBrowser(*window);
            if (browser == nullptr || TBlxApplication::Instance().TopModal() != nullptr)
                return false;
            action(*browser);
            return true;
        });
}

} // namespace tumblet::test
