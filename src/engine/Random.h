#pragma once

#include <cstdint>

namespace tumblet
{

// The process-wide random generator shared by every instance in the process.
// A linear congruential recurrence (s = s * 134775813 + 1 mod 2^32) whose draw is the
// upper half of the 64-bit product s * n. The state is one atomic word, so instances on
// different threads never race on it; their draws simply interleave.

/// A draw from 0 to n - 1 (0 when n is 0 or 1). Every call advances the state.
// Thread: any.
std::uint32_t Random(std::uint32_t n) noexcept;

// Thread: any.
void SetRandSeed(std::uint32_t seed) noexcept;
// Thread: any.
std::uint32_t RandSeed() noexcept;

/// Seeds from the low 32 bits of the monotonic clock in nanoseconds.
// Thread: any.
void SeedRandomFromClock() noexcept;

} // namespace tumblet
