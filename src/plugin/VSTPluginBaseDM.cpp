#include "plugin/VSTPluginBaseDM.h"

namespace tumblet
{

TVSTPluginBase::TVSTPluginBase() = default;
TVSTPluginBase::~TVSTPluginBase() = default;

void TVSTPluginBase::BaseModuleCreate()
{
    FParameterValues = std::make_unique<TVSTParameterValues>(*this);
    DefineParameterValues();
    FParameterValues->ResetToDefaults();
}

void TVSTPluginBase::BaseModuleDestroy() {}

void TVSTPluginBase::ValueListText(const std::string&, std::int32_t, std::string&) {}

void TVSTPluginBase::RefreshHostKind()
{
    FHostIsUnknown.store(HostProduct() == "Unknown", std::memory_order_relaxed);
}

bool TVSTPluginBase::HostIgnoresTouch()
{
    const std::string product = HostProduct();
    return product == "Live" || product == "Bitwig Studio" || product == "Unknown";
}

void TVSTPluginBase::NotifyParameterTouched(const std::string& name)
{
    if (HostIgnoresTouch())
        return;
    const std::int32_t index = ParameterProperties().IndexOfName(name);
    if (index < 0)
        return;
    MasterAutomate(index, ParameterToVSTParameter(index, GetParameter(index)));
}

std::intptr_t TVSTPluginBase::HostCallOpen(std::int32_t index, std::intptr_t value, void* ptr,
                                           float opt)
{
    RefreshHostKind();
    return TVSTModule::HostCallOpen(index, value, ptr, opt);
}

std::intptr_t TVSTPluginBase::HostCallMainsChanged(std::int32_t index, std::intptr_t value,
                                                   void* ptr, float opt)
{
    RefreshHostKind();
    return TVSTModule::HostCallMainsChanged(index, value, ptr, opt);
}

} // namespace tumblet
