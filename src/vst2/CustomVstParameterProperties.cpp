#include "vst2/CustomVstParameterProperties.h"

#include "vst2/VSTModuleWithPrograms.h"

namespace tumblet
{

TCustomVstParameterProperties::TCustomVstParameterProperties(TVSTModuleWithPrograms& module)
    : FModule(module)
{
}

TCustomVstParameterProperties::~TCustomVstParameterProperties() = default;

TCustomVstParameterProperty& TCustomVstParameterProperties::Add()
{
    FItems.push_back(std::make_unique<TCustomVstParameterProperty>(FModule, Count() + 1));
    FModule.ParameterCountChanged();
    return *FItems.back();
}

void TCustomVstParameterProperties::Remove(std::int32_t index)
{
    if (!Contains(index))
        return;
    FItems.erase(FItems.begin() + index);
    FModule.ParameterCountChanged();
}

std::int32_t TCustomVstParameterProperties::IndexOfName(const std::string& name) const
{
    for (std::int32_t i = 0; i < Count(); ++i)
    {
        if (FItems[i]->DisplayName() == name)
            return i;
    }
    return -1;
}

} // namespace tumblet
