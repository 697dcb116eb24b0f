#include "engine/BlxIntList.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace tumblet
{
namespace
{

using TPairs = std::vector<std::pair<int, int>>;

TBlxIntList ListOf(const TPairs& pairs)
{
    TBlxIntList list(64);
    for (const auto& [value, counter] : pairs)
    {
        list.Add(value, counter);
    }
    return list;
}

TPairs PairsOf(const TBlxIntList& list)
{
    TPairs pairs;
    for (int i = 0; i < list.Count(); ++i)
    {
        pairs.emplace_back(list.Items(i), list.Counter(i));
    }
    return pairs;
}

TEST(BlxIntListTest, SortCarriesCounters)
{
    TBlxIntList list = ListOf({{64, 0}, {60, 1}, {67, 2}});
    list.SortAscending();
    EXPECT_EQ(PairsOf(list), (TPairs{{60, 1}, {64, 0}, {67, 2}}));
    list.SortDescending();
    EXPECT_EQ(PairsOf(list), (TPairs{{67, 2}, {64, 0}, {60, 1}}));
}

// Equal values end in the order the pivot-following quicksort leaves them; these orders were
// worked through by hand, step by step.
TEST(BlxIntListTest, EqualValuesFollowTheQuicksortSteps)
{
    TBlxIntList ascending = ListOf({{5, 0}, {5, 1}, {5, 2}});
    ascending.SortAscending();
    EXPECT_EQ(PairsOf(ascending), (TPairs{{5, 2}, {5, 1}, {5, 0}}));

    TBlxIntList mixed = ListOf({{60, 0}, {60, 1}, {55, 2}, {60, 3}});
    mixed.SortAscending();
    EXPECT_EQ(PairsOf(mixed), (TPairs{{55, 2}, {60, 3}, {60, 0}, {60, 1}}));

    TBlxIntList descending = ListOf({{7, 0}, {7, 1}, {9, 2}, {7, 3}, {7, 4}});
    descending.SortDescending();
    EXPECT_EQ(PairsOf(descending), (TPairs{{9, 2}, {7, 3}, {7, 4}, {7, 1}, {7, 0}}));
}

TEST(BlxIntListTest, SortLeavesShortListsAlone)
{
    TBlxIntList list = ListOf({{3, 9}});
    list.SortDescending();
    EXPECT_EQ(PairsOf(list), (TPairs{{3, 9}}));
    TBlxIntList empty(4);
    empty.SortAscending();
    EXPECT_EQ(empty.Count(), 0);
}

// A shuffle reorders the entries, keeping each value with its counter, and the same seed gives
// the same order again.
TEST(BlxIntListTest, ShuffleIsAPermutationThatRepeatsWithItsSeed)
{
    const TPairs entries{{10, 0}, {11, 1}, {12, 2}, {13, 3}, {14, 4}};
    const auto shuffled = [&](std::uint32_t seed)
    {
        SetRandSeed(seed);
        TBlxIntList list = ListOf(entries);
        list.Shuffle();
        return PairsOf(list);
    };
    std::set<int> firstValues;
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
    {
        TPairs order = shuffled(seed);
        EXPECT_EQ(shuffled(seed), order) << "seed " << seed;
        firstValues.insert(order.front().first);
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, entries) << "seed " << seed;
    }
    EXPECT_EQ(firstValues.size(), entries.size()) << "every value can come first";

    // A single entry still draws once, so the random stream stays in step.
    test::TRandomRecorder recorder;
    TBlxIntList single = ListOf({{60, 0}});
    single.Shuffle();
    EXPECT_EQ(PairsOf(single), (TPairs{{60, 0}}));
    EXPECT_EQ(recorder.Draws(), (std::vector<std::uint32_t>{1}));
}

TEST(BlxIntListTest, MoveDeleteExchangeAndAddList)
{
    TBlxIntList list = ListOf({{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    list.Move(3, 1);
    EXPECT_EQ(PairsOf(list), (TPairs{{0, 0}, {3, 3}, {1, 1}, {2, 2}}));
    list.Move(0, 2);
    EXPECT_EQ(PairsOf(list), (TPairs{{3, 3}, {1, 1}, {0, 0}, {2, 2}}));
    list.Exchange(0, 3);
    list.Delete(1);
    EXPECT_EQ(PairsOf(list), (TPairs{{2, 2}, {0, 0}, {3, 3}}));
    TBlxIntList other = ListOf({{8, 1}});
    list.AddList(other);
    list.Add(9);
    EXPECT_EQ(PairsOf(list), (TPairs{{2, 2}, {0, 0}, {3, 3}, {8, 1}, {9, 0}}));
}

TEST(BlxIntListTest, AddsBeyondCapacityAreDropped)
{
    TBlxIntList list(2);
    EXPECT_TRUE(list.Add(1));
    EXPECT_TRUE(list.Add(2));
    EXPECT_FALSE(list.Add(3));
    EXPECT_EQ(list.Free(), 0);
    EXPECT_EQ(list.Count(), 2);
}

} // namespace
} // namespace tumblet
