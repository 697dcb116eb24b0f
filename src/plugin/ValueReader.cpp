#include "plugin/ValueReader.h"

#include "plugin/Utf16Text.h"
#include "plugin/ValueTags.h"

#include <cstring>

namespace tumblet
{

namespace
{
constexpr std::uint8_t Tag(TValueTag tag)
{
    return static_cast<std::uint8_t>(tag);
}
} // namespace

TValueReader::TValueReader(const TMemoryStream& payload)
    : FData(payload.Data()), FSize(payload.Size())
{
}

void TValueReader::InvalidValue()
{
    throw EReadError("Invalid property value");
}

void TValueReader::Skip(std::size_t count)
{
    if (count > FSize - FPosition)
    {
        FPosition = FSize;
        throw EReadError(kStreamReadError);
    }
    FPosition += count;
}

void TValueReader::Read(void* data, std::size_t count)
{
    if (count > FSize - FPosition)
    {
        FPosition = FSize;
        throw EReadError(kStreamReadError);
    }
    if (count > 0)
        std::memcpy(data, FData + FPosition, count);
    FPosition += count;
}

std::uint8_t TValueReader::ReadTag()
{
    std::uint8_t tag = 0;
    Read(&tag, 1);
    return tag;
}

std::int64_t TValueReader::ReadSigned(std::size_t bytes)
{
    std::uint8_t raw[8] = {};
    Read(raw, bytes);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        bits |= static_cast<std::uint64_t>(raw[i]) << (8 * i);
    // Sign-extend from the top bit of the stored width.
    const unsigned shift = static_cast<unsigned>(64 - 8 * bytes);
    return static_cast<std::int64_t>(bits << shift) >> shift;
}

std::size_t TValueReader::ReadLength(std::size_t unitBytes)
{
    const std::int64_t length = ReadSigned(4);
    if (length <= 0)
        return 0;
    // Checked here so that a damaged length never sizes a buffer.
    if (static_cast<std::uint64_t>(length) > (FSize - FPosition) / unitBytes)
    {
        FPosition = FSize;
        throw EReadError(kStreamReadError);
    }
    return static_cast<std::size_t>(length);
}

void TValueReader::ReadSignature()
{
    char signature[sizeof kStreamSignature];
    Read(signature, sizeof signature);
    if (std::memcmp(signature, kStreamSignature, sizeof signature) != 0)
        throw EReadError("Invalid stream format");
}

void TValueReader::ExpectTag(std::uint8_t tag)
{
    const std::uint8_t found = ReadTag();
    if (found == tag)
        return;
    SkipValue(found);
    InvalidValue();
}

void TValueReader::ExpectListBegin()
{
    ExpectTag(Tag(TValueTag::vaList));
}

void TValueReader::ExpectListEnd()
{
    ExpectTag(Tag(TValueTag::vaNull));
}

bool TValueReader::EndOfList()
{
    const std::uint8_t tag = ReadTag();
    --FPosition;
    return tag == Tag(TValueTag::vaNull);
}

void TValueReader::SkipValue(std::uint8_t tag)
{
    // Lists nest; they are skipped with a depth count rather than by recursion, so a stream of
    // many list openings cannot exhaust the stack.
    std::size_t depth = 0;
    for (;;)
    {
        switch (static_cast<TValueTag>(tag))
        {
        case TValueTag::vaList:
            ++depth;
            break;
        case TValueTag::vaNull:
            if (depth > 0)
                --depth;
            break;
        case TValueTag::vaInt8:
            ReadSigned(1);
            break;
        case TValueTag::vaInt16:
            ReadSigned(2);
            break;
        case TValueTag::vaInt32:
            ReadSigned(4);
            break;
        case TValueTag::vaInt64:
        case TValueTag::vaDouble:
            ReadSigned(8);
            break;
        case TValueTag::vaExtended:
            ReadSigned(8), ReadSigned(2);
            break;
        case TValueTag::vaString:
        {
            std::uint8_t length = 0;
            Read(&length, 1);
            Skip(length);
            break;
        }
        case TValueTag::vaLString:
        case TValueTag::vaUTF8String:
            FPosition += ReadLength(1);
            break;
        case TValueTag::vaWString:
            FPosition += 2 * ReadLength(2);
            break;
        default:
            // A form this stream never holds: its size is unknown, so skipping stops here.
            return;
        }
        if (depth == 0)
            return;
        tag = ReadTag();
    }
}

float TValueReader::ReadFloat()
{
    switch (static_cast<TValueTag>(ReadTag()))
    {
    case TValueTag::vaExtended:
    {
        std::uint8_t bytes[kExtendedBytes];
        Read(bytes, kExtendedBytes);
        return NarrowExtended(bytes);
    }
    case TValueTag::vaDouble:
    {
        double value = 0.0;
        Read(&value, sizeof value);
        return static_cast<float>(value);
    }
    case TValueTag::vaInt64:
        return static_cast<float>(ReadSigned(8));
    case TValueTag::vaInt8:
        return static_cast<float>(ReadSigned(1));
    case TValueTag::vaInt16:
        return static_cast<float>(ReadSigned(2));
    case TValueTag::vaInt32:
        return static_cast<float>(ReadSigned(4));
    default:
        InvalidValue();
    }
}

std::string TValueReader::ReadString()
{
    switch (static_cast<TValueTag>(ReadTag()))
    {
    case TValueTag::vaString:
    {
        std::uint8_t length = 0;
        Read(&length, 1);
        std::string text(length, '\0');
        Read(text.data(), length);
        return text;
    }
    case TValueTag::vaLString:
    case TValueTag::vaUTF8String:
    {
        std::string text(ReadLength(1), '\0');
        Read(text.data(), text.size());
        return text;
    }
    case TValueTag::vaWString:
    {
        const std::size_t count = ReadLength(2);
        std::u16string units(count, u'\0');
        for (char16_t& unit : units)
        {
            std::uint8_t bytes[2];
            Read(bytes, 2);
            unit = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
        }
        return Utf16ToUtf8(units);
    }
    default:
        InvalidValue();
    }
}

std::int32_t TValueReader::ReadInteger()
{
    switch (static_cast<TValueTag>(ReadTag()))
    {
    case TValueTag::vaInt8:
        return static_cast<std::int32_t>(ReadSigned(1));
    case TValueTag::vaInt16:
        return static_cast<std::int32_t>(ReadSigned(2));
    case TValueTag::vaInt32:
        return static_cast<std::int32_t>(ReadSigned(4));
    default:
        InvalidValue();
    }
}

} // namespace tumblet
