#include "engine/BlxMidiArpNoteOrderList.h"
#include "engine/BlxMidiArpOctaveOrderList.h"
#include "engine/BlxMidiArpVelocityModeList.h"
#include "engine/BlxMidiNoteRateList.h"
#include "engine/BlxMidiNoteTypeList.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tumblet
{
namespace
{

using TRow = std::pair<std::string, int>; // name, tag

template <class TList> std::vector<TRow> Rows(const TList& list)
{
    std::vector<TRow> rows;
    for (int i = 0; i < list.Count(); ++i)
    {
        rows.emplace_back(list.Items(i).Name, list.Items(i).Tag);
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

// The names users see, in menu order, and the tags presets store.
TEST(BlxValueListTest, StandardRowsInFillOrder)
{
    EXPECT_EQ(Rows(TMidiNoteRateList(true)), (std::vector<TRow>{{"32/1", 12},
                                                                {"16/1", 11},
                                                                {"8/1", 10},
                                                                {"4/1", 9},
                                                                {"2/1", 8},
                                                                {"1/1", 7},
                                                                {"1/2", 6},
                                                                {"1/4", 5},
                                                                {"1/8", 4},
                                                                {"1/16", 3},
                                                                {"1/32", 2},
                                                                {"1/64", 1},
                                                                {"1/128", 0}}));
    EXPECT_EQ(Rows(TMidiNoteTypeList(true)),
              (std::vector<TRow>{{"Dotted", 0}, {"Normal", 1}, {"Triplet", 2}}));
    EXPECT_EQ(Rows(TMidiArpNoteOrderList(true)), (std::vector<TRow>{{"As Played", 14},
                                                                    {"Up", 0},
                                                                    {"Down", 1},
                                                                    {"Up->Down", 2},
                                                                    {"Up->Down 2", 3},
                                                                    {"Up->Down Oct", 4},
                                                                    {"Up-><-Down", 5},
                                                                    {"Up-><-Down Oct", 6},
                                                                    {"Down->Up", 7},
                                                                    {"Down->Up 2", 8},
                                                                    {"Down->Up Oct", 9},
                                                                    {"Down-><-Up", 10},
                                                                    {"Down-><-Up Oct", 11},
                                                                    {"Xross", 15},
                                                                    {"Random", 12},
                                                                    {"Random Once", 16},
                                                                    {"Random Oct", 13},
                                                                    {"Random Oct Once", 17}}));
    EXPECT_EQ(Rows(TMidiArpOctaveOrderList(true)), (std::vector<TRow>{{"Up", 0},
                                                                      {"Down", 1},
                                                                      {"Up->Down", 2},
                                                                      {"Up->Down 2", 3},
                                                                      {"Down->Up", 4},
                                                                      {"Down->Up 2", 5},
                                                                      {"Random", 6},
                                                                      {"Random Once", 7}}));
    EXPECT_EQ(Rows(TMidiArpVelocityModeList(true)), (std::vector<TRow>{{"As Played", 0},
                                                                       {"First", 1},
                                                                       {"Last", 2},
                                                                       {"Highest", 3},
                                                                       {"Lowest", 4},
                                                                       {"Average", 5},
                                                                       {"Fixed", 6}}));
}

// Every rate and note type steps as its name says: "a/b" is a/b of a whole note, dotted adds
// half, a triplet takes two thirds.
TEST(BlxValueListTest, RatesAndNoteTypesStepAsTheirNamesSay)
{
    const TMidiNoteTypeList types(true);
    const TMidiNoteRateList rates(true);
    const std::pair<const char*, double> typeFactors[] = {
        {"Normal", 1.0}, {"Dotted", 1.5}, {"Triplet", 2.0 / 3.0}};
    for (int r = 0; r < rates.Count(); ++r)
    {
        const std::string& name = rates.Items(r).Name;
        const double wholeNotes =
            std::stod(name.substr(0, name.find('/'))) / std::stod(name.substr(name.find('/') + 1));
        for (const auto& [type, factor] : typeFactors)
        {
            SCOPED_TRACE(name + " " + type);
            TArpeggiator engine;
            engine.SetRate(rates.Items(r).EngineCode());
            engine.SetNoteType(types.Items(type).EngineCode());
            test::HoldChord(engine, {60});
            test::TBlockPlayer player(engine);
            ASSERT_EQ(player.PlayUntilNote(), 0.0);
            EXPECT_DOUBLE_EQ(engine.CurrentNote().StepEnd - engine.CurrentNote().StepStart,
                             4.0 * wholeNotes * factor);
        }
    }
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
