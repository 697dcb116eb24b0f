#include "base/MonotonicClock.h"

#include <ctime>

namespace tumblet
{

std::int64_t MonotonicMilliseconds() noexcept
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace tumblet
