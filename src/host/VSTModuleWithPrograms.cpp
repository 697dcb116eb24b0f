#include "host/VSTModuleWithPrograms.h"

namespace tumblet
{

TVSTModuleWithPrograms::TVSTModuleWithPrograms() = default;
TVSTModuleWithPrograms::~TVSTModuleWithPrograms() = default;

} // namespace tumblet
