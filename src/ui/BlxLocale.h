#pragma once

#include <string>

namespace tumblet
{

/// The user's number format, read from LC_NUMERIC of the environment without changing the
/// process locale. Thread: UI.
class TBlxLocale
{
public:
    /// The decimal separator (UTF-8; "." under the C locale).
    static const std::string& DecimalSeparator();
    /// Overrides the separator (tests); an empty text goes back to the user's locale.
    static void SetDecimalSeparator(const std::string& separator);
};

} // namespace tumblet
