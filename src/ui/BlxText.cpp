#include "ui/BlxText.h"

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

namespace tumblet
{

namespace
{

TPangoFontDescriptionHandle MakeDescription(const TBlxFont& font)
{
    TPangoFontDescriptionHandle d(pango_font_description_new());
    pango_font_description_set_family(d.get(), font.Family.c_str());
    pango_font_description_set_absolute_size(d.get(), std::max(1, font.SizePx) * PANGO_SCALE);
    pango_font_description_set_weight(d.get(), font.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return d;
}

/// One tiny surface whose context measures text when nothing is being painted.
cairo_t* MeasuringContext()
{
    static TCairoSurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    static TCairoContextHandle context(cairo_create(surface.get()));
    return context.get();
}

/// Byte offset in UTF-8 of the code point `index` of `text`.
int ByteOffset(const std::u32string& text, int index)
{
    index = std::clamp(index, 0, int(text.size()));
    return int(Utf32ToUtf8(text.substr(0, size_t(index))).size());
}

/// Recently used layouts: shaping text is the costly part of painting it, and the same captions
/// are painted and measured again and again.
class TLayoutCache
{
public:
    /// Layouts kept; enough for an editor full of labels and menus.
    static constexpr size_t kCapacity = 512;

    PangoLayout* Get(const TBlxFont& font, const std::string& text, int wrapWidth)
    {
        std::string key = font.Family + '\x1f' + std::to_string(font.SizePx) + '\x1f' +
                          (font.Bold ? "b" : "n") + '\x1f' + std::to_string(wrapWidth) + '\x1f' +
                          text;
        auto found = FIndex.find(key);
        if (found != FIndex.end())
        {
            FEntries.splice(FEntries.begin(), FEntries, found->second);
            return found->second->second.get();
        }
        if (FEntries.size() >= kCapacity)
        {
            FIndex.erase(FEntries.back().first);
            FEntries.pop_back();
        }
        FEntries.emplace_front(key, BlxText::CreateLayout(nullptr, font, text, wrapWidth));
        FIndex[key] = FEntries.begin();
        return FEntries.front().second.get();
    }

private:
    std::list<std::pair<std::string, TPangoLayoutHandle>> FEntries;
    std::unordered_map<std::string, std::list<std::pair<std::string, TPangoLayoutHandle>>::iterator>
        FIndex;
};

TLayoutCache& Cache()
{
    static TLayoutCache cache;
    return cache;
}

} // namespace

PangoLayout* BlxText::CachedLayout(cairo_t* cr, const TBlxFont& font, const std::string& text,
                                   int wrapWidth)
{
    PangoLayout* layout = Cache().Get(font, text, wrapWidth);
    // Follow the painting context's font options; a mere translation keeps the shaping.
    pango_cairo_update_layout(cr ? cr : MeasuringContext(), layout);
    return layout;
}

TPangoLayoutHandle BlxText::CreateLayout(cairo_t* cr, const TBlxFont& font, const std::string& text,
                                         int wrapWidth)
{
    TPangoLayoutHandle layout(pango_cairo_create_layout(cr ? cr : MeasuringContext()));
    TPangoFontDescriptionHandle desc = MakeDescription(font);
    pango_layout_set_font_description(layout.get(), desc.get());
    pango_layout_set_text(layout.get(), text.c_str(), int(text.size()));
    if (wrapWidth >= 0)
    {
        pango_layout_set_width(layout.get(), wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    return layout;
}

TBlxSize BlxText::Extent(const TBlxFont& font, const std::string& text, int wrapWidth)
{
    PangoLayout* layout = CachedLayout(nullptr, font, text, wrapWidth);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    return {w, h};
}

void BlxText::PrepareScaledContext(cairo_t* cr, double scale)
{
    if (scale == 1.0)
    {
        return;
    }
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_get_font_options(cr, options);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

TBlxSize BlxText::ExtentAtScale(const TBlxFont& font, const std::string& text, double scale)
{
    TCairoSurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    TCairoContextHandle cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), scale, scale);
    PrepareScaledContext(cr.get(), scale);
    TPangoLayoutHandle layout = CreateLayout(cr.get(), font, text);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const double units = PANGO_SCALE;
    return {int(std::ceil(logical.width / units)), int(std::ceil(logical.height / units))};
}

int BlxText::LineHeight(const TBlxFont& font)
{
    return Extent(font, "Hg").Height;
}

int BlxText::IndexToX(const TBlxFont& font, const std::u32string& text, int index)
{
    std::string utf8 = Utf32ToUtf8(text);
    PangoLayout* layout = CachedLayout(nullptr, font, utf8);
    PangoRectangle pos;
    pango_layout_index_to_pos(layout, ByteOffset(text, index), &pos);
    return PANGO_PIXELS(pos.x);
}

int BlxText::XToIndex(const TBlxFont& font, const std::u32string& text, int x)
{
    // Nearest caret boundary by measuring each prefix: the texts are short (edit boxes).
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i <= int(text.size()); ++i)
    {
        int d = std::abs(IndexToX(font, text, i) - x);
        if (d < bestDistance)
        {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

std::u32string Utf8ToUtf32(const std::string& text)
{
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t cp = extra <= 0 ? c : c & (0x3F >> extra);
        bool ok = extra >= 0 && i + size_t(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k)
        {
            unsigned char cc = static_cast<unsigned char>(text[i + size_t(k)]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok)
        {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

std::string Utf32ToUtf8(const std::u32string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text)
    {
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        {
            cp = U'\uFFFD';
        }
        if (cp < 0x80)
        {
            out.push_back(char(cp));
        }
        else if (cp < 0x800)
        {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
        else if (cp < 0x10000)
        {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
        else
        {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace tumblet
