#pragma once

// Draws the editor's artwork. Thread: any (each call draws into a surface of its own).

#include <cairo.h>

#include <string>
#include <vector>

namespace tumblet
{

/// Every piece's name, in a fixed order.
std::vector<std::string> ArtworkNames();
/// One piece drawn at a scale (1.0 is the size the editor's layout is made for), or null for an
/// unknown name or a scale that is not positive. The caller owns the surface.
cairo_surface_t* DrawArtwork(const std::string& name, double scale);

} // namespace tumblet
