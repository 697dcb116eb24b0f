#pragma once

// The tags of the tagged value stream (the state chunk's payload) and its 80-bit floats.

#include <cstdint>
#include <cstring>
#include <limits>

namespace tumblet
{

enum class TValueTag : std::uint8_t
{
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaLString = 0x0C,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
    vaDouble = 0x15,
};

/// The stream's signature.
inline constexpr char kStreamSignature[4] = {'T', 'P', 'F', '0'};
/// 64-bit mantissa with explicit integer bit, then 16-bit sign and exponent.
inline constexpr std::size_t kExtendedBytes = 10;

// The x86-64 long double is exactly the stream's 80-bit format, so the conversions are the
// hardware's: widening is exact and narrowing rounds to nearest.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the state stream needs the 80-bit extended long double");

inline void WidenToExtended(double value, std::uint8_t (&bytes)[kExtendedBytes])
{
    const long double wide = value;
    std::memcpy(bytes, &wide, kExtendedBytes);
}

inline float NarrowExtended(const std::uint8_t (&bytes)[kExtendedBytes])
{
    long double wide = 0.0L;
    std::memcpy(&wide, bytes, kExtendedBytes);
    return static_cast<float>(wide);
}

} // namespace tumblet
