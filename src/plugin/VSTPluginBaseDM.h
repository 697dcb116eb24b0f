#pragma once

#include "host/VSTModule.h"

namespace tumblet
{

/// The maker's common plug-in module: what every Brindlex plug-in shares on top of the
/// framework (settings, presets, controller learn).
class TVSTPluginBase : public TVSTModule
{
public:
    TVSTPluginBase();
    ~TVSTPluginBase() override;
};

} // namespace tumblet
