#include "engine/BlxMidiArpNoteOrderList.h"

namespace tumblet
{

namespace
{

// In fill order; the index of a row is its position here.
constexpr TBlxValueListRow kStandardRows[] = {
    {"As Played", 14, 14},
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
    {"Random Oct Once", 17, 17},
};

} // namespace

TMidiArpNoteOrderList::TMidiArpNoteOrderList(bool fillStandard)
    : TBlxCodedValueList(fillStandard, kStandardRows)
{
}

} // namespace tumblet
