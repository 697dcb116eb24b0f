#pragma once

// The desktop's "open" action on a file or folder. Thread: UI.

#include <string>

namespace tumblet
{

/// Opens a file or folder with the user's preferred application (`xdg-open`, found on PATH and
/// started without a shell). True when the opener reported success; false when it could not be
/// started or exited with a failure. An opener that is still running after a short wait is
/// taken as successful (some start the application in the foreground) and reaped later.
bool BlxShellOpen(const std::string& path);

} // namespace tumblet
