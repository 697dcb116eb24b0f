#include "plugin/BlxVSTParameterValues.h"

#include "engine/Rounding.h"
#include "vst2/VSTModuleWithPrograms.h"

#include <stdexcept>

namespace tumblet
{

TVSTParameterValue::TVSTParameterValue(TVSTModuleWithPrograms& module, std::int32_t index,
                                       std::string name, float defaultValue)
    : FModule(module), FIndex(index), FName(std::move(name)), FDefaultValue(defaultValue),
      FValue(defaultValue)
{
}

TVSTParameterValue::TVSTParameterValue(const TVSTParameterValue& other)
    : FModule(other.FModule), FIndex(other.FIndex), FName(other.FName),
      FDefaultValue(other.FDefaultValue), FValue(other.Value())
{
}

void TVSTParameterValue::ResetToDefault(bool force)
{
    if (!force && Value() == FDefaultValue)
        return;
    SetValue(FDefaultValue);
    FModule.SetParameter(FIndex, FModule.GetParameter(FIndex));
}

std::int64_t TVSTParameterValue::RoundedValue() const noexcept
{
    const double rounded = RoundEven(static_cast<double>(Value()));
    // A float outside the 64-bit range (or NaN) only comes from a damaged value; keep it finite.
    if (!(rounded > -9.2e18 && rounded < 9.2e18))
        return 0;
    return static_cast<std::int64_t>(rounded);
}

TVSTParameterValues::TVSTParameterValues(TVSTModuleWithPrograms& module) : FModule(module) {}

TVSTParameterValue& TVSTParameterValues::Add(const std::string& name, float defaultValue)
{
    FItems.push_back(std::make_unique<TVSTParameterValue>(FModule, Count(), name, defaultValue));
    return *FItems.back();
}

std::int32_t TVSTParameterValues::IndexOfName(std::string_view name) const noexcept
{
    for (std::int32_t i = 0; i < Count(); ++i)
    {
        if (FItems[static_cast<std::size_t>(i)]->Name() == name)
            return i;
    }
    return -1;
}

std::int32_t TVSTParameterValues::FindByName(std::string_view name) const
{
    const std::int32_t index = IndexOfName(name);
    if (index < 0)
        throw std::out_of_range("TVSTParameterValues.FindByName - No match: " + std::string(name));
    return index;
}

TVSTParameterValue& TVSTParameterValues::Items(std::int32_t index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *FItems[static_cast<std::size_t>(index)];
}

const TVSTParameterValue& TVSTParameterValues::Items(std::int32_t index) const
{
    return const_cast<TVSTParameterValues*>(this)->Items(index);
}

TVSTParameterValue& TVSTParameterValues::Items(std::string_view name)
{
    return Items(FindByName(name));
}

void TVSTParameterValues::ResetToDefaults()
{
    for (auto& item : FItems)
        item->ResetToDefault(true);
}

} // namespace tumblet
