#pragma once

#include "host/VSTModuleWithMidi.h"

namespace tumblet
{

/// Adds the parameter properties, the programs and the chunk opcodes.
class TVSTModuleWithPrograms : public TVSTModuleWithMidi
{
public:
    TVSTModuleWithPrograms();
    ~TVSTModuleWithPrograms() override;

    /// -1 until a program exists.
    std::int32_t CurrentProgram() const { return FCurrentProgram; }

protected:
    std::int32_t FCurrentProgram = -1;
};

} // namespace tumblet
