#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tumblet
{

/// Rounds to the nearest integer, ties to even (2.5 gives 2, 3.5 gives 4), independent of the
/// floating-point environment's rounding mode.
inline double RoundEven(double x) noexcept
{
    const double floor = std::floor(x);
    const double fraction = x - floor;
    if (fraction > 0.5)
    {
        return floor + 1.0;
    }
    if (fraction < 0.5)
    {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

/// Converts an already integral value to a 32-bit integer, saturating at the type's limits; NaN
/// gives 0. Host timing may be absurd (a zero tempo makes every length infinite), and a plain
/// cast of such a value is undefined.
inline std::int32_t SaturateInt32(double x) noexcept
{
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(x))
    {
        return 0;
    }
    if (x <= kMin)
    {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (x >= kMax)
    {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(x);
}

inline std::int32_t RoundEvenInt(double x) noexcept
{
    return SaturateInt32(RoundEven(x));
}

/// The smallest integer not below x, as a saturated 32-bit integer.
inline std::int32_t CeilInt(double x) noexcept
{
    return SaturateInt32(std::ceil(x));
}

} // namespace tumblet
