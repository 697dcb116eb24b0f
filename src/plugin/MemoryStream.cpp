#include "plugin/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace tumblet
{

std::size_t TMemoryStream::Read(void* data, std::size_t count) noexcept
{
    const std::size_t available = std::min(count, Remaining());
    if (available > 0)
        std::memcpy(data, FBytes.data() + FPosition, available);
    FPosition += available;
    return available;
}

void TMemoryStream::ReadBuffer(void* data, std::size_t count)
{
    if (count > Remaining())
    {
        FPosition = FBytes.size();
        throw EReadError(kStreamReadError);
    }
    Read(data, count);
}

void TMemoryStream::Write(const void* data, std::size_t count)
{
    if (count == 0)
        return;
    if (FPosition + count > FBytes.size())
        FBytes.resize(FPosition + count);
    std::memcpy(FBytes.data() + FPosition, data, count);
    FPosition += count;
}

} // namespace tumblet
