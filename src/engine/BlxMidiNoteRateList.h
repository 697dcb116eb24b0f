#pragma once

#include "engine/BlxValueList.h"

#include <cstdint>

namespace tumblet
{

class TMidiNoteRateItem : public TBlxValueListItem
{
public:
    /// Step-length table index (1 to 13 in the standard rows).
    std::uint8_t RateIndex = 0;

    std::uint8_t EngineCode() const noexcept override { return RateIndex; }
};

/// Note rates, longest first. RateIndex is always Tag + 1.
// Thread: built at module creation; read-only afterwards.
class TMidiNoteRateList
    : public TBlxCodedValueList<TMidiNoteRateItem, &TMidiNoteRateItem::RateIndex>
{
public:
    /// With fillStandard the list fills itself with its standard rows; otherwise it starts empty.
    explicit TMidiNoteRateList(bool fillStandard);
};

} // namespace tumblet
