#pragma once

#include "controls/GuiStitchedPNGList.h"
#include "ui/BlxControl.h"

namespace tumblet
{

/// A control that shows one frame of a stitched image, blended over the control colour or,
/// when Transparent, over the parent's pixels. The window's back buffer is the control's
/// double buffer. All members: Thread: UI.
class TGuiCustomStitchedControl : public TBlxControl
{
public:
    TGuiCustomStitchedControl();

    /// The frame shown for a normalised position: round((glyphCount - 1) * position), halves to
    /// even, kept inside 0..glyphCount - 1.
    static int FrameForPosition(int glyphCount, double position);

    TGuiStitchedPNGList* ImageList() const { return FImageList; }
    /// The list is not owned.
    void SetImageList(TGuiStitchedPNGList* list);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    /// The strip shown, or null.
    TGuiStitchedPNGCollectionItem* ImageItem() const;
    int GlyphCount() const;
    /// The frame shown, -1 without an image.
    int FrameIndex() const { return FFrameIndex; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);

    /// Property changes until Loaded() fire no OnChange (a window being built).
    void BeginLoading() { FLoading = true; }
    virtual void Loaded();
    bool Loading() const { return FLoading; }

    void Paint(TBlxCanvas& canvas) override;

protected:
    /// Sets the frame and repaints when it changed; true when it changed.
    bool SetFrameIndex(int index);
    /// Called when the image list or index changed.
    virtual void ImageChanged();

private:
    TGuiStitchedPNGList* FImageList = nullptr;
    int FImageIndex = -1;
    int FFrameIndex = -1;
    bool FTransparent = false;
    bool FLoading = false;
};

} // namespace tumblet
