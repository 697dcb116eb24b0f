#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tumblet
{

/// Longest text FormatIntText writes: a three-byte minus sign and ten digits.
inline constexpr std::size_t kIntTextMax = 13;

/// Writes the decimal text of value into out (at least kIntTextMax bytes, not terminated) and
/// returns its length. A negative number is led by the minus sign U+2212, never by a hyphen.
// Thread: any; allocates nothing.
std::size_t FormatIntText(std::int32_t value, char* out) noexcept;

/// The same text as a string.
std::string IntText(std::int32_t value);

} // namespace tumblet
