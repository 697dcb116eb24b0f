#pragma once

#include "ui/BlxPixelBuffer.h"
#include "ui/BlxTypes.h"

#include <memory>
#include <string>

namespace tumblet
{

enum TGuiStitchKind
{
    skHorizontal, ///< frames side by side
    skVertical,   ///< frames stacked top to bottom
};

/// One strip of a stitched image list: a decoded PNG holding GlyphCount frames. The decoded
/// pixels may be shared with other items showing the same artwork. Thread: UI.
class TGuiStitchedPNGCollectionItem
{
public:
    const std::string& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const std::string& name) { FDisplayName = name; }
    int GlyphCount() const { return FGlyphCount; }
    /// At least one frame.
    void SetGlyphCount(int count);
    TGuiStitchKind StitchKind() const { return FStitchKind; }
    void SetStitchKind(TGuiStitchKind kind) { FStitchKind = kind; }
    /// Size of the whole strip in pixels (0 without an image).
    int Width() const { return FImage ? FImage->Width() : 0; }
    int Height() const { return FImage ? FImage->Height() : 0; }

    /// Uses an embedded PNG resource; false (and no image) when it is missing or broken.
    bool LoadFromResource(const std::string& name);
    void SetImage(std::shared_ptr<const TBlxPixelBuffer> image)
    {
        FImage = std::move(image);
        FResourceName.clear();
        FScaledImage.reset();
    }
    const TBlxPixelBuffer* Image() const { return FImage.get(); }
    /// The strip drawn for a window of that scale: a resource is drawn afresh at the scale,
    /// any other image is the one set. Frames keep their place, multiplied by the scale.
    const TBlxPixelBuffer* ImageAt(double scale);

    TBlxSize FrameSize() const;
    /// Frame k's rectangle inside the strip; empty for an index out of range.
    TBlxRect FrameRect(int index) const;

private:
    std::string FDisplayName;
    int FGlyphCount = 1;
    TGuiStitchKind FStitchKind = skVertical;
    std::shared_ptr<const TBlxPixelBuffer> FImage;
    std::string FResourceName;
    std::shared_ptr<const TBlxPixelBuffer> FScaledImage;
    double FScaledFor = 1.0;
};

} // namespace tumblet
