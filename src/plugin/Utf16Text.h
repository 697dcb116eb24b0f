#pragma once

// UTF-8 <-> UTF-16 for the state stream, which counts texts in UTF-16 units. Invalid input
// (a broken UTF-8 sequence, a lone surrogate) becomes U+FFFD rather than failing.

#include <cstdint>
#include <string>
#include <vector>

namespace tumblet
{

std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

} // namespace tumblet
