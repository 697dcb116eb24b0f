#include "vst2/CustomVstParameterCategories.h"

#include "vst2/HostText.h"
#include "vst2/VSTModuleWithPrograms.h"

namespace tumblet
{

namespace
{
constexpr std::size_t kCategoryNameUnits = 24;
} // namespace

TCustomVstParameterCategory::TCustomVstParameterCategory(TVSTModuleWithPrograms& module,
                                                         std::int32_t number)
    : FModule(module), FDisplayName("Category " + std::to_string(number))
{
}

void TCustomVstParameterCategory::SetDisplayName(const std::string& value)
{
    FDisplayName = CutUtf16Units(value, kCategoryNameUnits);
}

std::int32_t TCustomVstParameterCategory::ParametersInCategory() const
{
    const TCustomVstParameterProperties& properties = FModule.ParameterProperties();
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < properties.Count(); ++i)
    {
        if (properties[i].Category() == FDisplayName)
            ++count;
    }
    return count;
}

TCustomVstParameterCategories::TCustomVstParameterCategories(TVSTModuleWithPrograms& module)
    : FModule(module)
{
}

TCustomVstParameterCategories::~TCustomVstParameterCategories() = default;

TCustomVstParameterCategory& TCustomVstParameterCategories::Add()
{
    FItems.push_back(std::make_unique<TCustomVstParameterCategory>(FModule, Count() + 1));
    return *FItems.back();
}

void TCustomVstParameterCategories::Remove(std::int32_t index)
{
    if (index < 0 || index >= Count())
        return;
    const std::string name = FItems[index]->DisplayName();
    FItems.erase(FItems.begin() + index);
    TCustomVstParameterProperties& properties = FModule.ParameterProperties();
    for (std::int32_t i = 0; i < properties.Count(); ++i)
    {
        if (properties[i].Category() == name)
            properties[i].ClearCategory();
    }
}

std::int32_t TCustomVstParameterCategories::IndexOf(const std::string& name) const
{
    for (std::int32_t i = 0; i < Count(); ++i)
    {
        if (FItems[i]->DisplayName() == name)
            return i;
    }
    return -1;
}

} // namespace tumblet
