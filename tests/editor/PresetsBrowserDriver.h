#pragma once

#include "editor/PresetsForm.h"
#include "ui/BlxApplication.h"
#include "ui/IdlePump.h"

#include <memory>
#include <optional>
#include <string>

namespace tumblet::test
{

/// Shows the presets browser and idles as a host does until it closed; returns its answer.
inline std::optional<std::string> BrowseUntilClosed(TBlxWindow& parent, TBlxSize size,
                                                    const std::string& presetsFolder,
                                                    const std::string& currentName)
{
    std::unique_ptr<TBlxWindow> holder;
    bool closed = false;
    std::optional<std::string> answer;
    ShowPresetsBrowser(holder, parent, size, presetsFolder, currentName,
                       [&](std::optional<std::string> path)
                       {
                           answer = path;
                           closed = true;
                       });
    IdleUntil([&] { return closed || !holder; });
    return answer;
}

} // namespace tumblet::test
