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
{
    if (fillStandard)
        AddRows(*this, kStandardRows);
}

TMidiArpOctaveOrderItem& TMidiArpOctaveOrderList::Add(std::string name, std::int32_t tag,
                                                      std::uint8_t octaveOrder)
{
    TMidiArpOctaveOrderItem& item = AddTyped(std::move(name), tag);
    item.OctaveOrder = octaveOrder;
    return item;
}

} // namespace tumblet
