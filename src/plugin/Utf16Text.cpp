#include "plugin/Utf16Text.h"

namespace tumblet
{

namespace
{
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at i and moves i past it.
char32_t NextCodePoint(const std::string& text, std::size_t& i)
{
    const auto lead = static_cast<std::uint8_t>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0)
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    else
        return kReplacement;
    for (int n = 0; n < extra; ++n)
    {
        if (i >= text.size() || (static_cast<std::uint8_t>(text[i]) & 0xC0) != 0x80)
            return kReplacement;
        cp = (cp << 6) | (static_cast<std::uint8_t>(text[i++]) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacement;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

std::u16string Utf8ToUtf16(const std::string& text)
{
    std::u16string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size())
    {
        const char32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000)
        {
            result += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
        else
            result += static_cast<char16_t>(cp);
    }
    return result;
}

std::string Utf16ToUtf8(const std::u16string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
        {
            AppendUtf8(result, 0x10000 + ((char32_t(unit) - 0xD800) << 10) +
                                   (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        }
        else if (unit >= 0xD800 && unit <= 0xDFFF)
            AppendUtf8(result, kReplacement);
        else
            AppendUtf8(result, unit);
    }
    return result;
}

} // namespace tumblet
