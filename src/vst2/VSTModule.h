#pragma once

#include "vst2/DspVSTModule.h"

#include <functional>
#include <memory>

namespace tumblet
{

/// The top framework layer: applies the product's stored configuration and raises its
/// creation handler, in that order.
class TVSTModule : public TDspVSTModule
{
public:
    TVSTModule();
    ~TVSTModule() override;

    /// Second construction phase, run by the entry once the product object is complete:
    /// configuration, then the creation handler. An exception in the creation handler is
    /// reported and the instance is still created; one in the configuration fails creation.
    // Thread: the host's creating thread.
    void Initialize();

    /// The product's creation and destruction handlers (sender first).
    std::function<void(TVSTModule& sender)> OnCreate;
    std::function<void(TVSTModule& sender)> OnDestroy;

protected:
    /// Applies the product's module properties, parameter properties and programs through
    /// their setters, in that order.
    virtual void ApplyStoredConfiguration() = 0;

    void BeforeClose() override;
};

using TVSTModuleFactory = std::unique_ptr<TVSTModule> (*)();

/// What the exported entry does: create, initialise and connect one instance, and hand its
/// record to the host; null when the instance cannot be created. Never throws.
AEffect* CreateVstInstance(audioMasterCallback audioMaster, TVSTModuleFactory factory) noexcept;

} // namespace tumblet
