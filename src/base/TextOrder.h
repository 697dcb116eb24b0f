#pragma once

// The order of names a user reads in lists and menus: preset files, controller mappings.

#include <string_view>

namespace tumblet
{

/// Text order ignoring the case of ASCII letters (names are compared byte by byte after that);
/// names that differ only in case keep a fixed order, so a sort gives the same list every time.
// Thread: any.
bool LessIgnoringCase(std::string_view a, std::string_view b) noexcept;
/// The same text but for the case of ASCII letters.
// Thread: any.
bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept;

} // namespace tumblet
