#pragma once

#include <string>

namespace tumblet::guide
{

class TGuideDocument;

/// Writes the whole guide. The pictures are PNG files in `picturesFolder`: editor.png (the
/// editor under the default skin), main_menu.png (the editor with its main menu open) and
/// presets_browser.png (the presets browser).
void WriteGuide(TGuideDocument& doc, const std::string& picturesFolder);

} // namespace tumblet::guide
