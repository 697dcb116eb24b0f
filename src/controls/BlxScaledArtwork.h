#pragma once

#include "ui/BlxPixelBuffer.h"

#include <memory>
#include <string>

namespace tumblet
{

/// One piece of embedded artwork as a window of some scale shows it: drawn afresh at that
/// scale, and kept until the scale changes, so that painting looks nothing up. Thread: UI.
class TBlxScaledArtwork
{
public:
    explicit TBlxScaledArtwork(std::string name);

    /// The image at a scale, or null when the resource is missing.
    const TBlxPixelBuffer* At(double scale);
    /// The scale the last image was drawn at: device pixels per logical pixel of the image.
    double Scale() const { return FScale; }

private:
    std::string FName;
    double FScale = 0;
    std::shared_ptr<const TBlxPixelBuffer> FImage;
};

} // namespace tumblet
