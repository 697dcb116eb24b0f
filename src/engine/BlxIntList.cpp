#include "engine/BlxIntList.h"

#include "engine/Random.h"

#include <algorithm>
#include <utility>

namespace tumblet
{

TBlxIntList::TBlxIntList(int capacity) : FCapacity(capacity < 0 ? 0 : capacity)
{
    FPairs.reserve(static_cast<std::size_t>(FCapacity));
}

bool TBlxIntList::Add(std::int32_t value, std::int32_t counter)
{
    if (Count() >= FCapacity)
    {
        return false;
    }
    FPairs.push_back(TPair{value, counter});
    return true;
}

void TBlxIntList::AddList(const TBlxIntList& other)
{
    for (const TPair& pair : other.FPairs)
    {
        if (!Add(pair.Value, pair.Counter))
        {
            return;
        }
    }
}

void TBlxIntList::Delete(int index)
{
    FPairs.erase(FPairs.begin() + index);
}

void TBlxIntList::Exchange(int index1, int index2)
{
    std::swap(FPairs[static_cast<std::size_t>(index1)], FPairs[static_cast<std::size_t>(index2)]);
}

void TBlxIntList::Move(int fromIndex, int toIndex)
{
    if (fromIndex == toIndex)
    {
        return;
    }
    auto first = FPairs.begin();
    if (fromIndex < toIndex)
    {
        std::rotate(first + fromIndex, first + fromIndex + 1, first + toIndex + 1);
    }
    else
    {
        std::rotate(first + toIndex, first + fromIndex, first + fromIndex + 1);
    }
}

void TBlxIntList::Shuffle()
{
    const int n = Count();
    for (int i = 0; i < n; ++i)
    {
        const int j = static_cast<int>(Random(static_cast<std::uint32_t>(n)));
        Exchange(i, j);
    }
}

void TBlxIntList::SortAscending()
{
    if (Count() > 1)
    {
        QuickSort(0, Count() - 1, false);
    }
}

void TBlxIntList::SortDescending()
{
    if (Count() > 1)
    {
        QuickSort(0, Count() - 1, true);
    }
}

int TBlxIntList::Compare(int a, int b, bool descending) const
{
    const std::int32_t x = FPairs[static_cast<std::size_t>(a)].Value;
    const std::int32_t y = FPairs[static_cast<std::size_t>(b)].Value;
    const int result = (x > y) - (x < y);
    return descending ? -result : result;
}

// The pivot is followed by index through the exchanges; every step matters for the final
// order of equal Values, so this must not be replaced by a library sort.
void TBlxIntList::QuickSort(int left, int right, bool descending)
{
    int i = 0;
    do
    {
        i = left;
        int j = right;
        int pivot = (left + right) / 2;
        do
        {
            while (Compare(i, pivot, descending) < 0)
            {
                ++i;
            }
            while (Compare(j, pivot, descending) > 0)
            {
                --j;
            }
            if (i <= j)
            {
                Exchange(i, j);
                if (pivot == i)
                {
                    pivot = j;
                }
                else if (pivot == j)
                {
                    pivot = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
        {
            QuickSort(left, j, descending);
        }
        left = i;
    } while (i < right);
}

} // namespace tumblet
