#include "plugin/Chunks.h"

#include "plugin/BlxCommon.h"

#include <algorithm>
#include <cstring>

namespace tumblet
{

namespace
{
constexpr std::size_t kIdBytes = 4;
constexpr std::size_t kSizeBytes = 4;
constexpr std::uint32_t kHeaderBytes = kIdBytes + kSizeBytes;

std::uint32_t ByteSwap(std::uint32_t value)
{
    return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) |
           (value >> 24);
}

std::uint32_t FromLittleEndian(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void ToLittleEndian(std::uint32_t value, std::uint8_t* bytes)
{
    for (std::size_t i = 0; i < kSizeBytes; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TChunkId MakeId(const char* text)
{
    TChunkId id{};
    for (std::size_t i = 0; i < kIdBytes && text[i] != '\0'; ++i)
        id[i] = text[i];
    return id;
}
} // namespace

// ---- TCustomChunk ------------------------------------------------------------------------------

std::string TCustomChunk::GetChunkId() const
{
    return std::string(FChunkId.data(), FChunkId.size());
}

void TCustomChunk::SetChunkId(const std::string& text)
{
    FChunkId = MakeId(text.c_str());
}

void TCustomChunk::SetFlag(TChunkFlag flag, bool on) noexcept
{
    const auto bit = static_cast<std::uint8_t>(flag);
    FFlags =
        on ? static_cast<std::uint8_t>(FFlags | bit) : static_cast<std::uint8_t>(FFlags & ~bit);
}

void TCustomChunk::ReadHeader(TMemoryStream& stream)
{
    std::uint8_t size[kSizeBytes];
    if (HasFlag(TChunkFlag::SizeFirst))
    {
        stream.ReadBuffer(size, kSizeBytes);
        stream.ReadBuffer(FChunkId.data(), kIdBytes);
    }
    else
    {
        stream.ReadBuffer(FChunkId.data(), kIdBytes);
        stream.ReadBuffer(size, kSizeBytes);
    }
    FDataSize = FromLittleEndian(size);
    if (HasFlag(TChunkFlag::SizeReversed))
        FDataSize = ByteSwap(FDataSize);
}

void TCustomChunk::WriteHeader(TMemoryStream& stream)
{
    FDataSize = GetDataSize();
    std::uint8_t size[kSizeBytes];
    ToLittleEndian(HasFlag(TChunkFlag::SizeReversed) ? ByteSwap(FDataSize) : FDataSize, size);
    if (HasFlag(TChunkFlag::SizeFirst))
    {
        stream.Write(size, kSizeBytes);
        stream.Write(FChunkId.data(), kIdBytes);
    }
    else
    {
        stream.Write(FChunkId.data(), kIdBytes);
        stream.Write(size, kSizeBytes);
    }
}

void TCustomChunk::ReadFromStream(TMemoryStream& stream)
{
    ReadHeader(stream);
}

void TCustomChunk::WriteToStream(TMemoryStream& stream)
{
    WriteHeader(stream);
}

void TCustomChunk::ReadFromFile(const std::string& path)
{
    TMemoryStream stream(ReadWholeFile(path));
    ReadFromStream(stream);
}

void TCustomChunk::WriteToFile(const std::string& path)
{
    TMemoryStream stream;
    WriteToStream(stream);
    WriteFileAtomically(path, stream.Data(), stream.Size());
}

void TCustomChunk::Assign(const TCustomChunk& source)
{
    FChunkId = source.FChunkId;
    FDataSize = source.GetDataSize();
}

// ---- TUnknownChunk -----------------------------------------------------------------------------

std::unique_ptr<TCustomChunk> TUnknownChunk::Clone() const
{
    auto copy = std::make_unique<TUnknownChunk>();
    copy->FFlags = FFlags;
    copy->Assign(*this);
    return copy;
}

void TUnknownChunk::ReadFromStream(TMemoryStream& stream)
{
    ReadHeader(stream);
    std::uint32_t size = FDataSize;
    if (HasFlag(TChunkFlag::SizeIncludesHeader))
        size = size >= kHeaderBytes ? size - kHeaderBytes : 0;
    // Checked before sizing the buffer, so a damaged size cannot ask for gigabytes.
    if (size > stream.Remaining())
        throw EReadError(kStreamReadError);
    FData.resize(size);
    stream.ReadBuffer(FData.data(), size);
    FDataSize = size;
    if (HasFlag(TChunkFlag::PadToEven) && (size % 2) != 0)
        stream.SetPosition(stream.Position() + 1);
}

void TUnknownChunk::WriteToStream(TMemoryStream& stream)
{
    FDataSize = static_cast<std::uint32_t>(FData.size());
    WriteHeader(stream);
    stream.Write(FData.data(), FData.size());
    if (HasFlag(TChunkFlag::PadToEven) && (FData.size() % 2) != 0)
    {
        const std::uint8_t pad = 0;
        stream.Write(&pad, 1);
    }
}

void TUnknownChunk::Assign(const TCustomChunk& source)
{
    TCustomChunk::Assign(source);
    if (const auto* unknown = dynamic_cast<const TUnknownChunk*>(&source))
        FData = unknown->FData;
}

// ---- TDefinedChunk -----------------------------------------------------------------------------

TDefinedChunk::TDefinedChunk(const char* classChunkId) : FClassChunkId(MakeId(classChunkId))
{
    FChunkId = FClassChunkId;
}

void TDefinedChunk::ReadFromStream(TMemoryStream& stream)
{
    const std::size_t start = stream.Position();
    if (HasFlag(TChunkFlag::SizeFirst))
        stream.SetPosition(start + kSizeBytes);
    TChunkId id{};
    stream.ReadBuffer(id.data(), kIdBytes);
    if (id != FClassChunkId)
        throw EChunkError("Invalid chunk identifier (expected \"" +
                          std::string(FClassChunkId.data(), kIdBytes) + "\")");
    stream.SetPosition(start);
    TCustomChunk::ReadFromStream(stream);
}

// ---- TCustomStreamChunk ------------------------------------------------------------------------

std::uint32_t TCustomStreamChunk::GetDataSize() const
{
    return FStream ? static_cast<std::uint32_t>(FStream->Size()) : 0;
}

void TCustomStreamChunk::ReadFromStream(TMemoryStream& stream)
{
    TDefinedChunk::ReadFromStream(stream);
    FStream->Clear();
    if (FDataSize == 0)
    {
        // A zero size stands for "everything": the whole source, from its beginning.
        FStream->Write(stream.Data(), stream.Size());
        stream.SetPosition(stream.Size());
    }
    else
    {
        if (FDataSize > stream.Remaining())
            throw EReadError(kStreamReadError);
        FStream->Write(stream.Data() + stream.Position(), FDataSize);
        stream.SetPosition(stream.Position() + FDataSize);
    }
    FStream->SetPosition(0);
    if (HasFlag(TChunkFlag::PadToEven) && (FDataSize % 2) != 0)
        stream.SetPosition(stream.Position() + 1);
}

void TCustomStreamChunk::WriteToStream(TMemoryStream& stream)
{
    WriteHeader(stream);
    stream.Write(FStream->Data(), FStream->Size());
    // The pad position is skipped, not written: at the end of a stream nothing follows.
    if (HasFlag(TChunkFlag::PadToEven) && (FStream->Size() % 2) != 0 &&
        stream.Position() < stream.Size())
        stream.SetPosition(stream.Position() + 1);
}

void TCustomStreamChunk::Assign(const TCustomChunk& source)
{
    TCustomChunk::Assign(source);
    if (const auto* other = dynamic_cast<const TCustomStreamChunk*>(&source))
    {
        FStream->Clear();
        FStream->Write(other->Stream().Data(), other->Stream().Size());
        FStream->SetPosition(0);
    }
}

// ---- TCustomMemoryStreamChunk, TMemoryStreamChunk ----------------------------------------------

TCustomMemoryStreamChunk::TCustomMemoryStreamChunk(const char* classChunkId)
    : TCustomStreamChunk(classChunkId)
{
    FStream = std::make_unique<TMemoryStream>();
}

TMemoryStreamChunk::TMemoryStreamChunk() : TCustomMemoryStreamChunk("mmst") {}

std::unique_ptr<TCustomChunk> TMemoryStreamChunk::Clone() const
{
    auto copy = std::make_unique<TMemoryStreamChunk>();
    copy->FFlags = FFlags;
    copy->Assign(*this);
    return copy;
}

} // namespace tumblet
