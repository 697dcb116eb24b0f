#pragma once

// The texts the editor's value controls and its information line show. Values are rounded to
// the nearest integer (halves to even) before they reach these functions.

#include <string>

namespace tumblet
{

/// "0", the digits, or U+2212 MINUS SIGN and the digits.
std::string UnsignedValueText(int n);
/// "0", "+" and the digits, or U+2212 and the digits.
std::string SignedValueText(int n);

/// Velocity Fixed in its value menu: padded with two spaces per digit missing to three digits
/// from 91 up, to two digits up to 10.
std::string VelocityFixedMenuText(int n);
/// The submenu of a Velocity Fixed value: "127 - 121", …, " 20 -  11", " 10 -   0" (numbers
/// padded with two spaces per digit missing to three).
std::string VelocityFixedGroupText(int n);
/// Transpose in its value menu: "0", "  +5", "+12", "  −5", "−12".
std::string TransposeMenuText(int n);
/// The submenu of a Transpose value: "> 0", "= 0" or "< 0".
std::string TransposeGroupText(int n);

/// A parameter with its random amount: "Gate: 100%", or "Gate: 100% <=> 180%" with the upper
/// end kept at upperBound.
std::string RangeText(const std::string& prefix, int value, int random, int upperBound,
                      bool isSigned, const std::string& unit);

} // namespace tumblet
