#include "StateChecker.h"

#include "RenderError.h"

#include <cstring>

namespace tumblet
{

namespace
{

// Value tags of the stream.
constexpr std::uint8_t kNull = 0x00;
constexpr std::uint8_t kList = 0x01;
constexpr std::uint8_t kInt8 = 0x02;
constexpr std::uint8_t kInt16 = 0x03;
constexpr std::uint8_t kInt32 = 0x04;
constexpr std::uint8_t kExtended = 0x05;
constexpr std::uint8_t kString = 0x06;
constexpr std::uint8_t kLString = 0x0C;
constexpr std::uint8_t kWString = 0x12;
constexpr std::uint8_t kInt64 = 0x13;
constexpr std::uint8_t kUtf8String = 0x14;
constexpr std::uint8_t kDouble = 0x15;

constexpr std::size_t kHeaderSize = 8; // container header before the payload
constexpr std::size_t kExtendedSize = 10;
constexpr int kOldValueCount = 20; // streams before version 1.10
constexpr int kLaterValues = 2;    // "Octaves Random" and "Speed"
const char* const kFirstNewVersion = "1.10";

} // namespace

void TStateChecker::Check(const std::vector<std::uint8_t>& payload)
{
    TStateChecker checker(payload);
    if (payload.size() < 4 || std::memcmp(payload.data(), "TPF0", 4) != 0)
        checker.Fail("Invalid stream format");
    checker.FPosition = 4;
    std::string version;
    checker.CheckHeader(version);
    checker.CheckParameters(version);
    checker.CheckMappings();
}

void TStateChecker::CheckHeader(std::string& version)
{
    Expect(kList);
    version = ReadString();
    for (int i = 0; i < 3; ++i) // preset name and two spare strings
        ReadString();
    Expect(kNull);
}

void TStateChecker::CheckParameters(const std::string& version)
{
    Expect(kList);
    const bool newStream = version >= kFirstNewVersion;
    if (newStream)
        Expect(kList);
    for (int i = 0; i < kOldValueCount; ++i)
        ReadFloat();
    if (newStream)
    {
        for (int i = 0; i < kLaterValues && !AtListEnd(); ++i)
            ReadFloat();
        Expect(kNull);
    }
    Expect(kNull);
}

void TStateChecker::CheckMappings()
{
    if (AtListEnd())
        return;
    Expect(kList);
    while (!AtListEnd())
    {
        Expect(kList);
        ReadString();
        ReadInteger();
        Expect(kNull);
    }
    Expect(kNull);
}

void TStateChecker::Fail(const std::string& message) const
{
    ThrowRuntime("\"" + message + "\" at byte " + std::to_string(FPosition + kHeaderSize));
}

void TStateChecker::Skip(std::size_t count)
{
    if (count > FBytes.size() - FPosition)
        Fail("Stream read error");
    FPosition += count;
}

std::uint8_t TStateChecker::Tag()
{
    if (FPosition >= FBytes.size())
        Fail("Stream read error");
    return FBytes[FPosition++];
}

bool TStateChecker::AtListEnd()
{
    const std::uint8_t tag = Tag();
    --FPosition;
    return tag == kNull;
}

void TStateChecker::Expect(std::uint8_t tag)
{
    if (Tag() != tag)
    {
        --FPosition;
        Fail("Invalid property value");
    }
}

std::uint32_t TStateChecker::ReadLength()
{
    Skip(4);
    const std::uint8_t* bytes = FBytes.data() + FPosition - 4;
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::string TStateChecker::ReadString()
{
    const std::size_t start = FPosition;
    switch (Tag())
    {
    case kString:
        Skip(1);
        Skip(FBytes[FPosition - 1]);
        break;
    case kLString:
    case kUtf8String:
        Skip(ReadLength());
        break;
    case kWString:
        Skip(2 * static_cast<std::size_t>(ReadLength()));
        return "";
    default:
        FPosition = start;
        Fail("Invalid property value");
    }
    const std::size_t headerSize = FBytes[start] == kString ? 2 : 5;
    return std::string(FBytes.begin() + static_cast<std::ptrdiff_t>(start + headerSize),
                       FBytes.begin() + static_cast<std::ptrdiff_t>(FPosition));
}

void TStateChecker::ReadFloat()
{
    switch (Tag())
    {
    case kExtended:
        Skip(kExtendedSize);
        break;
    case kDouble:
        Skip(8);
        break;
    case kInt64:
        Skip(8);
        break;
    case kInt32:
        Skip(4);
        break;
    case kInt16:
        Skip(2);
        break;
    case kInt8:
        Skip(1);
        break;
    default:
        --FPosition;
        Fail("Invalid property value");
    }
}

void TStateChecker::ReadInteger()
{
    switch (Tag())
    {
    case kInt32:
        Skip(4);
        break;
    case kInt16:
        Skip(2);
        break;
    case kInt8:
        Skip(1);
        break;
    default:
        --FPosition;
        Fail("Invalid property value");
    }
}

} // namespace tumblet
