#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tumblet
{

/// An ordered list of integer pairs (Value, Counter) with sorting and shuffling. The engine
/// keeps a pitch (or -1 for a rest) in Value and a held-chord index in Counter.
/// Capacity is reserved at construction; adds beyond it are ignored, so a list never allocates
/// after construction.
// Thread: the owner's; allocation-free after construction.
class TBlxIntList
{
public:
    struct TPair
    {
        std::int32_t Value = 0;
        std::int32_t Counter = 0;
    };

    explicit TBlxIntList(int capacity);

    /// Returns whether the pair fitted.
    bool Add(std::int32_t value, std::int32_t counter = 0);
    /// Appends every pair of other in its order, as far as they fit.
    void AddList(const TBlxIntList& other);

    int Count() const noexcept { return static_cast<int>(FPairs.size()); }
    int Capacity() const noexcept { return FCapacity; }
    /// Room left for adds.
    int Free() const noexcept { return FCapacity - Count(); }

    std::int32_t Items(int index) const { return FPairs[static_cast<std::size_t>(index)].Value; }
    std::int32_t Counter(int index) const
    {
        return FPairs[static_cast<std::size_t>(index)].Counter;
    }

    void Clear() noexcept { FPairs.clear(); }
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Move(int fromIndex, int toIndex);

    /// For each position i in turn, swaps with a position drawn by Random(Count): Count draws.
    /// Deliberately not Fisher-Yates: stored sequences depend on this exact order of draws.
    void Shuffle();
    /// Unstable quicksort by Value; equal Values end up in a fixed, reproducible order, which
    /// decides the channel and velocity a repeated pitch is played with.
    void SortAscending();
    void SortDescending();

private:
    int Compare(int a, int b, bool descending) const;
    void QuickSort(int left, int right, bool descending);

    std::vector<TPair> FPairs;
    int FCapacity;
};

} // namespace tumblet
