#include "StateChecker.h"
#include "RenderError.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

/// A payload with the given version, values (each a tag 02 integer unless given whole) and
/// an optional tail after the parameter list.
std::string Payload(const std::string& version, int values, bool innerList,
                    const std::string& tail = std::string("\0", 1))
{
    std::string text = "TPF0";
    text += '\x01';
    text += '\x06';
    text += static_cast<char>(version.size());
    text += version;
    text += std::string("\x06\0\x06\0\x06\0\0", 7);
    text += '\x01';
    if (innerList)
        text += '\x01';
    for (int i = 0; i < values; ++i)
        text += std::string("\x02\x05", 2);
    if (innerList)
        text += '\0';
    text += '\0';
    return text + tail;
}

std::string Failure(const std::string& payload)
{
    try
    {
        TStateChecker::Check(Bytes(payload));
        return "";
    }
    catch (const TRenderError& error)
    {
        return error.what();
    }
}

TEST(StateCheckerTest, AcceptsWhatThePlugInReads)
{
    EXPECT_EQ(Failure(Payload("1.20", 22, true)), "");
    EXPECT_EQ(Failure(Payload("1.10", 21, true)), "");  // without "Speed"
    EXPECT_EQ(Failure(Payload("1.00", 20, false)), ""); // old stream, no inner list
    const std::string mapping = std::string("\x01\x01\x06\x04Gate\x02\x07\0\0", 12);
    EXPECT_EQ(Failure(Payload("1.20", 22, true, mapping)), "");
}

TEST(StateCheckerTest, RefusesWhatThePlugInRefuses)
{
    EXPECT_NE(Failure("TPFx").find("Invalid stream format"), std::string::npos);
    EXPECT_NE(Failure(Payload("1.20", 23, true)).find("Invalid property value"), std::string::npos);
    EXPECT_NE(Failure(Payload("1.20", 19, true)).find("Invalid property value"), std::string::npos);
    // The parameter list followed directly by the end of the data.
    EXPECT_NE(Failure(Payload("1.20", 22, true, "")).find("Stream read error"), std::string::npos);
    std::string floatTag = Payload("1.20", 22, true);
    floatTag[floatTag.find("\x02\x05")] = '\x0F'; // a 32-bit float value
    EXPECT_NE(Failure(floatTag).find("Invalid property value\" at byte 28"), std::string::npos)
        << Failure(floatTag);
    std::string longName = Payload("1.20", 22, true);
    longName[longName.find(std::string("\x06\0", 2), 10) + 1] =
        '\x7F'; // a name running past the end
    EXPECT_NE(Failure(longName).find("Stream read error"), std::string::npos);
}

} // namespace
} // namespace tumblet
