#pragma once

#include "vst2/AtomicFloatArray.h"
#include "vst2/ProgramChunk.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tumblet
{

class TVSTModuleWithPrograms;

/// One program: a name and either the program's parameter values (real units) or, when the
/// module keeps its state in chunks, the program's chunk bytes. Which of the two is decided by
/// the module's flags when the program is created.
class TCustomVstProgram
{
public:
    TCustomVstProgram(TVSTModuleWithPrograms& module, bool chunkMode, std::int32_t numParams);
    virtual ~TCustomVstProgram();

    TCustomVstProgram(const TCustomVstProgram&) = delete;
    TCustomVstProgram& operator=(const TCustomVstProgram&) = delete;

    TVSTModuleWithPrograms& VSTModule() const { return FModule; }

    /// At most 50 UTF-16 units; "Init" at creation. Thread: UI (the host's program opcodes).
    const std::string& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const std::string& value);

    /// The parameter values outside chunk mode (empty in chunk mode).
    TAtomicFloatArray& ParameterValues() noexcept { return FParameterValues; }
    const TAtomicFloatArray& ParameterValues() const noexcept { return FParameterValues; }

    /// The chunk bytes in chunk mode. The buffer handed to the host stays valid until the next
    /// chunk opcode on the module.
    TProgramChunk& Chunk() noexcept { return FChunk; }
    bool ChunkMode() const noexcept { return FChunkMode; }

    // Hooks (sender first). Bound once at creation.
    /// For a product that initialises programs from its configuration code; the framework
    /// itself never raises it, since a hook assigned after Add could not hear a raise from Add.
    std::function<void(TCustomVstProgram& sender)> OnInitialize;
    /// Fills Chunk before the host gets it.
    std::function<void(TCustomVstProgram& sender, std::int32_t index, bool isPreset)> OnStoreChunk;
    /// Reads Chunk after the host has set it.
    std::function<void(TCustomVstProgram& sender, std::int32_t index, bool isPreset)> OnLoadChunk;

private:
    TVSTModuleWithPrograms& FModule;
    std::string FDisplayName = "Init";
    bool FChunkMode;
    TAtomicFloatArray FParameterValues;
    TProgramChunk FChunk;
};

/// The program class the module creates.
class TVstProgram : public TCustomVstProgram
{
public:
    using TCustomVstProgram::TCustomVstProgram;
};

} // namespace tumblet
