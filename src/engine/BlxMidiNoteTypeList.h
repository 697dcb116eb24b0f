#pragma once

#include "engine/BlxValueList.h"

#include <cstdint>

namespace tumblet
{

class TMidiNoteTypeItem : public TBlxValueListItem
{
public:
    /// 0 triplet, 1 normal, 2 dotted: the opposite direction from the tag.
    std::uint8_t NoteType = 0;

    std::uint8_t EngineCode() const noexcept override { return NoteType; }
};

/// Note types.
// Thread: built at module creation; read-only afterwards.
class TMidiNoteTypeList : public TBlxCodedValueList<TMidiNoteTypeItem, &TMidiNoteTypeItem::NoteType>
{
public:
    /// With fillStandard the list fills itself with its standard rows; otherwise it starts empty.
    explicit TMidiNoteTypeList(bool fillStandard);
};

} // namespace tumblet
