#include "controls/BlxArtwork.h"

#include "artwork/BlxArtworkData.h"

#include <cstring>
#include <map>

namespace tumblet
{

namespace
{

struct TPngReader
{
    std::span<const unsigned char> Bytes;
    size_t Offset = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length)
{
    auto* reader = static_cast<TPngReader*>(closure);
    if (reader->Bytes.size() - reader->Offset < length)
    {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(data, reader->Bytes.data() + reader->Offset, length);
    reader->Offset += length;
    return CAIRO_STATUS_SUCCESS;
}

std::shared_ptr<const TBlxPixelBuffer> Decode(std::span<const unsigned char> png)
{
    TPngReader reader{png};
    TCairoSurfaceHandle decoded(cairo_image_surface_create_from_png_stream(ReadPng, &reader));
    if (cairo_surface_status(decoded.get()) != CAIRO_STATUS_SUCCESS)
    {
        return nullptr;
    }
    auto image = std::make_shared<TBlxPixelBuffer>(cairo_image_surface_get_width(decoded.get()),
                                                   cairo_image_surface_get_height(decoded.get()));
    TCairoContextHandle cr = image->CreateContext();
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), decoded.get(), 0, 0);
    cairo_paint(cr.get());
    cairo_surface_flush(image->Surface());
    return image;
}

} // namespace

std::span<const unsigned char> TBlxArtwork::Png(const std::string& name)
{
    for (const TBlxArtworkResource& r : BlxArtworkResources())
    {
        if (name == r.Name)
        {
            return {r.Data, r.Size};
        }
    }
    return {};
}

std::shared_ptr<const TBlxPixelBuffer> TBlxArtwork::Image(const std::string& name)
{
    // Kept for the whole process: the strips are shared by every editor instance.
    static std::map<std::string, std::shared_ptr<const TBlxPixelBuffer>> cache;
    auto it = cache.find(name);
    if (it != cache.end())
    {
        return it->second;
    }
    std::span<const unsigned char> png = Png(name);
    std::shared_ptr<const TBlxPixelBuffer> image = png.empty() ? nullptr : Decode(png);
    cache.emplace(name, image);
    return image;
}

} // namespace tumblet
