#include "engine/BlxMidiArpNoteOrderList.h"
#include "engine/BlxMidiArpOctaveOrderList.h"
#include "engine/BlxMidiArpVelocityModeList.h"
#include "engine/BlxMidiNoteRateList.h"
#include "engine/BlxMidiNoteTypeList.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace tumblet
{
namespace
{

using TRow = std::tuple<std::string, int, int>; // name, tag, engine code

template <class TList, class TItem>
std::vector<TRow> Rows(const TList& list, std::uint8_t TItem::*code)
{
    std::vector<TRow> rows;
    for (int i = 0; i < list.Count(); ++i)
    {
        const TItem& item = list.Items(i);
        rows.emplace_back(item.Name, item.Tag, item.*code);
    }
    return rows;
}

std::string FailureMessage(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const std::out_of_range& error)
    {
        return error.what();
    }
    return "(no error)";
}

TEST(BlxValueListTest, StandardRowsInFillOrder)
{
    EXPECT_EQ(Rows(TMidiNoteRateList(true), &TMidiNoteRateItem::RateIndex),
              (std::vector<TRow>{{"32/1", 12, 13},
                                 {"16/1", 11, 12},
                                 {"8/1", 10, 11},
                                 {"4/1", 9, 10},
                                 {"2/1", 8, 9},
                                 {"1/1", 7, 8},
                                 {"1/2", 6, 7},
                                 {"1/4", 5, 6},
                                 {"1/8", 4, 5},
                                 {"1/16", 3, 4},
                                 {"1/32", 2, 3},
                                 {"1/64", 1, 2},
                                 {"1/128", 0, 1}}));
    EXPECT_EQ(Rows(TMidiNoteTypeList(true), &TMidiNoteTypeItem::NoteType),
              (std::vector<TRow>{{"Dotted", 0, 2}, {"Normal", 1, 1}, {"Triplet", 2, 0}}));
    EXPECT_EQ(Rows(TMidiArpNoteOrderList(true), &TMidiArpNoteOrderItem::NoteOrder),
              (std::vector<TRow>{{"As Played", 14, 14},
                                 {"Up", 0, 0},
                                 {"Down", 1, 1},
                                 {"Up->Down", 2, 2},
                                 {"Up->Down 2", 3, 3},
                                 {"Up->Down Oct", 4, 4},
                                 {"Up-><-Down", 5, 5},
                                 {"Up-><-Down Oct", 6, 6},
                                 {"Down->Up", 7, 7},
                                 {"Down->Up 2", 8, 8},
                                 {"Down->Up Oct", 9, 9},
                                 {"Down-><-Up", 10, 10},
                                 {"Down-><-Up Oct", 11, 11},
                                 {"Xross", 15, 15},
                                 {"Random", 12, 12},
                                 {"Random Once", 16, 16},
                                 {"Random Oct", 13, 13},
                                 {"Random Oct Once", 17, 17}}));
    EXPECT_EQ(Rows(TMidiArpOctaveOrderList(true), &TMidiArpOctaveOrderItem::OctaveOrder),
              (std::vector<TRow>{{"Up", 0, 0},
                                 {"Down", 1, 1},
                                 {"Up->Down", 2, 2},
                                 {"Up->Down 2", 3, 3},
                                 {"Down->Up", 4, 4},
                                 {"Down->Up 2", 5, 5},
                                 {"Random", 6, 6},
                                 {"Random Once", 7, 7}}));
    EXPECT_EQ(Rows(TMidiArpVelocityModeList(true), &TMidiArpVelocityModeItem::VelocityMode),
              (std::vector<TRow>{{"As Played", 0, 0},
                                 {"First", 1, 1},
                                 {"Last", 2, 2},
                                 {"Highest", 3, 3},
                                 {"Lowest", 4, 4},
                                 {"Average", 5, 5},
                                 {"Fixed", 6, 6}}));
}

TEST(BlxValueListTest, EmptyWithoutStandardRows)
{
    TMidiNoteRateList list(false);
    EXPECT_EQ(list.Count(), 0);
    TMidiNoteRateItem& item = list.Add("1/4", 5, 6);
    EXPECT_EQ(&list.Items(0), &item);
    EXPECT_EQ(list.Items("1/4").RateIndex, 6);
}

// The module removes the two longest rates right after creating the list.
TEST(BlxValueListTest, RateListAfterModuleTrim)
{
    TMidiNoteRateList list(true);
    list.Delete(list.FindByTag(12));
    list.Delete(list.FindByTag(11));
    ASSERT_EQ(list.Count(), 11);
    EXPECT_EQ(list.FindByTag(10), 0);
    EXPECT_EQ(list.Items(0).Name, "8/1");
    EXPECT_EQ(list.FindByTag(0), 10);
    EXPECT_EQ(list.Items(10).Name, "1/128");
    EXPECT_EQ(FailureMessage([&] { list.FindByTag(11); }),
              "TBlxValueList.FindByTag - No match: 11");
}

TEST(BlxValueListTest, FailedLookupsNameTheMissingKey)
{
    TMidiArpVelocityModeList list(true);
    // The minus sign is U+2212, not a hyphen.
    EXPECT_EQ(FailureMessage([&] { list.FindByTag(-1); }),
              "TBlxValueList.FindByTag - No match: \xE2\x88\x92"
              "1");
    EXPECT_EQ(FailureMessage([&] { list.FindByName("fixed"); }),
              "TBlxValueList.FindByName - No match: fixed");
    EXPECT_EQ(FailureMessage([&] { list.Items("Loud"); }),
              "TBlxValueList.FindByName - No match: Loud");
    EXPECT_THROW(list.Items(7), std::out_of_range);
    EXPECT_THROW(list.Delete(-1), std::out_of_range);
}

TEST(BlxValueListTest, FirstMatchWinsForDuplicates)
{
    TMidiArpOctaveOrderList list(true);
    list.Add("Up", 20, 0);
    EXPECT_EQ(list.FindByName("Up"), 0);
    list.Add("Again", 3, 3);
    EXPECT_EQ(list.FindByTag(3), 3);
}

} // namespace
} // namespace tumblet
