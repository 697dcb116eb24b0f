#pragma once

// A bare module on the framework layers whose configuration each test supplies, with a fake
// host callback that records what the module asks of the host (and the MIDI events it sends).
// Drives the module through the effect record's entries, as a host does.

#include "vst2/VSTModule.h"

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
    std::vector<VstMidiEvent> Events; ///< what audioMasterProcessEvents handed over
};

class TLayerTestModule : public TVSTModule
{
public:
    using TConfigure = std::function<void(TLayerTestModule&)>;

    explicit TLayerTestModule(TConfigure configure = nullptr) : FConfigure(std::move(configure)) {}

    /// Configures, initialises and connects a module; the calls made while connecting are
    /// forgotten.
    static std::unique_ptr<TLayerTestModule> Create(TConfigure configure)
    {
        auto module = std::make_unique<TLayerTestModule>(std::move(configure));
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
    std::intptr_t ProcessEventsAnswer = 1; ///< the host's answer to audioMasterProcessEvents

protected:
    void ApplyStoredConfiguration() override
    {
        if (FConfigure)
            FConfigure(*this);
    }

private:
    static std::intptr_t Callback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void* ptr, float opt)
    {
        auto* module = dynamic_cast<TLayerTestModule*>(TBasicVSTModule::FromEffect(effect));
        if (module == nullptr)
            return opcode == audioMasterVersion ? kVstVersion : 0;
        TRecordedHostCall& call =
            module->HostCalls.emplace_back(TRecordedHostCall{opcode, index, value, opt, {}});
        if (opcode == audioMasterProcessEvents && ptr != nullptr)
        {
            auto& block = *static_cast<VstEvents*>(ptr);
            for (std::int32_t i = 0; i < block.numEvents; ++i)
                call.Events.push_back(*reinterpret_cast<VstMidiEvent*>(EventList(block)[i]));
            return module->ProcessEventsAnswer;
        }
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
