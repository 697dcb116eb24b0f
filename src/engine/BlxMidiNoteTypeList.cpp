#include "engine/BlxMidiNoteTypeList.h"

namespace tumblet
{

namespace
{

// In fill order; the index of a row is its position here.
constexpr TBlxValueListRow kStandardRows[] = {
    {"Dotted", 0, 2},
    {"Normal", 1, 1},
    {"Triplet", 2, 0},
};

} // namespace

TMidiNoteTypeList::TMidiNoteTypeList(bool fillStandard)
    : TBlxCodedValueList(fillStandard, kStandardRows)
{
}

} // namespace tumblet
