#include "controls/BlxArtwork.h"

#include "artwork/ArtworkDrawing.h"
#include "artwork/BlxArtworkData.h"

#include <map>
#include <utility>

namespace tumblet
{

namespace
{

std::shared_ptr<const TBlxPixelBuffer> Decode(std::span<const unsigned char> png)
{
    auto image = std::make_shared<TBlxPixelBuffer>();
    if (!image->LoadPng(png.data(), png.size()))
    {
        return nullptr;
    }
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

std::shared_ptr<const TBlxPixelBuffer> TBlxArtwork::Image(const std::string& name, double scale)
{
    if (scale == 1.0)
    {
        return Image(name);
    }
    // Few scales are ever used in one process, and each editor opening would draw them again.
    static std::map<std::pair<std::string, double>, std::shared_ptr<const TBlxPixelBuffer>> cache;
    const auto key = std::make_pair(name, scale);
    auto it = cache.find(key);
    if (it != cache.end())
    {
        return it->second;
    }
    std::shared_ptr<const TBlxPixelBuffer> image;
    if (cairo_surface_t* surface = DrawArtwork(name, scale))
    {
        auto buffer = std::make_shared<TBlxPixelBuffer>(cairo_image_surface_get_width(surface),
                                                        cairo_image_surface_get_height(surface));
        {
            TCairoContextHandle cr = buffer->CreateContext();
            cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr.get(), surface, 0, 0);
            cairo_paint(cr.get());
        }
        cairo_surface_destroy(surface);
        cairo_surface_flush(buffer->Surface());
        image = std::move(buffer);
    }
    cache.emplace(key, image);
    return image;
}

} // namespace tumblet
