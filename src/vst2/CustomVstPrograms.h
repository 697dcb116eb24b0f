#pragma once

#include "vst2/VstProgram.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// The module's programs in program-number order; owns its items. Creating a program updates
/// the record's numPrograms and makes program 0 current when none was.
/// Thread: changed only while the configuration is applied.
class TCustomVstPrograms
{
public:
    explicit TCustomVstPrograms(TVSTModuleWithPrograms& module);
    ~TCustomVstPrograms();

    TVstProgram& Add();
    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(FItems.size()); }
    bool Contains(std::int32_t index) const noexcept { return index >= 0 && index < Count(); }
    /// Callers keep the index within Count().
    TVstProgram& operator[](std::int32_t index) { return *FItems[index]; }
    const TVstProgram& operator[](std::int32_t index) const { return *FItems[index]; }

private:
    TVSTModuleWithPrograms& FModule;
    std::vector<std::unique_ptr<TVstProgram>> FItems;
};

} // namespace tumblet
