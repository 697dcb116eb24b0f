#include "plugin/VSTPluginBaseDM.h"

namespace tumblet
{

TVSTPluginBase::TVSTPluginBase() = default;
TVSTPluginBase::~TVSTPluginBase() = default;

} // namespace tumblet
