// The library's only exported symbols: the entry under its two names. This is also where the
// product meets its windowed parts: the dialogs and the editor window, which need a display, are
// installed here, so the module itself (and every test and tool that links it) runs without one.

#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "plugin/StdErrDialogService.h"
#include "plugin/ThreadBoundDialogService.h"
#include "ui/BlxStyle.h"

namespace
{

/// The module picks the user's skin by name when an editor opens; the toolkit applies it.
void SelectToolkitStyle(const char* name)
{
    tumblet::TBlxStyle::Select(name);
}

std::unique_ptr<tumblet::TVSTModule> CreateProduct()
{
    tumblet::SetStyleSelector(&SelectToolkitStyle);
    std::unique_ptr<tumblet::TVSTModule> module = tumblet::TVSTPlugin::Create();
    static_cast<tumblet::TVSTPlugin&>(*module).SetDialogService(
        std::make_unique<tumblet::TThreadBoundDialogService>(
            tumblet::CreateWindowedDialogService(),
            std::make_unique<tumblet::TStdErrDialogService>()));
    module->SetEditorFormClass(&tumblet::CreateEditorForm);
    return module;
}

} // namespace

extern "C" __attribute__((visibility("default"))) tumblet::AEffect*
VSTPluginMain(tumblet::audioMasterCallback audioMaster)
{
    return tumblet::CreateVstInstance(audioMaster, &CreateProduct);
}

// Hosts look the entry up under either name. C++ forbids a function called main that does not
// return int, so the second name is given as an assembler label.
extern "C" __attribute__((visibility("default"))) tumblet::AEffect*
VstMainAlias(tumblet::audioMasterCallback audioMaster) asm("main");

extern "C" tumblet::AEffect* VstMainAlias(tumblet::audioMasterCallback audioMaster)
{
    return tumblet::CreateVstInstance(audioMaster, &CreateProduct);
}
