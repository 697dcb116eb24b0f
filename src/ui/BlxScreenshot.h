#pragma once

// Pictures of several windows together as they lie on the screen (a window with its open menu
// or dialog), for snapshots and the user guide. Thread: UI.

#include <string>
#include <vector>

namespace tumblet
{

class TBlxWindow;

/// Paints the windows and writes them as one PNG spanning all of them, each at its place on
/// the screen, later ones over earlier ones; false when nothing is shown or writing fails.
bool BlxSaveWindowsPng(const std::vector<TBlxWindow*>& windows, const std::string& path);

} // namespace tumblet
