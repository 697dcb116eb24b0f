#include "controls/BlxArtwork.h"

#include "artwork/BlxArtworkData.h"

#include <map>

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

} // namespace tumblet
