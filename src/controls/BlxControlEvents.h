#pragma once

// Hook types and small helpers shared by the editor's own controls.

#include "ui/BlxEvents.h"

#include <cmath>
#include <functional>
#include <string>

namespace tumblet
{

class TBlxControl;

/// The press filter of every product control: clearing `Continue` makes the control ignore the
/// press. x and y are client pixels; shift holds TBlxShiftState flags including held buttons.
using TBlxBeforeMouseDownEvent = std::function<void(TBlxControl& sender, TBlxMouseButton button,
                                                    unsigned shift, int x, int y, bool& Continue)>;

/// Raises a press filter for a mouse event; true when the press may proceed.
bool BlxRaiseBeforeMouseDown(const TBlxBeforeMouseDownEvent& hook, TBlxControl& sender,
                             const TBlxMouseEvent& e);

/// The event's shift state with the buttons that are held right now, which a move event does
/// not always carry.
unsigned BlxHeldShift(unsigned shift);

/// True when the mouse pointer is over the control, at whatever scale its window is drawn.
bool BlxPointerOver(const TBlxControl& control);

/// Nearest integer, halves to even.
inline double BlxRoundEven(double x)
{
    return std::nearbyint(x);
}

/// "0", the digits, or U+2212 and the digits for a negative number.
std::string BlxIntText(int n);

/// The general decimal text of a value: up to 15 significant digits, no trailing zeros, the
/// user's decimal separator and U+2212 for negative values.
std::string BlxFloatText(double value);

/// Number of code points of a UTF-8 text.
int BlxCharCount(const std::string& utf8);

} // namespace tumblet
