#pragma once

// The editor's artwork as PNG bytes, drawn by the generator in this folder at build time.

#include <cstddef>
#include <span>

namespace tumblet
{

struct TBlxArtworkResource
{
    const char* Name;          ///< the resource name ("Dial100", "menu16", ...)
    const unsigned char* Data; ///< a complete PNG file
    size_t Size;               ///< bytes of Data
};

/// Every embedded image, in a fixed order.
std::span<const TBlxArtworkResource> BlxArtworkResources();

} // namespace tumblet
