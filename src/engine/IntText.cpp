#include "engine/IntText.h"

namespace tumblet
{

namespace
{

constexpr char kMinusSign[] = "\xE2\x88\x92"; // U+2212 in UTF-8
constexpr std::size_t kMinusSignBytes = sizeof(kMinusSign) - 1;

} // namespace

std::size_t FormatIntText(std::int32_t value, char* out) noexcept
{
    std::size_t length = 0;
    // Widened so that the magnitude of the most negative value fits.
    std::int64_t magnitude = value;
    if (magnitude < 0)
    {
        for (std::size_t i = 0; i < kMinusSignBytes; ++i)
        {
            out[length++] = kMinusSign[i];
        }
        magnitude = -magnitude;
    }
    char digits[10];
    std::size_t count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    while (count > 0)
    {
        out[length++] = digits[--count];
    }
    return length;
}

std::string IntText(std::int32_t value)
{
    char buffer[kIntTextMax];
    return std::string(buffer, FormatIntText(value, buffer));
}

} // namespace tumblet
