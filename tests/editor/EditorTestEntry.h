#pragma once

// An entry that creates the product in the calling process with its editor, as the composition
// root wires it, but with the module's default dialogs, so that tests and benchmarks reach the
// module and its editor directly.

#include "editor/Editor.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "ui/BlxStyle.h"

#include <memory>

namespace tumblet::test
{

inline AEffect* EditorEntry(audioMasterCallback callback)
{
    SetStyleSelector([](const char* name) { TBlxStyle::Select(name); });
    return CreateVstInstance(callback,
                             []() -> std::unique_ptr<TVSTModule>
                             {
                                 auto plugin = std::make_unique<TVSTPlugin>();
                                 plugin->SetEditorFormClass(&CreateEditorForm);
                                 return plugin;
                             });
}

} // namespace tumblet::test
