#include "controls/GuiCustomStitchedControl.h"

#include "controls/BlxControlEvents.h"
#include "ui/BlxCanvas.h"

#include <algorithm>
#include <cmath>

namespace tumblet
{

TGuiCustomStitchedControl::TGuiCustomStitchedControl()
{
    SetTabStop(true);
}

int TGuiCustomStitchedControl::FrameForPosition(int glyphCount, double position)
{
    if (glyphCount <= 0)
    {
        return -1;
    }
    double frame = BlxRoundEven((glyphCount - 1) * position);
    return int(std::clamp(frame, 0.0, double(glyphCount - 1)));
}

void TGuiCustomStitchedControl::SetImageList(TGuiStitchedPNGList* list)
{
    if (list != FImageList)
    {
        FImageList = list;
        ImageChanged();
    }
}

void TGuiCustomStitchedControl::SetImageIndex(int index)
{
    if (index != FImageIndex)
    {
        FImageIndex = index;
        ImageChanged();
    }
}

TGuiStitchedPNGCollectionItem* TGuiCustomStitchedControl::ImageItem() const
{
    return FImageList ? FImageList->Item(FImageIndex) : nullptr;
}

int TGuiCustomStitchedControl::GlyphCount() const
{
    TGuiStitchedPNGCollectionItem* item = ImageItem();
    return item ? item->GlyphCount() : 0;
}

void TGuiCustomStitchedControl::SetTransparent(bool transparent)
{
    if (transparent != FTransparent)
    {
        FTransparent = transparent;
        Invalidate();
    }
}

void TGuiCustomStitchedControl::Loaded()
{
    FLoading = false;
    if (!ImageItem())
    {
        FFrameIndex = -1;
    }
    Invalidate();
}

bool TGuiCustomStitchedControl::SetFrameIndex(int index)
{
    if (!ImageItem())
    {
        index = -1;
    }
    if (index == FFrameIndex)
    {
        return false;
    }
    FFrameIndex = index;
    Invalidate();
    return true;
}

void TGuiCustomStitchedControl::ImageChanged()
{
    if (!ImageItem())
    {
        FFrameIndex = -1;
    }
    Invalidate();
}

void TGuiCustomStitchedControl::Paint(TBlxCanvas& canvas)
{
    if (!FTransparent)
    {
        canvas.FillRect(ClientRect(), Color().WithAlpha(255));
    }
    TGuiStitchedPNGCollectionItem* item = ImageItem();
    TBlxRect frame = item ? item->FrameRect(FFrameIndex) : TBlxRect{};
    if (frame.IsEmpty())
    {
        return;
    }
    cairo_t* cr = canvas.Cairo();
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, frame.Width, frame.Height);
    cairo_clip(cr);
    const TBlxPixelBuffer* image = item->ImageAt(canvas.Scale());
    // A strip drawn at the window's scale is copied pixel for pixel; the 100 % strip of an
    // image without a drawing is stretched.
    const double imageScale = image == item->Image() ? 1.0 : canvas.Scale();
    cairo_scale(cr, 1.0 / imageScale, 1.0 / imageScale);
    cairo_set_source_surface(cr, image->Surface(), -std::round(frame.Left * imageScale),
                             -std::round(frame.Top * imageScale));
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace tumblet
