#include "vst2/CustomVstPrograms.h"

#include "vst2/VSTModuleWithPrograms.h"

namespace tumblet
{

TCustomVstPrograms::TCustomVstPrograms(TVSTModuleWithPrograms& module) : FModule(module) {}

TCustomVstPrograms::~TCustomVstPrograms() = default;

TVstProgram& TCustomVstPrograms::Add()
{
    FItems.push_back(std::make_unique<TVstProgram>(FModule, FModule.IsChunkMode(),
                                                   FModule.ParameterProperties().Count()));
    FModule.ProgramAdded();
    return *FItems.back();
}

} // namespace tumblet
