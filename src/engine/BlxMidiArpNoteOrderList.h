#pragma once

#include "engine/BlxValueList.h"

#include <cstdint>

namespace tumblet
{

class TMidiArpNoteOrderItem : public TBlxValueListItem
{
public:
    /// Note-order code of the sequence builder (0 to 17), equal to the tag.
    std::uint8_t NoteOrder = 0;

    std::uint8_t EngineCode() const noexcept override { return NoteOrder; }
};

/// Note orders. The display order differs from the code order.
// Thread: built at module creation; read-only afterwards.
class TMidiArpNoteOrderList
    : public TBlxCodedValueList<TMidiArpNoteOrderItem, &TMidiArpNoteOrderItem::NoteOrder>
{
public:
    /// With fillStandard the list fills itself with its standard rows; otherwise it starts empty.
    explicit TMidiArpNoteOrderList(bool fillStandard);
};

} // namespace tumblet
