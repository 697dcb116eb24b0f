#pragma once

#include "plugin/MemoryStream.h"

#include <cstdint>
#include <string>

namespace tumblet
{

/// Writes the tagged value stream into a memory stream at its position.
class TValueWriter
{
public:
    explicit TValueWriter(TMemoryStream& stream) : FStream(stream) {}

    void WriteSignature();
    void WriteListBegin();
    void WriteListEnd();
    /// Picks the encoding by the UTF-16/UTF-8 lengths: UTF-16 when the UTF-8 form is at least
    /// twice as long as the unit count (also for ""), else UTF-8 when any byte is not 7-bit,
    /// else 8-bit text with a 1-byte length (a 4-byte length from 256 bytes up).
    void WriteString(const std::string& text);
    /// The smallest of the 8-, 16- and 32-bit integer forms.
    void WriteInteger(std::int32_t value);
    /// The 80-bit extended form, widened exactly.
    void WriteFloat(double value);

private:
    void WriteTag(std::uint8_t tag);
    void WriteInt32(std::int32_t value);

    TMemoryStream& FStream;
};

} // namespace tumblet
