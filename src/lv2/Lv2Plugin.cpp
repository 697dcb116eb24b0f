// The LV2 plug-in library's only exported symbol: lv2_descriptor. Every entry contains its
// failures, as the VST 2.4 entries do: nothing thrown here may reach the host.

#include "lv2/Lv2Adapter.h"

#include <lv2/state/state.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

namespace tumblet
{

namespace
{

TLv2Adapter* AdapterOf(LV2_Handle handle)
{
    auto* instance = static_cast<TLv2Instance*>(handle);
    if (instance == nullptr || instance->Magic != kLv2InstanceMagic)
        return nullptr;
    return static_cast<TLv2Adapter*>(instance->Adapter);
}

void Report(const char* where, const char* what)
{
    std::fprintf(stderr, "Tumblet (LV2): %s: %s\n", where, what);
}

template <class TCall> auto Contained(const char* where, TCall call, decltype(call()) neutral)
{
    try
    {
        return call();
    }
    catch (const std::exception& e)
    {
        Report(where, e.what());
    }
    catch (...)
    {
        Report(where, "unknown error");
    }
    return neutral;
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features)
{
    return Contained(
        "instantiate",
        [&]() -> LV2_Handle
        {
            auto adapter = std::make_unique<TLv2Adapter>(sampleRate, features);
            return &adapter.release()->Instance();
        },
        nullptr);
}

void ConnectPort(LV2_Handle handle, std::uint32_t port, void* data)
{
    if (TLv2Adapter* adapter = AdapterOf(handle))
        adapter->ConnectPort(port, data);
}

void Activate(LV2_Handle handle)
{
    if (TLv2Adapter* adapter = AdapterOf(handle))
        adapter->Activate();
}

void Run(LV2_Handle handle, std::uint32_t frames)
{
    if (TLv2Adapter* adapter = AdapterOf(handle))
        adapter->Run(frames);
}

void Deactivate(LV2_Handle handle)
{
    if (TLv2Adapter* adapter = AdapterOf(handle))
        adapter->Deactivate();
}

void Cleanup(LV2_Handle handle)
{
    Contained(
        "cleanup",
        [&]
        {
            delete AdapterOf(handle);
            return 0;
        },
        0);
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      std::uint32_t, const LV2_Feature* const*)
{
    TLv2Adapter* adapter = AdapterOf(handle);
    if (adapter == nullptr || store == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    return Contained(
        "save", [&] { return adapter->Save(store, state); }, LV2_STATE_ERR_UNKNOWN);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, std::uint32_t, const LV2_Feature* const*)
{
    TLv2Adapter* adapter = AdapterOf(handle);
    if (adapter == nullptr || retrieve == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    return Contained(
        "restore", [&] { return adapter->Restore(retrieve, state); }, LV2_STATE_ERR_UNKNOWN);
}

const LV2_State_Interface kStateInterface = {&Save, &Restore};

const void* ExtensionData(const char* uri)
{
    if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0)
        return &kStateInterface;
    return nullptr;
}

const LV2_Descriptor kDescriptor = {
    kLv2PluginUri, &Instantiate, &ConnectPort, &Activate,
    &Run,          &Deactivate,  &Cleanup,     &ExtensionData,
};

} // namespace

} // namespace tumblet

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(std::uint32_t index)
{
    return index == 0 ? &tumblet::kDescriptor : nullptr;
}
