#pragma once

#include "engine/BlxValueList.h"

#include <cstdint>

namespace tumblet
{

class TMidiArpVelocityModeItem : public TBlxValueListItem
{
public:
    /// Velocity-mode code of the step generator (0 to 6), equal to the tag.
    std::uint8_t VelocityMode = 0;

    std::uint8_t EngineCode() const noexcept override { return VelocityMode; }
};

/// Velocity modes.
// Thread: built at module creation; read-only afterwards.
class TMidiArpVelocityModeList
    : public TBlxCodedValueList<TMidiArpVelocityModeItem, &TMidiArpVelocityModeItem::VelocityMode>
{
public:
    /// With fillStandard the list fills itself with its standard rows; otherwise it starts empty.
    explicit TMidiArpVelocityModeList(bool fillStandard);
};

} // namespace tumblet
