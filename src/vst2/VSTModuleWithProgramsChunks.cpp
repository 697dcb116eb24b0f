// The program half of TVSTModuleWithPrograms: the current program, the program opcodes and the
// transfer of program and bank chunks between the host and the programs' chunk buffers.

#include "vst2/VSTModuleWithPrograms.h"

#include "vst2/HostText.h"

#include <limits>
#include <mutex>

namespace tumblet
{

namespace
{
// A bank entry: a 32-bit little-endian length, then that many chunk bytes.
constexpr std::size_t kBankLengthBytes = 4;
constexpr std::size_t kTruncatedProgramNameUnits = kVstMaxProgNameLen;

void AppendLittleEndian32(std::vector<std::uint8_t>& buffer, std::uint32_t value)
{
    for (std::size_t i = 0; i < kBankLengthBytes; ++i)
        buffer.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::int32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kBankLengthBytes; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}
} // namespace

void TVSTModuleWithPrograms::ProgramAdded()
{
    GetEffect()->numPrograms = FPrograms.Count();
    if (CurrentProgram() < 0)
        SetCurrentProgram(0);
}

// ---- Current program -----------------------------------------------------------------------

void TVSTModuleWithPrograms::SetCurrentProgram(std::int32_t value)
{
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        if (!FPrograms.Contains(value) || value >= GetEffect()->numPrograms ||
            value == CurrentProgram())
            return;
        if (OnBeforeProgramChange)
            OnBeforeProgramChange(*this);
        const std::int32_t previous = CurrentProgram();
        FCurrentProgram.store(value, std::memory_order_relaxed);
        if (OnAfterProgramChange)
            OnAfterProgramChange(*this);
        if (previous < 0)
            return;
        const TAtomicFloatArray& values = FPrograms[value].ParameterValues();
        try
        {
            for (std::int32_t i = 0; i < values.Size(); ++i)
                StoreParameter(i, values.Get(i));
        }
        catch (...)
        {
            // A value a hook refuses ends the loading there; the program is selected anyway
            // and the editor and host still hear of it below.
        }
    }
    SetEditorNeedsUpdate(true);
    MasterUpdateDisplay();
}

std::string TVSTModuleWithPrograms::CurrentProgramName() const
{
    const std::int32_t current = CurrentProgram();
    return FPrograms.Contains(current) ? FPrograms[current].DisplayName() : std::string();
}

void TVSTModuleWithPrograms::SetCurrentProgramName(const std::string& value)
{
    const std::int32_t current = CurrentProgram();
    if (FPrograms.Contains(current))
        FPrograms[current].SetDisplayName(value);
    SetEditorNeedsUpdate(true);
    MasterUpdateDisplay();
}

// ---- Program opcodes -----------------------------------------------------------------------

std::intptr_t TVSTModuleWithPrograms::HostCallSetProgram(std::int32_t, std::intptr_t value, void*,
                                                         float)
{
    if (value >= 0 && value <= std::numeric_limits<std::int32_t>::max())
        SetCurrentProgram(static_cast<std::int32_t>(value));
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgram(std::int32_t, std::intptr_t, void*, float)
{
    return CurrentProgram();
}

std::intptr_t TVSTModuleWithPrograms::HostCallSetProgramName(std::int32_t, std::intptr_t, void* ptr,
                                                             float)
{
    const std::int32_t current = CurrentProgram();
    if (ptr != nullptr && FPrograms.Contains(current))
        FPrograms[current].SetDisplayName(ReadHostText(ptr));
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::CopyProgramName(std::int32_t program, void* ptr) const
{
    std::string name = FPrograms.Contains(program) ? FPrograms[program].DisplayName() : "";
    if (TruncateStrings())
        name = CutUtf16Units(name, kTruncatedProgramNameUnits);
    CopyHostText(ptr, name);
    return 1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgramName(std::int32_t, std::intptr_t, void* ptr,
                                                             float)
{
    if (ptr != nullptr)
        CopyProgramName(CurrentProgram(), ptr);
    return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgramNameIndexed(std::int32_t index,
                                                                    std::intptr_t, void* ptr, float)
{
    if (ptr == nullptr || !FPrograms.Contains(index))
        return 0;
    return CopyProgramName(index, ptr);
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetNumProgramCategories(std::int32_t, std::intptr_t,
                                                                      void*, float)
{
    return NumCategories();
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginSetProgram(std::int32_t, std::intptr_t, void*,
                                                              float)
{
    if (!OnBeginSetProgram)
        return 0;
    OnBeginSetProgram(*this);
    return 1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallEndSetProgram(std::int32_t, std::intptr_t, void*,
                                                            float)
{
    if (!OnEndSetProgram)
        return 0;
    OnEndSetProgram(*this);
    return 1;
}

std::intptr_t TVSTModuleWithPrograms::BeginLoad(
    const std::function<void(TVSTModuleWithPrograms&, const VstPatchChunkInfo&)>& hook, void* ptr)
{
    if (ptr == nullptr)
        return 0;
    const auto& info = *static_cast<const VstPatchChunkInfo*>(ptr);
    if (hook)
        hook(*this, info);
    // -1 tells the host the bank or program was made for another plug-in.
    return info.pluginUniqueID == GetEffect()->uniqueID ? 1 : -1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginLoadBank(std::int32_t, std::intptr_t, void* ptr,
                                                            float)
{
    return BeginLoad(OnBeginLoadBank, ptr);
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginLoadProgram(std::int32_t, std::intptr_t,
                                                               void* ptr, float)
{
    return BeginLoad(OnBeginLoadProgram, ptr);
}

// ---- Chunks --------------------------------------------------------------------------------
// The bytes handed to the host stay valid and unchanged until the next chunk opcode on the
// module: program chunks live in their program, the bank in FBankBuffer. The store and load
// hooks run under the instance lock so processing never sees half a state; the copies of the
// host's bytes are made before it is taken and the replaced bytes are freed after it is left.

std::intptr_t TVSTModuleWithPrograms::HostCallGetChunk(std::int32_t index, std::intptr_t, void* ptr,
                                                       float)
{
    if (FPrograms.Count() == 0 || ptr == nullptr)
        return 0;
    if (index == 0)
        return GetBankChunk(ptr);
    const std::int32_t current = CurrentProgram();
    TVstProgram& program = FPrograms[current];
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        program.Chunk().SetPosition(0);
        if (program.OnStoreChunk)
            program.OnStoreChunk(program, current, true);
    }
    *static_cast<const void**>(ptr) = program.Chunk().Data();
    return static_cast<std::intptr_t>(program.Chunk().Size());
}

std::intptr_t TVSTModuleWithPrograms::GetBankChunk(void* ptr)
{
    FBankBuffer.clear();
    for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
    {
        TVstProgram& program = FPrograms[i];
        {
            std::lock_guard<std::recursive_mutex> lock(InstanceLock());
            program.Chunk().SetPosition(0);
            if (program.OnStoreChunk)
                program.OnStoreChunk(program, i, false);
        }
        const TProgramChunk& chunk = program.Chunk();
        AppendLittleEndian32(FBankBuffer, static_cast<std::uint32_t>(chunk.Size()));
        FBankBuffer.insert(FBankBuffer.end(), chunk.Data(), chunk.Data() + chunk.Size());
    }
    *static_cast<const void**>(ptr) = FBankBuffer.data();
    return static_cast<std::intptr_t>(FBankBuffer.size());
}

std::intptr_t TVSTModuleWithPrograms::HostCallSetChunk(std::int32_t index, std::intptr_t value,
                                                       void* ptr, float)
{
    // A negative length describes no bytes at all; nothing is changed for it.
    if (FPrograms.Count() == 0 || ptr == nullptr || value < 0)
        return 0;
    const auto* data = static_cast<const std::uint8_t*>(ptr);
    if (index == 0)
        return SetBankChunk(data, value);
    std::vector<std::uint8_t> bytes(data, data + value);
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        const std::int32_t current = CurrentProgram();
        TVstProgram& program = FPrograms[current];
        program.Chunk().Swap(bytes);
        if (program.OnLoadChunk)
            program.OnLoadChunk(program, current, true);
    }
    SetEditorNeedsUpdate(true);
    return value;
}

std::intptr_t TVSTModuleWithPrograms::SetBankChunk(const std::uint8_t* data, std::intptr_t length)
{
    // Every entry must lie inside the host's bytes; a bank that does not fit is refused whole
    // rather than read past its end or applied in part.
    const auto size = static_cast<std::size_t>(length);
    std::vector<std::vector<std::uint8_t>> entries(static_cast<std::size_t>(FPrograms.Count()));
    std::size_t position = 0;
    for (auto& entry : entries)
    {
        if (size - position < kBankLengthBytes)
            return 0;
        const std::int32_t entryLength = ReadLittleEndian32(data + position);
        position += kBankLengthBytes;
        if (entryLength < 0 || static_cast<std::size_t>(entryLength) > size - position)
            return 0;
        entry.assign(data + position, data + position + entryLength);
        position += static_cast<std::size_t>(entryLength);
    }
    {
        std::lock_guard<std::recursive_mutex> lock(InstanceLock());
        for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
        {
            TVstProgram& program = FPrograms[i];
            program.Chunk().Swap(entries[static_cast<std::size_t>(i)]);
            if (program.OnLoadChunk)
                program.OnLoadChunk(program, i, false);
        }
        // The current program hears once more, so a state spread over programs ends on it.
        const std::int32_t current = CurrentProgram();
        TVstProgram& program = FPrograms[current];
        program.Chunk().SetPosition(0);
        if (program.OnLoadChunk)
            program.OnLoadChunk(program, current, false);
    }
    SetEditorNeedsUpdate(true);
    return length;
}

} // namespace tumblet
