#pragma once

// Facts of the user's environment that several layers format texts with. Read once, without
// changing the process locale, because the host owns that.

#include <string>

namespace tumblet
{

/// The decimal separator of the user's LC_NUMERIC environment (UTF-8; "." under the C locale).
// Thread: any; the first call reads the environment.
const std::string& UserDecimalSeparator();

} // namespace tumblet
