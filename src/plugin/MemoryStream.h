#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tumblet
{

/// The failure of a read that runs past the end of the data.
class EReadError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// The bytes of a state stream while the chunk classes and the value stream build or parse it.
/// A short read throws (ReadBuffer), since a stream that ends early is a damaged one.
class TMemoryStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
    TMemoryStream(const std::uint8_t* data, std::size_t size) : FBytes(data, data + size) {}

    const std::uint8_t* Data() const noexcept { return FBytes.data(); }
    const std::vector<std::uint8_t>& Bytes() const noexcept { return FBytes; }
    std::size_t Size() const noexcept { return FBytes.size(); }
    std::size_t Position() const noexcept { return FPosition; }
    /// A position past the end is allowed; reads there find nothing.
    void SetPosition(std::size_t position) noexcept { FPosition = position; }
    std::size_t Remaining() const noexcept
    {
        return FPosition < FBytes.size() ? FBytes.size() - FPosition : 0;
    }

    void Clear() noexcept
    {
        FBytes.clear();
        FPosition = 0;
    }

    std::size_t Read(void* data, std::size_t count) noexcept;
    /// Reads exactly count bytes or throws EReadError ("Stream read error").
    void ReadBuffer(void* data, std::size_t count);
    void Write(const void* data, std::size_t count);

private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

/// The message of every read past the end of a stream.
inline constexpr const char* kStreamReadError = "Stream read error";

} // namespace tumblet
