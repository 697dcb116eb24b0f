#include "plugin/ValueWriter.h"

#include "plugin/Utf16Text.h"
#include "plugin/ValueTags.h"

namespace tumblet
{

namespace
{
// Texts of this many bytes or more need the 4-byte length of vaLString.
constexpr std::size_t kShortStringLimit = 256;
} // namespace

void TValueWriter::WriteTag(std::uint8_t tag)
{
    FStream.Write(&tag, 1);
}

void TValueWriter::WriteInt32(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    FStream.Write(bytes, sizeof bytes);
}

void TValueWriter::WriteSignature()
{
    FStream.Write(kStreamSignature, sizeof kStreamSignature);
}

void TValueWriter::WriteListBegin()
{
    WriteTag(static_cast<std::uint8_t>(TValueTag::vaList));
}

void TValueWriter::WriteListEnd()
{
    WriteTag(static_cast<std::uint8_t>(TValueTag::vaNull));
}

void TValueWriter::WriteString(const std::string& text)
{
    const std::u16string units = Utf8ToUtf16(text);
    // The UTF-8 form of the units, so that a damaged input text is counted as it is written.
    const std::string utf8 = Utf16ToUtf8(units);
    const std::size_t count = units.size();
    const std::size_t length = utf8.size();
    if (length >= 2 * count)
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaWString));
        WriteInt32(static_cast<std::int32_t>(count));
        for (const char16_t unit : units)
        {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(unit),
                                           static_cast<std::uint8_t>(unit >> 8)};
            FStream.Write(bytes, 2);
        }
        return;
    }
    bool sevenBit = true;
    for (const char c : utf8)
        sevenBit = sevenBit && static_cast<std::uint8_t>(c) < 0x80;
    if (!sevenBit)
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaUTF8String));
        WriteInt32(static_cast<std::int32_t>(length));
    }
    else if (length >= kShortStringLimit)
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaLString));
        WriteInt32(static_cast<std::int32_t>(length));
    }
    else
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaString));
        const auto shortLength = static_cast<std::uint8_t>(length);
        FStream.Write(&shortLength, 1);
    }
    FStream.Write(utf8.data(), length);
}

void TValueWriter::WriteInteger(std::int32_t value)
{
    if (value >= -128 && value <= 127)
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaInt8));
        const auto byte = static_cast<std::uint8_t>(static_cast<std::int8_t>(value));
        FStream.Write(&byte, 1);
    }
    else if (value >= -32768 && value <= 32767)
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaInt16));
        const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(bits),
                                       static_cast<std::uint8_t>(bits >> 8)};
        FStream.Write(bytes, 2);
    }
    else
    {
        WriteTag(static_cast<std::uint8_t>(TValueTag::vaInt32));
        WriteInt32(value);
    }
}

void TValueWriter::WriteFloat(double value)
{
    WriteTag(static_cast<std::uint8_t>(TValueTag::vaExtended));
    std::uint8_t bytes[kExtendedBytes];
    WidenToExtended(value, bytes);
    FStream.Write(bytes, kExtendedBytes);
}

} // namespace tumblet
