#include "ui/BlxScreenshot.h"

#include "ui/BlxPixelBuffer.h"
#include "ui/BlxWindow.h"

#include <algorithm>
#include <limits>

namespace tumblet
{

bool BlxSaveWindowsPng(const std::vector<TBlxWindow*>& windows, const std::string& path)
{
    int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min(), bottom = std::numeric_limits<int>::min();
    for (TBlxWindow* window : windows)
    {
        if (window == nullptr || !window->IsShown())
        {
            continue;
        }
        window->PaintAll();
        const TBlxPoint o = window->NativeOriginOnScreen();
        const TBlxPixelBuffer& image = window->BackBuffer();
        left = std::min(left, o.X);
        top = std::min(top, o.Y);
        right = std::max(right, o.X + image.Width());
        bottom = std::max(bottom, o.Y + image.Height());
    }
    if (right <= left || bottom <= top)
    {
        return false;
    }
    TBlxPixelBuffer picture(right - left, bottom - top);
    picture.Clear(TBlxColor{0x00000000u});
    TCairoContextHandle context = picture.CreateContext();
    cairo_t* cr = context.get();
    for (TBlxWindow* window : windows)
    {
        if (window == nullptr || !window->IsShown())
        {
            continue;
        }
        const TBlxPoint o = window->NativeOriginOnScreen();
        cairo_set_source_surface(cr, window->BackBuffer().Surface(), o.X - left, o.Y - top);
        cairo_paint(cr);
    }
    cairo_surface_flush(picture.Surface());
    return picture.SavePng(path);
}

} // namespace tumblet
