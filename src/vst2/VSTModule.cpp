#include "vst2/VSTModule.h"

#include <exception>

namespace tumblet
{

TVSTModule::TVSTModule() = default;
TVSTModule::~TVSTModule() = default;

void TVSTModule::Initialize()
{
    ApplyStoredConfiguration();
    if (!OnCreate)
        return;
    try
    {
        OnCreate(*this);
    }
    catch (const std::exception& e)
    {
        ReportFailure("creation", e.what());
    }
    catch (...)
    {
        ReportFailure("creation", "unknown exception");
    }
}

void TVSTModule::BeforeClose()
{
    TDspVSTModule::BeforeClose();
    if (OnDestroy)
        OnDestroy(*this);
}

AEffect* CreateVstInstance(audioMasterCallback audioMaster, TVSTModuleFactory factory) noexcept
{
    try
    {
        std::unique_ptr<TVSTModule> module = factory();
        module->Initialize();
        module->ConnectHost(audioMaster);
        // From here the record owns the module; effClose destroys it.
        return module.release()->GetEffect();
    }
    catch (const std::exception& e)
    {
        TBasicVSTModule::ReportFailure("instance creation", e.what());
    }
    catch (...)
    {
        TBasicVSTModule::ReportFailure("instance creation", "unknown exception");
    }
    return nullptr;
}

} // namespace tumblet
