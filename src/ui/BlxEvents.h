#pragma once

// Neutral input events. The backends translate their native events into these in one place.

#include "ui/BlxTypes.h"

#include <string>

namespace tumblet
{

struct TBlxMouseEvent
{
    TBlxPoint Pos; ///< in the receiving control's coordinates
    TBlxMouseButton Button = TBlxMouseButton::None;
    unsigned Shift = ssNone; ///< TBlxShiftState flags
    int ClickCount = 1;      ///< 2 for the second press of a double click
};

struct TBlxWheelEvent
{
    TBlxPoint Pos;
    int DeltaY = 0; ///< +1 per notch away from the user (up), -1 towards
    int DeltaX = 0; ///< +1 per notch to the right
    unsigned Shift = ssNone;
};

struct TBlxKeyEvent
{
    TBlxKey Key = TBlxKey::None;
    unsigned Shift = ssNone;
    char32_t Char = 0; ///< the code point for TBlxKey::Character (letters as typed)
};

} // namespace tumblet
