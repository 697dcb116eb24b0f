#pragma once

// The chunk family: a four-character identifier, a 32-bit payload size and the payload. The
// state container is a TMemoryStreamChunk ("mmst"); other users (image decoders) need the
// header flags, which the state container leaves off.

#include "plugin/MemoryStream.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tumblet
{

/// A chunk whose identifier is not the one its class reads.
class EChunkError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class TChunkFlag : std::uint8_t
{
    SizeFirst = 1,          ///< the size precedes the identifier
    SizeReversed = 2,       ///< the size is big-endian
    PadToEven = 4,          ///< a pad byte follows an odd-sized payload
    SizeIncludesHeader = 8, ///< the stored size counts the 8 header bytes (TUnknownChunk only)
};

using TChunkId = std::array<char, 4>;

/// The header every chunk shares. Thread: whoever owns the chunk object.
class TCustomChunk
{
public:
    TCustomChunk() = default;
    virtual ~TCustomChunk() = default;

    virtual std::string GetChunkId() const;
    virtual std::uint32_t GetDataSize() const { return FDataSize; }
    /// Copies up to four characters; missing ones become zero bytes.
    virtual void SetChunkId(const std::string& text);
    virtual std::unique_ptr<TCustomChunk> Clone() const = 0;
    virtual void ReadFromStream(TMemoryStream& stream);
    virtual void WriteToStream(TMemoryStream& stream);
    /// Reads the whole file, then the chunk from its start. Throws with the system's reason.
    virtual void ReadFromFile(const std::string& path);
    /// Writes the chunk to a temporary file beside path and renames it over path.
    virtual void WriteToFile(const std::string& path);
    /// Copies identifier and size (and, for stream chunks, the payload).
    virtual void Assign(const TCustomChunk& source);

    bool HasFlag(TChunkFlag flag) const noexcept
    {
        return (FFlags & static_cast<std::uint8_t>(flag)) != 0;
    }
    void SetFlag(TChunkFlag flag, bool on) noexcept;
    const TChunkId& ChunkId() const noexcept { return FChunkId; }

protected:
    /// Reads identifier and size in the flag order.
    void ReadHeader(TMemoryStream& stream);
    /// Writes identifier and size (from GetDataSize) in the flag order.
    void WriteHeader(TMemoryStream& stream);

    TChunkId FChunkId{};
    std::uint32_t FDataSize = 0; ///< bytes of payload
    std::uint8_t FFlags = 0;
};

/// A chunk of any identifier with its payload in memory.
class TUnknownChunk : public TCustomChunk
{
public:
    std::unique_ptr<TCustomChunk> Clone() const override;
    void ReadFromStream(TMemoryStream& stream) override;
    void WriteToStream(TMemoryStream& stream) override;
    void Assign(const TCustomChunk& source) override;

    std::vector<std::uint8_t>& Data() noexcept { return FData; }

private:
    std::vector<std::uint8_t> FData;
};

/// A chunk whose class fixes the identifier; reading another identifier fails.
class TDefinedChunk : public TCustomChunk
{
public:
    explicit TDefinedChunk(const char* classChunkId);
    const TChunkId& ClassChunkId() const noexcept { return FClassChunkId; }
    void ReadFromStream(TMemoryStream& stream) override;

private:
    TChunkId FClassChunkId{};
};

/// A defined chunk whose payload is a memory stream.
class TCustomStreamChunk : public TDefinedChunk
{
public:
    using TDefinedChunk::TDefinedChunk;
    std::uint32_t GetDataSize() const override;
    void ReadFromStream(TMemoryStream& stream) override;
    void WriteToStream(TMemoryStream& stream) override;
    void Assign(const TCustomChunk& source) override;

    TMemoryStream& Stream() noexcept { return *FStream; }
    const TMemoryStream& Stream() const noexcept { return *FStream; }

protected:
    std::unique_ptr<TMemoryStream> FStream;
};

/// Creates the payload stream.
class TCustomMemoryStreamChunk : public TCustomStreamChunk
{
public:
    explicit TCustomMemoryStreamChunk(const char* classChunkId);
};

/// The state container: identifier "mmst".
class TMemoryStreamChunk : public TCustomMemoryStreamChunk
{
public:
    TMemoryStreamChunk();
    std::unique_ptr<TCustomChunk> Clone() const override;
};

} // namespace tumblet
