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

/// Sees every draw with its range and result; nullptr (the default) switches it off. Lets
/// tests check the number and order of draws.
using TRandomObserver = void (*)(std::uint32_t n, std::uint32_t result);
// Thread: any; set it only while no other thread draws.
void SetRandomObserver(TRandomObserver observer) noexcept;

/// Seeds from the low 32 bits of the monotonic clock in nanoseconds.
// Thread: any.
void SeedRandomFromClock() noexcept;

} // namespace tumblet
