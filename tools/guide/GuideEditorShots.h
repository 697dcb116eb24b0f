#pragma once

#include <string>

namespace tumblet
{

/// Draws editor.png (the editor under the skin selected in the settings) and main_menu.png (the
/// editor with its main menu open) into a folder, on the offscreen backend; false on failure.
bool DrawEditorPictures(const std::string& folder);

} // namespace tumblet
