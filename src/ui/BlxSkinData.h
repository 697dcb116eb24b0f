#pragma once

#include <vector>

namespace tumblet
{

/// A palette text compiled in from resources/skins.
struct TBlxSkinResource
{
    const char* FileName;
    const char* Text;
};

/// The embedded palettes in style order (generated at build time).
const std::vector<TBlxSkinResource>& BlxSkinResources();

} // namespace tumblet
