#include "engine/Random.h"

#include <atomic>
#include <ctime>

namespace tumblet
{

namespace
{

constexpr std::uint32_t kMultiplier = 134775813u;

std::atomic<std::uint32_t>& State() noexcept
{
    static std::atomic<std::uint32_t> state{0};
    return state;
}

std::atomic<TRandomObserver> gObserver{nullptr};

// Seeds once when the library is loaded; each module creation seeds again.
const bool kSeededAtLoad = (SeedRandomFromClock(), true);

} // namespace

std::uint32_t Random(std::uint32_t n) noexcept
{
    auto& state = State();
    std::uint32_t old = state.load(std::memory_order_relaxed);
    std::uint32_t next;
    do
    {
        next = old * kMultiplier + 1u;
    } while (!state.compare_exchange_weak(old, next, std::memory_order_relaxed));
    const auto result = static_cast<std::uint32_t>((static_cast<std::uint64_t>(next) * n) >> 32);
    if (const TRandomObserver observer = gObserver.load(std::memory_order_relaxed))
    {
        observer(n, result);
    }
    return result;
}

void SetRandomObserver(TRandomObserver observer) noexcept
{
    gObserver.store(observer, std::memory_order_relaxed);
}

void SetRandSeed(std::uint32_t seed) noexcept
{
    State().store(seed, std::memory_order_relaxed);
}

std::uint32_t RandSeed() noexcept
{
    return State().load(std::memory_order_relaxed);
}

void SeedRandomFromClock() noexcept
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t nanos = static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ull +
                                static_cast<std::uint64_t>(ts.tv_nsec);
    SetRandSeed(static_cast<std::uint32_t>(nanos));
}

} // namespace tumblet
