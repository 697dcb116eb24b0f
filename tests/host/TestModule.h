#pragma once

// A bare module on the framework layers, for testing them without a product.

#include "host/VSTModule.h"

#include <memory>

namespace tumblet::test
{

class TTestModule : public TVSTModule
{
public:
    using TBasicVSTModule::Dispatch;
    using TVSTModule::HostCallOpen;

    static std::unique_ptr<TTestModule> CreateConnected(audioMasterCallback callback)
    {
        auto module = std::make_unique<TTestModule>();
        module->Initialize();
        if (callback != nullptr)
            module->ConnectHost(callback);
        return module;
    }

protected:
    void ApplyStoredConfiguration() override
    {
        SetEffectName("Test");
        SetNumInputs(0);
        SetNumOutputs(2);
    }
};

} // namespace tumblet::test
