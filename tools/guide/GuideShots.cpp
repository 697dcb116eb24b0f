// tumblet-guide-shots: draws the pictures of the user guide with the offscreen backend, under
// the default skin, as PNG files in a folder.
//
//   tumblet-guide-shots PICTURES_FOLDER
//
// presets_browser.png: the presets browser over a folder of sample presets.
// editor.png and main_menu.png: the editor, and the editor with its main menu open.

#include "GuideEditorShots.h"
#include "editor/PresetsForm.h"
#include "plugin/BlxCommon.h"
#include "ui/BlxApplication.h"
#include "ui/BlxStyle.h"
#include "ui/BlxWindow.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using namespace tumblet;

/// A folder of sample presets (empty files are enough to be listed).
fs::path MakeSamplePresets(const fs::path& folder)
{
    const std::vector<std::string> names{"Bass & Lead",    "Bright Sixteenths", "Broken Chords",
                                         "Chiptune Run",   "Dotted Pulse",      "Drifting Triplets",
                                         "init",           "Latin Swing",       "Octave Bounce",
                                         "Random Sparkle", "Slow Pad Walk",     "Techno Gate",
                                         "Wide Spread"};
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& name : names)
    {
        std::ofstream(folder / (name + kPresetExtension));
    }
    return folder;
}

bool PresetsBrowser(const fs::path& out, const fs::path& work)
{
    fs::path folder = MakeSamplePresets(work / "Presets");
    // The size it has over the editor: the editor's client area less 32 pixels each way. A
    // window of just that size shows the browser alone.
    TBlxWindow frame(TBlxWindowKind::Dialog);
    frame.SetClientSize(680, 309);
    if (!frame.Show())
    {
        return false;
    }
    ShowPresetsBrowser(frame, {680, 309}, folder.string(), "Latin Swing", {});
    frame.PaintAll();
    bool saved = frame.BackBuffer().SavePng((out / "presets_browser.png").string());
    frame.Hide();
    fs::remove_all(folder);
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: tumblet-guide-shots PICTURES_FOLDER\n");
        return 2;
    }
    fs::path out = argv[1];
    std::error_code ec;
    fs::create_directories(out, ec);
    // A home of our own: the pictures show the default skin and no settings or presets of
    // whoever builds.
    fs::path home = out / "work" / "home";
    fs::create_directories(home, ec);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    TBlxApplication::Instance().SetBackend(TBlxBackend::Offscreen);
    TBlxStyle::Select(TBlxStyle::Names().front());
    if (!PresetsBrowser(out, out / "work"))
    {
        std::fprintf(stderr, "tumblet-guide-shots: cannot draw the presets browser\n");
        return 1;
    }
    if (!DrawEditorPictures(out.string()))
    {
        std::fprintf(stderr, "tumblet-guide-shots: cannot draw the editor\n");
        return 1;
    }
    fs::remove_all(out / "work", ec);
    return 0;
}
