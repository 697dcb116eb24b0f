#pragma once

#include "plugin/MemoryStream.h"

#include <cstdint>
#include <string>

namespace tumblet
{

/// Reads the tagged value stream from a payload. Every failure is an EReadError carrying
/// "Invalid stream format" (signature), "Invalid property value" (unexpected tag) or
/// "Stream read error" (past the end).
class TValueReader
{
public:
    /// Reads from the start of the payload; the payload must outlive the reader.
    explicit TValueReader(const TMemoryStream& payload);

    void ReadSignature();
    /// Reads one tag; when it is not the expected one, skips its value and fails.
    void ExpectTag(std::uint8_t tag);
    void ExpectListBegin();
    void ExpectListEnd();
    /// True when the next tag (not consumed) ends a list.
    bool EndOfList();

    /// Any of the float and integer forms except the 32-bit float, narrowed to nearest.
    float ReadFloat();
    /// 8-bit text (taken as UTF-8), UTF-16 or UTF-8, as UTF-8.
    std::string ReadString();
    /// The 8-, 16- and 32-bit integer forms, sign-extended.
    std::int32_t ReadInteger();

    std::size_t Position() const noexcept { return FPosition; }

private:
    std::uint8_t ReadTag();
    void Read(void* data, std::size_t count);
    void Skip(std::size_t count);
    std::int64_t ReadSigned(std::size_t bytes);
    std::size_t ReadLength(std::size_t unitBytes);
    void SkipValue(std::uint8_t tag);
    [[noreturn]] static void InvalidValue();

    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPosition = 0;
};

} // namespace tumblet
