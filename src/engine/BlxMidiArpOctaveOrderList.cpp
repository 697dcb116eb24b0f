#include "engine/BlxMidiArpOctaveOrderList.h"

namespace tumblet
{

namespace
{

// In fill order; the index of a row is its position here.
constexpr TBlxValueListRow kStandardRows[] = {
    {"Up", 0, 0},       {"Down", 1, 1},       {"Up->Down", 2, 2}, {"Up->Down 2", 3, 3},
    {"Down->Up", 4, 4}, {"Down->Up 2", 5, 5}, {"Random", 6, 6},   {"Random Once", 7, 7},
};

} // namespace

TMidiArpOctaveOrderList::TMidiArpOctaveOrderList(bool fillStandard)
    : TBlxCodedValueList(fillStandard, kStandardRows)
{
}

} // namespace tumblet
