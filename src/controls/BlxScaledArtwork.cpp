#include "controls/BlxScaledArtwork.h"

#include "controls/BlxArtwork.h"

#include <utility>

namespace tumblet
{

TBlxScaledArtwork::TBlxScaledArtwork(std::string name) : FName(std::move(name)) {}

const TBlxPixelBuffer* TBlxScaledArtwork::At(double scale)
{
    if (scale != FScale || !FImage)
    {
        FImage = TBlxArtwork::Image(FName, scale);
        FScale = scale;
    }
    return FImage.get();
}

} // namespace tumblet
