// This is where the product meets its windowed parts: the dialogs that need a display are
// installed here, so the module itself (and every test and tool that links it) runs without one.

#include "entry/ProductFactory.h"

#include "editor/Dialogs.h"
#include "plugin/Plugin.h"
#include "plugin/StdErrDialogService.h"
#include "plugin/ThreadBoundDialogService.h"

namespace tumblet
{

namespace
{

std::unique_ptr<TVSTModule> CreateProduct()
{
    std::unique_ptr<TVSTModule> module = TVSTPlugin::Create();
    static_cast<TVSTPlugin&>(*module).SetDialogService(std::make_unique<TThreadBoundDialogService>(
        CreateWindowedDialogService(), std::make_unique<TStdErrDialogService>()));
    return module;
}

} // namespace

AEffect* CreateProductEffect(audioMasterCallback audioMaster) noexcept
{
    return CreateVstInstance(audioMaster, &CreateProduct);
}

} // namespace tumblet
