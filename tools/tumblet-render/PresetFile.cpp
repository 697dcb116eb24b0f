#include "PresetFile.h"

#include "OutputFiles.h"
#include "PluginHost.h"
#include "RenderError.h"
#include "StateChecker.h"

#include <cstring>

namespace tumblet
{

namespace
{

constexpr std::size_t kHeaderSize = 8;    // identifier and payload size
constexpr std::size_t kSignatureSize = 4; // "TPF0"
constexpr std::int32_t kTumbletId = FourCC('b', 'x', '0', '2');
constexpr std::size_t kMaxPresetBytes = 16 * 1024 * 1024; // far above any real preset

} // namespace

void CheckStateContainer(const std::vector<std::uint8_t>& bytes, const std::string& path)
{
    const std::string refused = path + " is not a Tumblet preset: ";
    if (bytes.size() < kHeaderSize + kSignatureSize || std::memcmp(bytes.data(), "mmst", 4) != 0)
        ThrowRuntime(refused + "it does not begin with an \"mmst\" state container");
    const std::uint32_t size =
        static_cast<std::uint32_t>(bytes[4]) | (static_cast<std::uint32_t>(bytes[5]) << 8) |
        (static_cast<std::uint32_t>(bytes[6]) << 16) | (static_cast<std::uint32_t>(bytes[7]) << 24);
    if (size != bytes.size() - kHeaderSize)
        ThrowRuntime(refused + "its container announces " + std::to_string(size) +
                     " bytes of state but holds " + std::to_string(bytes.size() - kHeaderSize));
    if (std::memcmp(bytes.data() + kHeaderSize, "TPF0", kSignatureSize) != 0)
        ThrowRuntime(refused + "its state does not begin with the \"TPF0\" signature");
    try
    {
        TStateChecker::Check(std::vector<std::uint8_t>(bytes.begin() + kHeaderSize, bytes.end()));
    }
    catch (const TRenderError& error)
    {
        ThrowRuntime(refused + "the plug-in would refuse its state: " + error.what());
    }
}

void LoadPreset(TPluginHost& host, const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path, "preset", kMaxPresetBytes);
    if (bytes.empty())
        ThrowRuntime("the preset " + path + " is empty");
    if (host.Effect()->uniqueID == kTumbletId)
        CheckStateContainer(bytes, path);
    if (!host.HasProgramChunks())
        ThrowRuntime("the plug-in does not take presets as program chunks");
    if (!host.SetProgramChunk(bytes))
        ThrowRuntime("the plug-in refused the preset " + path);
}

} // namespace tumblet
