#pragma once

#include "ui/BlxPixelBuffer.h"

#include <memory>
#include <span>
#include <string>

namespace tumblet
{

/// The embedded artwork by resource name. Each image is decoded once per process and its pixels
/// are shared by every control that shows it. Thread: UI.
class TBlxArtwork
{
public:
    /// The PNG bytes of a resource; empty when there is no such resource.
    static std::span<const unsigned char> Png(const std::string& name);
    /// The decoded image, or null when the resource is missing or cannot be decoded.
    static std::shared_ptr<const TBlxPixelBuffer> Image(const std::string& name);
    /// The image drawn afresh at a scale (1.0 gives the embedded image), so that a scaled
    /// window shows it pixel for pixel; null when there is no such resource.
    static std::shared_ptr<const TBlxPixelBuffer> Image(const std::string& name, double scale);
};

} // namespace tumblet
