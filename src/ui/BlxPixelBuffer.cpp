#include "ui/BlxPixelBuffer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tumblet
{

TBlxPixelBuffer::TBlxPixelBuffer(int width, int height)
{
    Resize(width, height);
}

void TBlxPixelBuffer::Resize(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    if (FSurface && width == FWidth && height == FHeight)
    {
        return;
    }
    FSurface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    FWidth = width;
    FHeight = height;
}

TCairoContextHandle TBlxPixelBuffer::CreateContext() const
{
    return TCairoContextHandle(cairo_create(FSurface.get()));
}

void TBlxPixelBuffer::Clear(TBlxColor color)
{
    TCairoContextHandle cr = CreateContext();
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr.get(), color.R() / 255.0, color.G() / 255.0, color.B() / 255.0,
                          color.A() / 255.0);
    cairo_paint(cr.get());
}

TBlxColor TBlxPixelBuffer::Pixel(int x, int y) const
{
    return BlxSurfacePixel(FSurface.get(), x, y);
}

bool TBlxPixelBuffer::SavePng(const std::string& path) const
{
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path())
    {
        std::filesystem::create_directories(p.parent_path(), ec);
    }
    return FSurface &&
           cairo_surface_write_to_png(FSurface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

namespace
{

struct TPngReader
{
    const unsigned char* Data;
    size_t Size;
    size_t Offset;
};

cairo_status_t ReadPngBytes(void* closure, unsigned char* out, unsigned int length)
{
    auto* r = static_cast<TPngReader*>(closure);
    if (r->Size - r->Offset < length)
    {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::copy(r->Data + r->Offset, r->Data + r->Offset + length, out);
    r->Offset += length;
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

bool TBlxPixelBuffer::LoadPng(const unsigned char* data, size_t size)
{
    TPngReader reader{data, size, 0};
    TCairoSurfaceHandle png(cairo_image_surface_create_from_png_stream(ReadPngBytes, &reader));
    if (!data || cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS)
    {
        return false;
    }
    Resize(cairo_image_surface_get_width(png.get()), cairo_image_surface_get_height(png.get()));
    TCairoContextHandle cr = CreateContext();
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), png.get(), 0, 0);
    cairo_paint(cr.get());
    return true;
}

TBlxColor BlxSurfacePixel(cairo_surface_t* surface, int x, int y)
{
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
    {
        return BlxColors::Transparent;
    }
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    if (x < 0 || y < 0 || x >= w || y >= h)
    {
        return BlxColors::Transparent;
    }
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    uint32_t a = p >> 24;
    if (a == 0)
    {
        return BlxColors::Transparent;
    }
    auto unpremultiply = [a](uint32_t c) { return uint8_t(std::min(255u, (c * 255 + a / 2) / a)); };
    TBlxColor c = TBlxColor::Rgb(unpremultiply((p >> 16) & 0xFF), unpremultiply((p >> 8) & 0xFF),
                                 unpremultiply(p & 0xFF));
    return c.WithAlpha(uint8_t(a));
}

} // namespace tumblet
