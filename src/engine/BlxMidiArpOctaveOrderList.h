#pragma once

#include "engine/BlxValueList.h"

#include <cstdint>

namespace tumblet
{

class TMidiArpOctaveOrderItem : public TBlxValueListItem
{
public:
    /// Octave-order code of the sequence builder (0 to 7), equal to the tag.
    std::uint8_t OctaveOrder = 0;

    std::uint8_t EngineCode() const noexcept override { return OctaveOrder; }
};

/// Octave orders.
// Thread: built at module creation; read-only afterwards.
class TMidiArpOctaveOrderList
    : public TBlxCodedValueList<TMidiArpOctaveOrderItem, &TMidiArpOctaveOrderItem::OctaveOrder>
{
public:
    /// With fillStandard the list fills itself with its standard rows; otherwise it starts empty.
    explicit TMidiArpOctaveOrderList(bool fillStandard);
};

} // namespace tumblet
