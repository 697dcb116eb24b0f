#include "engine/BlxMidiNoteRateList.h"

namespace tumblet
{

namespace
{

// In fill order; the index of a row is its position here.
constexpr TBlxValueListRow kStandardRows[] = {
    {"32/1", 12, 13}, {"16/1", 11, 12}, {"8/1", 10, 11}, {"4/1", 9, 10}, {"2/1", 8, 9},
    {"1/1", 7, 8},    {"1/2", 6, 7},    {"1/4", 5, 6},   {"1/8", 4, 5},  {"1/16", 3, 4},
    {"1/32", 2, 3},   {"1/64", 1, 2},   {"1/128", 0, 1},
};

} // namespace

TMidiNoteRateList::TMidiNoteRateList(bool fillStandard)
    : TBlxCodedValueList(fillStandard, kStandardRows)
{
}

} // namespace tumblet
