#pragma once

// Tumblet's own effVendorSpecific calls, for hosts and scripts that know the product.

#include "vst2/VstInterface.h"

#include <cstdint>

namespace tumblet
{

/// index 'TmbR': value is the seed (its low 32 bits) of the random generator that draws
/// Tumblet's random amounts and orders. The answer is 1. Offline renderers send it before the
/// first block so that a render can be repeated exactly; nothing else changes.
constexpr std::int32_t kVendorSpecificSetSeed = FourCC('T', 'm', 'b', 'R');

} // namespace tumblet
