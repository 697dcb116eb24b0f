#pragma once

#include <cstdint>

namespace tumblet
{

/// Milliseconds of a clock that never jumps with the wall clock, for timers and double clicks.
// Thread: any.
std::int64_t MonotonicMilliseconds() noexcept;

} // namespace tumblet
