#pragma once

#include <memory>

namespace tumblet
{

class TBlxPlatform;

/// Opens our own connection to the X display; null when none can be opened. Thread: UI.
std::shared_ptr<TBlxPlatform> CreateX11Platform();

} // namespace tumblet
