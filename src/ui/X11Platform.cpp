#include "ui/X11Platform.h"

#include "ui/BlxPlatform.h"

namespace tumblet
{

std::shared_ptr<TBlxPlatform> CreateX11Platform()
{
    return nullptr;
}

} // namespace tumblet
