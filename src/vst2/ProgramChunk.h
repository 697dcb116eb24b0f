#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tumblet
{

/// A program's chunk bytes, written by the product's store hook and read by its load hook. The
/// VST 2.4 layer keeps a buffer of its own because it may not see the product's stream classes.
/// Thread: the chunk opcodes' thread.
class TProgramChunk
{
public:
    const std::uint8_t* Data() const noexcept { return FBytes.data(); }
    std::size_t Size() const noexcept { return FBytes.size(); }
    std::size_t Position() const noexcept { return FPosition; }
    void SetPosition(std::size_t position) noexcept { FPosition = std::min(position, Size()); }

    void Clear() noexcept
    {
        FBytes.clear();
        FPosition = 0;
    }

    void Write(const void* data, std::size_t count)
    {
        if (count == 0)
            return;
        if (FPosition + count > FBytes.size())
            FBytes.resize(FPosition + count);
        std::memcpy(FBytes.data() + FPosition, data, count);
        FPosition += count;
    }

    std::size_t Read(void* data, std::size_t count) noexcept
    {
        const std::size_t available = std::min(count, FBytes.size() - FPosition);
        if (available > 0)
            std::memcpy(data, FBytes.data() + FPosition, available);
        FPosition += available;
        return available;
    }

    /// Replaces the content without copying and rewinds; the old bytes go to the caller.
    void Swap(std::vector<std::uint8_t>& bytes) noexcept
    {
        FBytes.swap(bytes);
        FPosition = 0;
    }

private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

} // namespace tumblet
