#pragma once

// A bare module on the framework layers whose configuration each test supplies, with a fake
// host callback that records what the module asks of the host. Drives the module through the
// effect record's entries, as a host does.

#include "host/VSTModule.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tumblet::test
{

struct TRecordedHostCall
{
    std::int32_t Opcode;
    std::int32_t Index;
    std::intptr_t Value;
    float Opt;
};

class TLayerTestModule : public TVSTModule
{
public:
    using TConfigure = std::function<void(TLayerTestModule&)>;

    /// Configures, initialises and connects a module; the calls made while connecting are
    /// forgotten.
    static std::unique_ptr<TLayerTestModule> Create(TConfigure configure)
    {
        auto module = std::make_unique<TLayerTestModule>();
        module->FConfigure = std::move(configure);
        module->Initialize();
        module->ConnectHost(&Callback);
        module->HostCalls.clear();
        return module;
    }

    AEffect* Effect() { return GetEffect(); }
    std::intptr_t Call(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return Effect()->dispatcher(Effect(), opcode, index, value, ptr, opt);
    }
    void HostSet(std::int32_t index, float value)
    {
        Effect()->setParameter(Effect(), index, value);
    }
    float HostGet(std::int32_t index) { return Effect()->getParameter(Effect(), index); }
    std::string CallText(std::int32_t opcode, std::int32_t index = 0)
    {
        char buffer[256] = {};
        Call(opcode, index, 0, buffer);
        return buffer;
    }

    std::size_t CountHostCalls(std::int32_t opcode) const
    {
        std::size_t count = 0;
        for (const TRecordedHostCall& call : HostCalls)
            count += call.Opcode == opcode ? 1 : 0;
        return count;
    }

    std::vector<TRecordedHostCall> HostCalls;

protected:
    void ApplyStoredConfiguration() override
    {
        if (FConfigure)
            FConfigure(*this);
    }

private:
    static std::intptr_t Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void*, float opt)
    {
        auto* module = dynamic_cast<TLayerTestModule*>(TBasicVSTModule::FromEffect(effect));
        if (module != nullptr)
            module->HostCalls.push_back({opcode, index, value, opt});
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }

    TConfigure FConfigure;
};

/// Adds a linear parameter with the given name and range.
inline TCustomVstParameterProperty& AddParameter(TVSTModuleWithPrograms& module,
                                                 const std::string& name, float min, float max)
{
    TCustomVstParameterProperty& property = module.ParameterProperties().Add();
    property.SetDisplayName(name);
    property.SetMin(min);
    property.SetMax(max);
    return property;
}

} // namespace tumblet::test
