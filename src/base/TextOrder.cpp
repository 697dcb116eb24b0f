#include "base/TextOrder.h"

#include <algorithm>

namespace tumblet
{

namespace
{
unsigned char Lower(char c) noexcept
{
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}
} // namespace

bool LessIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    const auto less = [](char x, char y) { return Lower(x) < Lower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less))
        return false;
    return a < b;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

} // namespace tumblet
