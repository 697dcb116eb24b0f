#pragma once

#include "ui/BlxTypes.h"

#include <optional>
#include <string>

namespace tumblet
{

/// The colours the slider and the numeric input take under each of the five skins.
struct TBlxValueControlColors
{
    TBlxColor Border;
    TBlxColor Back;
    TBlxColor Text;
    TBlxColor Random;    ///< the slider's random range
    TBlxColor Highlight; ///< the slider's value bar, the numeric input's highlight

    /// The colours of a skin by name; none for a name outside the five.
    static std::optional<TBlxValueControlColors> ForSkin(const std::string& skinName);
};

} // namespace tumblet
