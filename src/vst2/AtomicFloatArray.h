#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

namespace tumblet
{

/// A fixed array of parameter values (real units) that the host may read from any thread
/// without the instance lock: each element is a relaxed atomic, so a reader sees either the old
/// or the new value of a parameter, never a torn one. Writers hold the instance lock.
class TAtomicFloatArray
{
public:
    std::int32_t Size() const noexcept { return FSize; }

    /// The element, or 0.0 beyond the end. Thread: any.
    float Get(std::int32_t index) const noexcept
    {
        if (index < 0 || index >= FSize)
            return 0.0f;
        return FValues[index].load(std::memory_order_relaxed);
    }

    /// Ignores an index beyond the end. Thread: any; callers hold the instance lock.
    void Set(std::int32_t index, float value) noexcept
    {
        if (index >= 0 && index < FSize)
            FValues[index].store(value, std::memory_order_relaxed);
    }

    /// Keeps the values that still fit; new elements are 0.0. Thread: configuration only,
    /// while nobody reads the array.
    void Resize(std::int32_t size)
    {
        size = std::max(size, 0);
        auto values = std::make_unique<std::atomic<float>[]>(static_cast<std::size_t>(size));
        for (std::int32_t i = 0; i < size; ++i)
            values[i].store(i < FSize ? Get(i) : 0.0f, std::memory_order_relaxed);
        FValues = std::move(values);
        FSize = size;
    }

private:
    std::unique_ptr<std::atomic<float>[]> FValues;
    std::int32_t FSize = 0;
};

} // namespace tumblet
