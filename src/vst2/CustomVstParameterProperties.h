#pragma once

#include "vst2/CustomVstParameterProperty.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// The module's parameter properties in index order; owns its items. Adding or removing an
/// item updates the record's numParams and the value arrays.
/// Thread: changed only while the configuration is applied; read from any thread afterwards.
class TCustomVstParameterProperties
{
public:
    explicit TCustomVstParameterProperties(TVSTModuleWithPrograms& module);
    ~TCustomVstParameterProperties();

    TCustomVstParameterProperty& Add();
    void Remove(std::int32_t index);
    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(FItems.size()); }
    bool Contains(std::int32_t index) const noexcept { return index >= 0 && index < Count(); }
    /// Callers keep the index within Count().
    TCustomVstParameterProperty& operator[](std::int32_t index) { return *FItems[index]; }
    const TCustomVstParameterProperty& operator[](std::int32_t index) const
    {
        return *FItems[index];
    }
    /// Index of the first property with exactly this DisplayName, or -1.
    std::int32_t IndexOfName(const std::string& name) const;

private:
    TVSTModuleWithPrograms& FModule;
    std::vector<std::unique_ptr<TCustomVstParameterProperty>> FItems;
};

} // namespace tumblet
