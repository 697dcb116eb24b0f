#include "vst2/VstProgram.h"

#include "vst2/HostText.h"

namespace tumblet
{

namespace
{
constexpr std::size_t kProgramNameUnits = 50;
} // namespace

TCustomVstProgram::TCustomVstProgram(TVSTModuleWithPrograms& module, bool chunkMode,
                                     std::int32_t numParams)
    : FModule(module), FChunkMode(chunkMode)
{
    if (!chunkMode)
        FParameterValues.Resize(numParams);
}

TCustomVstProgram::~TCustomVstProgram() = default;

void TCustomVstProgram::SetDisplayName(const std::string& value)
{
    FDisplayName = CutUtf16Units(value, kProgramNameUnits);
}

} // namespace tumblet
