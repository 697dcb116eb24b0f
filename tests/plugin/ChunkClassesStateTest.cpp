// The chunk family's header options, which the state container leaves off but other users of
// the family (image decoders) rely on.

#include "plugin/Chunks.h"

#include <gtest/gtest.h>

namespace tumblet
{
namespace
{

using TBytes = std::vector<std::uint8_t>;

TBytes Written(TCustomChunk& chunk)
{
    TMemoryStream stream;
    chunk.WriteToStream(stream);
    return stream.Bytes();
}

struct THeaderCase
{
    const char* Name;
    std::vector<TChunkFlag> Flags;
    TBytes Expected;
};

TEST(ChunkTest, UnknownChunkHeaderFollowsTheFlags)
{
    const THeaderCase cases[] = {
        {"plain", {}, {'a', 'b', 'c', 'd', 3, 0, 0, 0, 1, 2, 3}},
        {"size first", {TChunkFlag::SizeFirst}, {3, 0, 0, 0, 'a', 'b', 'c', 'd', 1, 2, 3}},
        {"reversed", {TChunkFlag::SizeReversed}, {'a', 'b', 'c', 'd', 0, 0, 0, 3, 1, 2, 3}},
        {"padded", {TChunkFlag::PadToEven}, {'a', 'b', 'c', 'd', 3, 0, 0, 0, 1, 2, 3, 0}},
    };
    for (const THeaderCase& c : cases)
    {
        TUnknownChunk chunk;
        for (TChunkFlag flag : c.Flags)
            chunk.SetFlag(flag, true);
        chunk.SetChunkId("abcdef");
        chunk.Data() = {1, 2, 3};
        EXPECT_EQ(Written(chunk), c.Expected) << c.Name;

        TUnknownChunk read;
        for (TChunkFlag flag : c.Flags)
            read.SetFlag(flag, true);
        TMemoryStream source(c.Expected.data(), c.Expected.size());
        read.ReadFromStream(source);
        EXPECT_EQ(read.GetChunkId(), "abcd") << c.Name;
        EXPECT_EQ(read.Data(), (TBytes{1, 2, 3})) << c.Name;
        EXPECT_EQ(source.Position(), c.Expected.size()) << c.Name;
    }
}

TEST(ChunkTest, SizeIncludingTheHeaderTakesEightBytesFewer)
{
    const TBytes bytes = {'a', 'b', 'c', 'd', 10, 0, 0, 0, 7, 8, 9};
    TUnknownChunk chunk;
    chunk.SetFlag(TChunkFlag::SizeIncludesHeader, true);
    TMemoryStream source(bytes.data(), bytes.size());
    chunk.ReadFromStream(source);
    EXPECT_EQ(chunk.Data(), (TBytes{7, 8}));
}

TEST(ChunkTest, MemoryStreamChunkChecksItsIdentifierAndCopiesExactlyItsSize)
{
    const TBytes bytes = {'m', 'm', 's', 't', 2, 0, 0, 0, 5, 6, 7};
    TMemoryStreamChunk chunk;
    TMemoryStream source(bytes.data(), bytes.size());
    chunk.ReadFromStream(source);
    EXPECT_EQ(chunk.Stream().Bytes(), (TBytes{5, 6}));
    EXPECT_EQ(chunk.GetDataSize(), 2u);
    EXPECT_EQ(source.Position(), 10u);

    const TBytes other = {'x', 'm', 's', 't', 2, 0, 0, 0, 5, 6};
    TMemoryStream wrong(other.data(), other.size());
    EXPECT_THROW(chunk.ReadFromStream(wrong), EChunkError);

    const TBytes shortPayload = {'m', 'm', 's', 't', 9, 0, 0, 0, 5, 6};
    TMemoryStream cut(shortPayload.data(), shortPayload.size());
    try
    {
        chunk.ReadFromStream(cut);
        FAIL();
    }
    catch (const EReadError& e)
    {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

TEST(ChunkTest, ZeroSizeTakesTheWholeSourceFromItsStart)
{
    const TBytes bytes = {'m', 'm', 's', 't', 0, 0, 0, 0, 5};
    TMemoryStreamChunk chunk;
    TMemoryStream source(bytes.data(), bytes.size());
    chunk.ReadFromStream(source);
    EXPECT_EQ(chunk.Stream().Bytes(), bytes);
}

TEST(ChunkTest, SizeFirstReversedStreamChunkSkipsThePadPosition)
{
    TMemoryStreamChunk chunk;
    chunk.SetFlag(TChunkFlag::SizeFirst, true);
    chunk.SetFlag(TChunkFlag::SizeReversed, true);
    chunk.SetFlag(TChunkFlag::PadToEven, true);
    chunk.Stream().Write("\x01\x02\x03", 3);
    EXPECT_EQ(Written(chunk), (TBytes{0, 0, 0, 3, 'm', 'm', 's', 't', 1, 2, 3}));

    const TBytes padded = {0, 0, 0, 3, 'm', 'm', 's', 't', 1, 2, 3, 0xEE, 0x42};
    TMemoryStreamChunk read;
    read.SetFlag(TChunkFlag::SizeFirst, true);
    read.SetFlag(TChunkFlag::SizeReversed, true);
    read.SetFlag(TChunkFlag::PadToEven, true);
    TMemoryStream source(padded.data(), padded.size());
    read.ReadFromStream(source);
    EXPECT_EQ(read.Stream().Bytes(), (TBytes{1, 2, 3}));
    EXPECT_EQ(source.Position(), 12u);
}

TEST(ChunkTest, CopiesCarryIdentifierSizeAndPayload)
{
    TMemoryStreamChunk chunk;
    chunk.Stream().Write("abc", 3);
    const auto copy = chunk.Clone();
    EXPECT_EQ(copy->GetChunkId(), "mmst");
    EXPECT_EQ(copy->GetDataSize(), 3u);
    EXPECT_EQ(Written(*copy), Written(chunk));

    TUnknownChunk unknown;
    unknown.SetChunkId("ab");
    unknown.Data() = {9};
    TUnknownChunk target;
    target.Assign(unknown);
    EXPECT_EQ(target.GetChunkId(), std::string("ab\0\0", 4));
    EXPECT_EQ(target.Data(), (TBytes{9}));
}

} // namespace
} // namespace tumblet
