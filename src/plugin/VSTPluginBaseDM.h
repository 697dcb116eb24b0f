#pragma once

#include "host/VSTModule.h"
#include "plugin/BlxVSTParameterValues.h"
#include "plugin/EditorMailbox.h"

#include <memory>
#include <string>

namespace tumblet
{

/// The maker's common plug-in module: what every Brindlex plug-in shares on top of the
/// framework (the value store, settings, presets, controller learn).
class TVSTPluginBase : public TVSTModule
{
public:
    TVSTPluginBase();
    ~TVSTPluginBase() override;

    /// The only store of current parameter values. Thread: values readable from any thread.
    TVSTParameterValues& ParameterValues() { return *FParameterValues; }

    /// Tells the host that the user touched a parameter control, so hosts that follow the
    /// touched parameter select it. Skipped for hosts that treat the report as a change.
    // Thread: UI.
    void NotifyParameterTouched(const std::string& name);

    /// The host's kind, refreshed on the threads that may ask the host for its name.
    bool HostIsUnknown() const noexcept { return FHostIsUnknown.load(std::memory_order_relaxed); }
    /// Hosts whose editor changes are not reported back as automation.
    bool HostIgnoresTouch();

    /// Texts for the editor from the processing thread. Thread: see the mailbox.
    TEditorMailbox& EditorMailbox() noexcept { return FEditorMailbox; }

    // Operations the product overrides, in the order they were introduced.
    virtual void ApplySkin() {}
    virtual void DefineParameterValues() {}
    virtual void ValueListText(const std::string& name, std::int32_t tag, std::string& text);

    /// The transport has just started: controller learning stops. Thread: audio.
    void TransportStarted() noexcept {}

protected:
    /// The common part of creation: the value store, its definitions, and the defaults pushed
    /// through every change handler so that the engine and the store agree.
    void BaseModuleCreate();
    void BaseModuleDestroy();
    /// Asks the host for its name (not on the audio thread: it builds strings).
    void RefreshHostKind();

    std::intptr_t HostCallOpen(std::int32_t, std::intptr_t, void*, float) override;
    std::intptr_t HostCallMainsChanged(std::int32_t, std::intptr_t, void*, float) override;

private:
    std::unique_ptr<TVSTParameterValues> FParameterValues;
    TEditorMailbox FEditorMailbox;
    std::atomic<bool> FHostIsUnknown{true};
};

} // namespace tumblet
