#pragma once

// The product's module on its own, without the parts that need a display, and the one place
// where those parts are given to it. A plug-in format whose editor lives in a library of its own
// (LV2) creates the module here and lets its editor library hand the windowed parts over later.

#include "plugin/BlxCommon.h"
#include "vst2/VSTEditorForm.h"
#include "vst2/VSTModule.h"

#include <memory>

namespace tumblet
{

class TDialogService;

/// What the windowed side adds to the module: skins, the editor form and dialogs on screen.
struct TWindowedParts
{
    TStyleSelector SelectStyle = nullptr;
    TVstEditorFormClass CreateForm;
    std::unique_ptr<TDialogService> (*CreateDialogs)() = nullptr;
};

/// The module with standard-error dialogs and no editor form. Throws on failure. Thread: any.
std::unique_ptr<TVSTModule> CreateModule();

/// Gives the module its windowed parts; dialogs asked for on this thread are shown in windows,
/// those asked for on any other thread go to standard error. Thread: UI.
void AttachWindowedParts(TVSTModule& module, const TWindowedParts& parts);

/// One instance of the module alone behind a VST 2.4 effect record; null on failure.
// Thread: any.
AEffect* CreateModuleEffect(audioMasterCallback audioMaster) noexcept;

/// AttachWindowedParts for the module behind an effect record, once: a module that has its
/// editor form already keeps its parts. False when the record leads to no module or the parts
/// could not be given. Thread: UI.
bool AttachWindowedPartsToEffect(AEffect* effect, const TWindowedParts& parts) noexcept;

} // namespace tumblet
