#include "PluginHost.h"

#include "PluginPath.h"
#include "RenderError.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace tumblet
{

namespace
{

// Plug-ins write name and display texts into our buffer; the interface promises 8 characters
// but many write more, so the buffer is generous.
constexpr std::size_t kTextBufferSize = 256;
// effGetChunk index for the current program's chunk (0 would be the whole bank).
constexpr std::int32_t kProgramChunk = 1;

using TEntryFunction = AEffect* (*)(audioMasterCallback);

} // namespace

// Set while a plug-in's entry runs: it calls back with a null effect before it has a record.
thread_local TPluginHost* GCreatingHost = nullptr;

TPluginHost::TPluginHost(THostSettings settings) : FSettings(std::move(settings)) {}

TPluginHost::~TPluginHost()
{
    Unload();
}

void TPluginHost::Load(const std::string& path)
{
    if (!std::filesystem::exists(path))
        ThrowRuntime("cannot load the plug-in " + path + ": no such file");
    FLibrary = dlopen(LoadablePluginPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (FLibrary == nullptr)
    {
        const char* message = dlerror();
        ThrowRuntime("cannot load the plug-in " + path + ": " + (message ? message : "unknown"));
    }
    auto entry = reinterpret_cast<TEntryFunction>(dlsym(FLibrary, "VSTPluginMain"));
    if (entry == nullptr)
        entry = reinterpret_cast<TEntryFunction>(dlsym(FLibrary, "main"));
    if (entry == nullptr)
        ThrowRuntime(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    FPluginDirectory = std::filesystem::absolute(path).parent_path().string();
    GCreatingHost = this;
    AEffect* effect = entry(&TPluginHost::Callback);
    GCreatingHost = nullptr;
    if (effect == nullptr)
        ThrowRuntime("the plug-in " + path + " refused to create an instance");
    if (effect->magic != kEffectMagic)
        ThrowRuntime(path + " is not a VST 2.4 plug-in: its effect record has no 'VstP' magic");
    FEffect = effect;
    // resvd1 belongs to the host; it leads the callback back to this object.
    FEffect->resvd1 = reinterpret_cast<std::intptr_t>(this);
    if (FEffect->processReplacing == nullptr)
        ThrowRuntime("the plug-in " + path + " has no processReplacing entry");
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(FSettings.SampleRate));
    Dispatch(effSetBlockSize, 0, FSettings.BlockSize);
    AllocateBuffers();
}

void TPluginHost::AllocateBuffers()
{
    // Some plug-ins write a stereo pair whatever pins they declare; two buffers a side cost
    // nothing and keep such a plug-in inside our memory.
    constexpr std::size_t kMinChannels = 2;
    const auto size = static_cast<std::size_t>(FSettings.BlockSize);
    FInputBuffers.assign(std::max<std::size_t>(kMinChannels, std::max(FEffect->numInputs, 0)),
                         std::vector<float>(size));
    FOutputBuffers.assign(std::max<std::size_t>(kMinChannels, std::max(FEffect->numOutputs, 0)),
                          std::vector<float>(size));
    FInputPointers.clear();
    FOutputPointers.clear();
    for (auto& buffer : FInputBuffers)
        FInputPointers.push_back(buffer.data());
    for (auto& buffer : FOutputBuffers)
        FOutputPointers.push_back(buffer.data());
}

void TPluginHost::Resume()
{
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effStartProcess);
    FResumed = true;
}

void TPluginHost::Suspend()
{
    if (!FResumed)
        return;
    Dispatch(effStopProcess);
    Dispatch(effMainsChanged, 0, 0);
    FResumed = false;
}

void TPluginHost::Unload()
{
    if (FEffect != nullptr)
    {
        Suspend();
        FEffect->dispatcher(FEffect, effClose, 0, 0, nullptr, 0.0f);
        FEffect = nullptr;
    }
    if (FLibrary != nullptr)
    {
        dlclose(FLibrary);
        FLibrary = nullptr;
    }
}

std::int32_t TPluginHost::NumParams() const
{
    return FEffect != nullptr ? FEffect->numParams : 0;
}

std::string TPluginHost::ParamName(std::int32_t index) const
{
    return DispatchText(effGetParamName, index);
}

std::string TPluginHost::ParamDisplay(std::int32_t index) const
{
    return DispatchText(effGetParamDisplay, index);
}

std::string TPluginHost::ParamLabel(std::int32_t index) const
{
    return DispatchText(effGetParamLabel, index);
}

float TPluginHost::GetParameter(std::int32_t index) const
{
    return FEffect->getParameter(FEffect, index);
}

void TPluginHost::SetParameter(std::int32_t index, float value)
{
    FEffect->setParameter(FEffect, index, value);
}

std::intptr_t TPluginHost::VendorSpecific(std::int32_t index, std::intptr_t value)
{
    return Dispatch(effVendorSpecific, index, value);
}

bool TPluginHost::HasProgramChunks() const
{
    return (FEffect->flags & effFlagsProgramChunks) != 0;
}

std::vector<std::uint8_t> TPluginHost::GetProgramChunk()
{
    void* data = nullptr;
    const std::intptr_t size = Dispatch(effGetChunk, kProgramChunk, 0, &data);
    if (size <= 0 || data == nullptr)
        ThrowRuntime("the plug-in gave no program chunk to save");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool TPluginHost::SetProgramChunk(const std::vector<std::uint8_t>& bytes)
{
    // The plug-in reads the bytes during the call only; a copy keeps our own buffer untouched.
    std::vector<std::uint8_t> copy = bytes;
    return Dispatch(effSetChunk, kProgramChunk, static_cast<std::intptr_t>(copy.size()),
                    copy.data()) != 0;
}

void TPluginHost::SetEventSink(std::vector<TRecordedEvent>* sink, std::int64_t blockStart)
{
    FSink = sink;
    FBlockStart = blockStart;
}

void TPluginHost::SendEvents(VstEvents* events)
{
    Dispatch(effProcessEvents, 0, 0, events);
}

void TPluginHost::Process(std::int32_t frames)
{
    frames = std::clamp(frames, 0, FSettings.BlockSize);
    for (auto& buffer : FInputBuffers)
        std::fill_n(buffer.begin(), frames, 0.0f);
    FProcessing = true;
    FEffect->processReplacing(FEffect, FInputPointers.data(), FOutputPointers.data(), frames);
    FProcessing = false;
}

std::intptr_t TPluginHost::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                    void* ptr, float opt) const
{
    return FEffect->dispatcher(FEffect, opcode, index, value, ptr, opt);
}

std::string TPluginHost::DispatchText(std::int32_t opcode, std::int32_t index) const
{
    char buffer[kTextBufferSize] = {};
    Dispatch(opcode, index, 0, buffer);
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

} // namespace tumblet
