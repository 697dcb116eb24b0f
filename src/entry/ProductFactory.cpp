// This is where the product meets its windowed parts: the dialogs and the editor window, which
// need a display, are installed here, so the module itself (and every test and tool that links
// it) runs without one.

#include "entry/ProductFactory.h"

#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "plugin/BlxCommon.h"
#include "plugin/Plugin.h"
#include "plugin/StdErrDialogService.h"
#include "plugin/ThreadBoundDialogService.h"
#include "ui/BlxApplication.h"
#include "ui/BlxStyle.h"

namespace tumblet
{

namespace
{

/// The module picks the user's skin by name when an editor opens; the toolkit applies it.
void SelectToolkitStyle(const char* name)
{
    TBlxStyle::Select(name);
}

std::unique_ptr<TVSTModule> CreateProduct()
{
    SetStyleSelector(&SelectToolkitStyle);
    std::unique_ptr<TVSTModule> module = TVSTPlugin::Create();
    static_cast<TVSTPlugin&>(*module).SetDialogService(std::make_unique<TThreadBoundDialogService>(
        CreateWindowedDialogService(), std::make_unique<TStdErrDialogService>()));
    module->SetEditorFormClass(&CreateEditorForm);
    return module;
}

} // namespace

AEffect* CreateProductEffect(audioMasterCallback audioMaster) noexcept
{
    return CreateVstInstance(audioMaster, &CreateProduct);
}

int EditorEventDescriptor() noexcept
{
    return TBlxApplication::Instance().EventDescriptor();
}

} // namespace tumblet
