#include "engine/BlxMidiArpVelocityModeList.h"

namespace tumblet
{

namespace
{

// In fill order; the index of a row is its position here.
constexpr TBlxValueListRow kStandardRows[] = {
    {"As Played", 0, 0}, {"First", 1, 1},   {"Last", 2, 2},  {"Highest", 3, 3},
    {"Lowest", 4, 4},    {"Average", 5, 5}, {"Fixed", 6, 6},
};

} // namespace

TMidiArpVelocityModeList::TMidiArpVelocityModeList(bool fillStandard)
    : TBlxCodedValueList(fillStandard, kStandardRows)
{
}

} // namespace tumblet
