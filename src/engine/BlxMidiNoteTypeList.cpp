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
{
    if (fillStandard)
        AddRows(*this, kStandardRows);
}

TMidiNoteTypeItem& TMidiNoteTypeList::Add(std::string name, std::int32_t tag, std::uint8_t noteType)
{
    TMidiNoteTypeItem& item = AddTyped(std::move(name), tag);
    item.NoteType = noteType;
    return item;
}

} // namespace tumblet
