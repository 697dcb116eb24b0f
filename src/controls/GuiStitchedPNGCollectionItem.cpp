#include "controls/GuiStitchedPNGCollectionItem.h"

#include "controls/BlxArtwork.h"

#include <algorithm>

namespace tumblet
{

void TGuiStitchedPNGCollectionItem::SetGlyphCount(int count)
{
    FGlyphCount = std::max(1, count);
}

bool TGuiStitchedPNGCollectionItem::LoadFromResource(const std::string& name)
{
    FImage = TBlxArtwork::Image(name);
    FResourceName = FImage ? name : std::string();
    FScaledImage.reset();
    return FImage != nullptr;
}

const TBlxPixelBuffer* TGuiStitchedPNGCollectionItem::ImageAt(double scale)
{
    if (scale == 1.0 || FResourceName.empty())
    {
        return FImage.get();
    }
    if (!FScaledImage || FScaledFor != scale)
    {
        FScaledImage = TBlxArtwork::Image(FResourceName, scale);
        FScaledFor = scale;
    }
    return FScaledImage ? FScaledImage.get() : FImage.get();
}

TBlxSize TGuiStitchedPNGCollectionItem::FrameSize() const
{
    if (FStitchKind == skVertical)
    {
        return {Width(), Height() / FGlyphCount};
    }
    return {Width() / FGlyphCount, Height()};
}

TBlxRect TGuiStitchedPNGCollectionItem::FrameRect(int index) const
{
    if (index < 0 || index >= FGlyphCount || !FImage)
    {
        return {};
    }
    TBlxSize f = FrameSize();
    if (FStitchKind == skVertical)
    {
        return {0, index * f.Height, f.Width, f.Height};
    }
    return {index * f.Width, 0, f.Width, f.Height};
}

} // namespace tumblet
