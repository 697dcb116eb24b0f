#pragma once

// Text helpers shared by the parameter and program layers: cutting UTF-8 texts by the units the
// interface counts, the user's decimal separator, and the general number formats.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tumblet
{

/// Longest text written into a host's parameter or program text buffer, without the zero.
/// The interface names 8 characters, but hosts pass far larger buffers and our names are longer;
/// 63 + zero stays inside the 64-byte buffers every host we know of passes.
constexpr std::size_t kHostTextLimit = 63;

/// Cuts a UTF-8 text to at most maxUnits UTF-16 code units, never inside a code point.
std::string CutUtf16Units(std::string_view text, std::size_t maxUnits);

/// Cuts a UTF-8 text to at most maxBytes bytes, never inside a code point.
std::string CutBytes(std::string_view text, std::size_t maxBytes);

/// Writes a text and a terminating zero into a host buffer, at most maxBytes bytes of text,
/// cut at a code point boundary. Does nothing for a null buffer.
void CopyHostText(void* ptr, std::string_view text, std::size_t maxBytes = kHostTextLimit);

/// Reads a zero-terminated host text, looking at no more than maxBytes bytes.
std::string ReadHostText(const void* ptr, std::size_t maxBytes = 4096);

/// Writes value in general format (shortest of fixed and scientific, no trailing zeros) with up
/// to significantDigits digits, using separator as the decimal separator.
std::string FormatGeneral(double value, int significantDigits, std::string_view separator);

/// Reads a whole text as a floating-point number written with the given decimal separator
/// (an optional sign, digits, separator, exponent). Nothing when any character is left over.
std::optional<double> ParseLocaleFloat(std::string_view text, std::string_view separator);

/// The default reading of a parameter text from the host: trims it, removes the first
/// occurrence of units, reads the first number in it and scales it by a unit prefix written
/// after the number (k 1000, K 1024, G 1048576, m 0.001, the byte 0xB5 (micro) 0.000001,
/// c 0.01). Nothing when the text holds no readable number.
std::optional<double> ParseParameterString(std::string_view text, std::string_view units,
                                           std::string_view separator);

} // namespace tumblet
