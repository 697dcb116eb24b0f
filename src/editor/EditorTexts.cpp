#include "editor/EditorTexts.h"

#include "controls/BlxControlEvents.h"

#include <cstdlib>

namespace tumblet
{

namespace
{
constexpr const char* kMinusSign = "\xE2\x88\x92"; // U+2212
// Two spaces take about the width of one digit in the menu font.
constexpr const char* kDigitPad = "  ";

int DigitCount(int n)
{
    int digits = 1;
    for (n = std::abs(n); n >= 10; n /= 10)
        ++digits;
    return digits;
}

std::string Padded(int n, int digits)
{
    std::string text;
    for (int missing = digits - DigitCount(n); missing > 0; --missing)
        text += kDigitPad;
    return text + UnsignedValueText(n);
}
} // namespace

std::string UnsignedValueText(int n)
{
    return BlxIntText(n);
}

std::string SignedValueText(int n)
{
    return n > 0 ? "+" + std::to_string(n) : BlxIntText(n);
}

std::string VelocityFixedMenuText(int n)
{
    if (n >= 91)
        return Padded(n, 3);
    if (n <= 10)
        return Padded(n, 2);
    return UnsignedValueText(n);
}

std::string VelocityFixedGroupText(int n)
{
    constexpr int kLowestGroupTop = 10;
    constexpr int kTop = 127;
    int high = kLowestGroupTop;
    int low = 0;
    if (n > kLowestGroupTop)
    {
        high = std::min(kTop, 10 * ((n + 9) / 10));
        low = 10 * ((n - 1) / 10) + 1;
    }
    return Padded(high, 3) + " - " + Padded(low, 3);
}

std::string TransposeMenuText(int n)
{
    if (n == 0)
        return "0";
    const std::string sign = n > 0 ? "+" : kMinusSign;
    return (std::abs(n) < 10 ? kDigitPad : "") + sign + std::to_string(std::abs(n));
}

std::string TransposeGroupText(int n)
{
    return n > 0 ? "> 0" : n == 0 ? "= 0" : "< 0";
}

std::string RangeText(const std::string& prefix, int value, int random, int upperBound,
                      bool isSigned, const std::string& unit)
{
    auto format = [isSigned](int n)
    { return isSigned ? SignedValueText(n) : UnsignedValueText(n); };
    std::string text = prefix + format(value) + unit;
    if (random == 0)
        return text;
    if (value + random > upperBound)
        random = upperBound - value;
    return text + " <=> " + format(value + random) + unit;
}

} // namespace tumblet
