#pragma once

#include "vst2/AtomicFloatArray.h"
#include "vst2/CustomVstParameterCategories.h"
#include "vst2/CustomVstParameterProperties.h"
#include "vst2/CustomVstPrograms.h"
#include "vst2/VSTModuleWithMidi.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tumblet
{

/// Adds the parameter model (properties, categories, the three places a value can live, the
/// normalised <-> real mappings and the parameter opcodes), the programs and the chunk opcodes.
///
/// Threads: every change of a parameter, a program or a chunk takes the instance lock around the
/// change itself. Reads of values take no lock: outside chunk mode the values are relaxed atomics
/// (TAtomicFloatArray); in chunk mode the product's OnGetChunkParameter answers from its own
/// store, which must be safe to read the same way.
class TVSTModuleWithPrograms : public TVSTModuleWithMidi
{
public:
    TVSTModuleWithPrograms();
    ~TVSTModuleWithPrograms() override;

    TCustomVstParameterProperties& ParameterProperties() noexcept { return FParameterProperties; }
    const TCustomVstParameterProperties& ParameterProperties() const noexcept
    {
        return FParameterProperties;
    }
    TCustomVstParameterCategories& ParameterCategories() noexcept { return FParameterCategories; }
    const TCustomVstParameterCategories& ParameterCategories() const noexcept
    {
        return FParameterCategories;
    }
    TCustomVstPrograms& Programs() noexcept { return FPrograms; }
    const TCustomVstPrograms& Programs() const noexcept { return FPrograms; }

    /// Chunk mode: the module keeps its state in program chunks, not in value arrays.
    bool IsChunkMode() const noexcept { return (Flags() & effFlagsProgramChunks) != 0; }

    // ---- Parameters (real units unless marked normalised) ------------------------------------

    /// The current value from the storage of the current mode. Thread: any; no lock.
    virtual float GetParameter(std::int32_t index);
    /// StoreParameter, then tells the host when the parameter can be automated. An index
    /// outside the collection does nothing. Thread: any; takes the instance lock.
    virtual void SetParameter(std::int32_t index, float value);
    /// SetParameter for the first property with exactly this name. Throws EVstParameterError.
    // Thread: any; takes the instance lock.
    void SetParameterByName(const std::string& parameterName, float value);
    /// Stores the value and raises the change hooks without telling the host. Throws
    /// EVstParameterError for an index outside the collection. Thread: any; takes the lock.
    void StoreParameter(std::int32_t index, float value);

    // Texts for the host; "undefined" outside the collection. Thread: any (they build strings).
    std::string GetParameterName(std::int32_t index) const;
    std::string GetParameterLabel(std::int32_t index);
    std::string GetParameterDisplay(std::int32_t index);

    /// Normalised -> real, with clamping and smoothing; 0.0 outside the collection.
    // Thread: any; callers that store the result hold the instance lock (smoothing state).
    float VSTParameterToParameter(std::int32_t index, float normalised);
    /// Real -> normalised, clamped to 0..1; 0.0 outside the collection. Thread: any.
    float ParameterToVSTParameter(std::int32_t index, float value) const;

    // ---- Programs ------------------------------------------------------------------------------

    /// -1 until a program exists, then always a valid program number. Thread: any.
    std::int32_t CurrentProgram() const noexcept
    {
        return FCurrentProgram.load(std::memory_order_relaxed);
    }
    /// Selects a program and loads its values (see effSetProgram). Thread: UI; takes the lock.
    void SetCurrentProgram(std::int32_t value);
    /// The current program's name; empty without a current program. Thread: UI.
    std::string CurrentProgramName() const;
    void SetCurrentProgramName(const std::string& value);

    // Module hooks (sender first). Bound once at creation.
    /// The current value of a parameter in chunk mode, in real units. Raised from any thread
    /// without the instance lock.
    std::function<float(TVSTModuleWithPrograms& sender, std::int32_t index)> OnGetChunkParameter;
    /// Raised after the property's own hook on every store.
    std::function<void(TVSTModuleWithPrograms& sender, std::int32_t index, float& value)>
        OnParameterChange;
    /// The host set a parameter index outside the collection.
    std::function<void(TVSTModuleWithPrograms& sender)> OnParameterSizeFailed;
    std::function<void(TVSTModuleWithPrograms& sender)> OnBeforeProgramChange;
    std::function<void(TVSTModuleWithPrograms& sender)> OnAfterProgramChange;
    std::function<void(TVSTModuleWithPrograms& sender)> OnBeginSetProgram;
    std::function<void(TVSTModuleWithPrograms& sender)> OnEndSetProgram;
    std::function<void(TVSTModuleWithPrograms& sender, const VstPatchChunkInfo& info)>
        OnBeginLoadBank;
    std::function<void(TVSTModuleWithPrograms& sender, const VstPatchChunkInfo& info)>
        OnBeginLoadProgram;

protected:
    // Parameter entries and opcodes.
    void HostSetParameter(std::int32_t index, float value) override;
    float HostGetParameter(std::int32_t index) override;
    std::intptr_t HostCallGetParamName(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetParamLabel(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetParamDisplay(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallCanBeAutomated(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallString2Parameter(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetParameterProperties(std::int32_t, std::intptr_t, void*,
                                                 float) override;

    // Program and chunk opcodes.
    std::intptr_t HostCallSetProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetProgramName(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetProgramName(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetProgramNameIndexed(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetNumProgramCategories(std::int32_t, std::intptr_t, void*,
                                                  float) override;
    std::intptr_t HostCallBeginSetProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallEndSetProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallBeginLoadBank(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallBeginLoadProgram(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallGetChunk(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallSetChunk(std::int32_t, std::intptr_t, void*, float) override;

    void AfterEditorOpen() override;

private:
    friend class TCustomVstParameterProperties;
    friend class TCustomVstPrograms;

    /// Follows a property being added or removed: numParams and the value arrays.
    void ParameterCountChanged();
    /// Follows a program being created: numPrograms, and program 0 becomes current.
    void ProgramAdded();

    bool UsesProgramValues() const noexcept;
    /// The value array of the current mode; null in chunk mode.
    TAtomicFloatArray* CurrentValueArray() noexcept;
    void RaiseChangeHooks(std::int32_t index, float& value);
    std::string DefaultDisplay(std::int32_t index);
    /// The default text parser of effString2Parameter; leaves value alone when it cannot read.
    void FillParameterProperties(std::int32_t index, VstParameterProperties& record) const;
    void FillParameterCategory(const TCustomVstParameterProperty& property,
                               VstParameterProperties& record) const;
    std::intptr_t CopyProgramName(std::int32_t program, void* ptr) const;
    std::intptr_t
    BeginLoad(const std::function<void(TVSTModuleWithPrograms&, const VstPatchChunkInfo&)>& hook,
              void* ptr);
    std::intptr_t GetBankChunk(void* ptr);
    std::intptr_t SetBankChunk(const std::uint8_t* data, std::intptr_t length);

    TCustomVstParameterProperties FParameterProperties{*this};
    TCustomVstParameterCategories FParameterCategories{*this};
    TCustomVstPrograms FPrograms{*this};
    /// The values when there are neither chunks nor a current program.
    TAtomicFloatArray FModuleValues;
    /// Written under the instance lock, read by value reads without it.
    std::atomic<std::int32_t> FCurrentProgram{-1};
    /// The last bank handed to the host; valid until the next chunk opcode.
    std::vector<std::uint8_t> FBankBuffer;
};

} // namespace tumblet
