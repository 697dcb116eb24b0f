#pragma once

#include "ui/BlxCairo.h"
#include "ui/BlxTypes.h"

#include <cstddef>
#include <string>

namespace tumblet
{

/// An owned 32-bit ARGB image (premultiplied, as cairo keeps it). Thread: UI.
class TBlxPixelBuffer
{
public:
    TBlxPixelBuffer() = default;
    TBlxPixelBuffer(int width, int height);

    /// Recreates the image when the size differs; the content is then transparent.
    void Resize(int width, int height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    cairo_surface_t* Surface() const { return FSurface.get(); }
    /// A new drawing context on the image.
    TCairoContextHandle CreateContext() const;
    void Clear(TBlxColor color);
    /// The pixel at (x, y) with straight alpha; transparent black outside the image.
    TBlxColor Pixel(int x, int y) const;
    /// Writes the image as PNG, creating missing parent folders; false on failure.
    bool SavePng(const std::string& path) const;
    /// Replaces the image with a PNG held in memory (embedded artwork); false when the bytes
    /// are not a PNG, leaving the image as it was.
    bool LoadPng(const unsigned char* data, size_t size);

private:
    TCairoSurfaceHandle FSurface;
    int FWidth = 0;
    int FHeight = 0;
};

/// Reads a pixel of any cairo image surface (straight alpha).
TBlxColor BlxSurfacePixel(cairo_surface_t* surface, int x, int y);

} // namespace tumblet
