#include "entry/ModuleFactory.h"

#include "plugin/Plugin.h"
#include "plugin/StdErrDialogService.h"
#include "plugin/ThreadBoundDialogService.h"

#include <cstdio>
#include <exception>

namespace tumblet
{

std::unique_ptr<TVSTModule> CreateModule()
{
    return TVSTPlugin::Create();
}

void AttachWindowedParts(TVSTModule& module, const TWindowedParts& parts)
{
    SetStyleSelector(parts.SelectStyle);
    if (auto* plugin = dynamic_cast<TVSTPlugin*>(&module); plugin != nullptr && parts.CreateDialogs)
        plugin->SetDialogService(std::make_unique<TThreadBoundDialogService>(
            parts.CreateDialogs(), std::make_unique<TStdErrDialogService>()));
    module.SetEditorFormClass(parts.CreateForm);
}

AEffect* CreateModuleEffect(audioMasterCallback audioMaster) noexcept
{
    return CreateVstInstance(audioMaster, &CreateModule);
}

bool AttachWindowedPartsToEffect(AEffect* effect, const TWindowedParts& parts) noexcept
{
    try
    {
        auto* module = dynamic_cast<TVSTModule*>(TBasicVSTModule::FromEffect(effect));
        if (module == nullptr)
            return false;
        if (!module->EditorFormClass())
            AttachWindowedParts(*module, parts);
        return true;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "Tumblet: attaching the editor: %s\n", e.what());
    }
    catch (...)
    {
        std::fprintf(stderr, "Tumblet: attaching the editor: unknown error\n");
    }
    return false;
}

} // namespace tumblet
