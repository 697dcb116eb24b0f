#pragma once

// Walks the tagged value stream inside a Tumblet state container the way the plug-in reads it,
// with the plug-in's own value reader, without applying anything, so that the tool can refuse a
// preset file with the reader's message and the byte where the problem is.

#include <cstdint>
#include <vector>

namespace tumblet
{

class TStateChecker
{
public:
    /// payload: the bytes after the 8-byte container header. Throws a runtime error carrying
    /// the plug-in's own reader message and the byte offset in the file.
    static void Check(const std::vector<std::uint8_t>& payload);
};

} // namespace tumblet
