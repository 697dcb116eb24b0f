#include "vst2/HostText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tumblet
{

namespace
{

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length in bytes of the code point that starts with this byte (1 for a stray byte).
std::size_t CodePointLength(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0)
        return 4;
    if (byte >= 0xE0)
        return 3;
    if (byte >= 0xC0)
        return 2;
    return 1;
}

} // namespace

std::string CutUtf16Units(std::string_view text, std::size_t maxUnits)
{
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < text.size())
    {
        const std::size_t length = std::min(CodePointLength(text[pos]), text.size() - pos);
        // Code points beyond the basic plane take a surrogate pair.
        const std::size_t needed = length == 4 ? 2 : 1;
        if (units + needed > maxUnits)
            break;
        units += needed;
        pos += length;
    }
    return std::string(text.substr(0, pos));
}

std::string CutBytes(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    while (end > 0 && IsContinuationByte(text[end]))
        --end;
    return std::string(text.substr(0, end));
}

void CopyHostText(void* ptr, std::string_view text, std::size_t maxBytes)
{
    if (ptr == nullptr)
        return;
    const std::string cut = CutBytes(text, maxBytes);
    std::memcpy(ptr, cut.data(), cut.size());
    static_cast<char*>(ptr)[cut.size()] = 0;
}

std::string ReadHostText(const void* ptr, std::size_t maxBytes)
{
    if (ptr == nullptr)
        return {};
    const char* text = static_cast<const char*>(ptr);
    return std::string(text, strnlen(text, maxBytes));
}

std::string FormatGeneral(double value, int significantDigits, std::string_view separator)
{
    // to_chars ignores the process locale, so a host that changed it cannot change our texts.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value,
                                      std::chars_format::general, significantDigits);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

std::optional<double> ParseLocaleFloat(std::string_view text, std::string_view separator)
{
    std::string normal(text);
    if (separator != ".")
    {
        // Only the user's separator may separate the fraction.
        if (normal.find('.') != std::string::npos)
            return std::nullopt;
        const std::size_t at = separator.empty() ? std::string::npos : normal.find(separator);
        if (at != std::string::npos)
            normal.replace(at, separator.size(), ".");
    }
    std::size_t start = 0;
    if (!normal.empty() && normal[0] == '+')
    {
        start = 1;
        if (normal.size() > 1 && (normal[1] == '+' || normal[1] == '-'))
            return std::nullopt;
    }
    const char* first = normal.data() + start;
    const char* last = normal.data() + normal.size();
    if (first == last)
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return value;
}

std::optional<double> ParseParameterString(std::string_view text, std::string_view units,
                                           std::string_view separator)
{
    auto isSpaceOrControl = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isSpaceOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpaceOrControl(text.back()))
        text.remove_suffix(1);
    std::string work(text);
    if (!units.empty())
    {
        const std::size_t at = work.find(units);
        if (at != std::string::npos)
            work.erase(at, units.size());
    }

    const std::size_t start = work.find_first_of("+,-.0123456789");
    if (start == std::string::npos)
        return std::nullopt;
    std::size_t end = start + 1;
    while (end < work.size() && std::strchr(",.0123456789E", work[end]) != nullptr &&
           work[end] != 0)
        ++end;

    struct TPrefix
    {
        char Letter;
        double Multiplier;
    };
    static constexpr TPrefix kPrefixes[] = {{'k', 1000.0}, {'K', 1024.0},  {'G', 1048576.0},
                                            {'m', 0.001},  {'\xB5', 1e-6}, {'c', 0.01}};
    double multiplier = 1.0;
    for (const TPrefix& prefix : kPrefixes)
    {
        const std::size_t at = work.find(prefix.Letter);
        if (at != std::string::npos && at >= end)
        {
            multiplier = prefix.Multiplier;
            break;
        }
    }

    const std::optional<double> number =
        ParseLocaleFloat(std::string_view(work).substr(start, end - start), separator);
    if (!number)
        return std::nullopt;
    return *number * multiplier;
}

} // namespace tumblet
