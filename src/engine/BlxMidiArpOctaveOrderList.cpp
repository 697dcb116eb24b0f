#include "engine/BlxMidiArpOctaveOrderList.h"

namespace tumblet
{

namespace
{

struct TStandardRow
{
    const char* Name;
    std::int32_t Tag;
    std::uint8_t Code;
};

// In fill order; the index of a row is its position here.
constexpr TStandardRow kStandardRows[] = {
    {"Up", 0, 0},       {"Down", 1, 1},       {"Up->Down", 2, 2}, {"Up->Down 2", 3, 3},
    {"Down->Up", 4, 4}, {"Down->Up 2", 5, 5}, {"Random", 6, 6},   {"Random Once", 7, 7},
};

} // namespace

TMidiArpOctaveOrderList::TMidiArpOctaveOrderList(bool fillStandard)
{
    if (!fillStandard)
    {
        return;
    }
    for (const TStandardRow& row : kStandardRows)
    {
        Add(row.Name, row.Tag, row.Code);
    }
}

TMidiArpOctaveOrderItem& TMidiArpOctaveOrderList::Add(std::string name, std::int32_t tag,
                                                      std::uint8_t octaveOrder)
{
    TMidiArpOctaveOrderItem& item = AddTyped(std::move(name), tag);
    item.OctaveOrder = octaveOrder;
    return item;
}

} // namespace tumblet
