#pragma once

#include "plugin/VSTPluginBaseDM.h"

#include <memory>

namespace tumblet
{

/// The arpeggiator plug-in.
class TVSTPlugin : public TVSTPluginBase
{
public:
    TVSTPlugin();
    ~TVSTPlugin() override;

    /// Creates one instance, reseeding the shared random generator first as every new instance
    /// does.
    static std::unique_ptr<TVSTModule> Create();

protected:
    void ApplyStoredConfiguration() override;
};

} // namespace tumblet
