// The library's only exported symbols: the entry under its two names. This is also where the
// product meets its windowed parts: the dialogs that need a display are installed here, so the
// module itself (and every test and tool that links it) runs without one.

#include "editor/Dialogs.h"
#include "plugin/Plugin.h"
#include "plugin/StdErrDialogService.h"
#include "plugin/ThreadBoundDialogService.h"

namespace
{

std::unique_ptr<tumblet::TVSTModule> CreateProduct()
{
    std::unique_ptr<tumblet::TVSTModule> module = tumblet::TVSTPlugin::Create();
    static_cast<tumblet::TVSTPlugin&>(*module).SetDialogService(
        std::make_unique<tumblet::TThreadBoundDialogService>(
            tumblet::CreateWindowedDialogService(),
            std::make_unique<tumblet::TStdErrDialogService>()));
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
