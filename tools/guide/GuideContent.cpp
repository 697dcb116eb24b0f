#include "GuideContent.h"

#include "GuideDocument.h"

#include <vector>

namespace tumblet::guide
{

namespace
{

using TRows = std::vector<std::vector<std::string>>;

const std::vector<double> kControlColumns{0.2, 0.25, 0.55};
// The editor pictures are drawn at 200 %: on paper they read better than the 100 % pixels.
constexpr double kEditorPictureScale = 2.0;

void WhatTumbletDoes(TGuideDocument& doc)
{
    doc.Section("What Tumblet Does");
    doc.Paragraph(
        "Tumblet is an arpeggiator: hold a chord and it plays the notes one after another, in "
        "time with your song. It is a plug-in for Linux hosts, as VST 2.4, LV2 and CLAP. It does "
        "not make any "
        "sound itself: it receives MIDI notes, turns the chord you hold into a stream of "
        "arpeggiated notes, and sends them on to the instrument that follows it.");
    doc.Paragraph(
        "What makes Tumblet different is controlled chance. Most of its settings have a "
        "<b>Random</b> partner that varies the setting from step to step within a range you "
        "choose: the length of the notes, their loudness, how late they come, the swing and "
        "the number of octaves. Note orders that shuffle the chord, and a probability that a "
        "step sounds at all, keep long patterns from repeating exactly.");
    doc.Bullets({
        "Steps from eight whole notes down to 1/128, as dotted notes or triplets, locked to the "
        "host's song position or running free at a quarter to four times the speed.",
        "Eighteen note orders and eight octave orders over one to five octaves.",
        "Gate, velocity, timing shift and swing, each with a random amount.",
        "Latch, rests, transposition and a restart switch.",
        "Every one of its 22 parameters can be automated by the host and bound to a MIDI "
        "controller.",
        "Presets of your own, an init preset for new instances, and five skins.",
    });
    doc.Paragraph(
        "Tumblet keeps its whole state with the host project: the parameters, the name of the "
        "preset and the MIDI controller bindings. Your skin and octave numbering are "
        "settings of your own and apply to every project.");
}

void Installing(TGuideDocument& doc)
{
    doc.Section("Installing Tumblet");
    doc.Paragraph(
        "Tumblet comes in a form for each kind of plug-in host. <tt>Tumblet.so</tt> is the VST 2.4 "
        "plug-in. <tt>Tumblet.lv2</tt> is a folder, the LV2 plug-in: its "
        "<tt>Tumblet_lv2.so</tt> makes the music and needs no display, its "
        "<tt>Tumblet_lv2ui.so</tt> is the editor. <tt>Tumblet.clap</tt> is the CLAP "
        "plug-in. All of them play the same arpeggios and keep the "
        "same state; use the one your host prefers.");
    doc.Subsection("The Debian package");
    doc.Paragraph("The package installs everything for every user of the computer:");
    doc.Code("sudo apt-get install ./tumblet_1.0.0_amd64.deb");
    doc.Bullets({
        "<tt>/usr/lib/vst/Tumblet.so</tt>, <tt>/usr/lib/lv2/Tumblet.lv2/</tt> and "
        "<tt>/usr/lib/clap/Tumblet.clap</tt>: the folders hosts search.",
        "<tt>/usr/bin/tumblet-render</tt> and <tt>/usr/bin/tumblet-info</tt>, with manual pages "
        "(<tt>man tumblet-render</tt>).",
        "This guide in <tt>/usr/share/doc/tumblet/</tt>, where the editor's <b>Open User "
        "Guide</b> finds it.",
    });
    doc.Paragraph("<tt>sudo apt-get remove tumblet</tt> removes it again. From the source code, "
                  "<tt>cpack -G DEB</tt> in the build folder makes the package.");
    doc.Subsection("Your own folders");
    doc.Paragraph(
        "Without the package, copy the plug-ins into the folders hosts search for your user: "
        "<tt>~/.vst/</tt> for VST 2, <tt>~/.lv2/</tt> for LV2 and <tt>~/.clap/</tt> for CLAP. "
        "Put this guide beside <tt>Tumblet.so</tt> if you want the editor's <b>Open User "
        "Guide</b> command:");
    doc.Code("mkdir -p ~/.vst ~/.lv2 ~/.clap\n"
             "cp Tumblet.so \"Tumblet User Guide.pdf\" ~/.vst/\n"
             "cp -r Tumblet.lv2 ~/.lv2/\n"
             "cp Tumblet.clap ~/.clap/");
    doc.Paragraph("From the source code, <tt>./scripts/demo.sh</tt> builds Tumblet, installs "
                  "every plug-in it built and this guide into these folders and plays a short "
                  "demo without a host.");
    doc.Subsection("Putting Tumblet into a track");
    doc.Bullets({
        "Let the host scan its plug-ins again (in Bitwig Studio, Reaper, Ardour, Qtractor or "
        "Renoise: the plug-in manager's rescan). Tumblet appears as an instrument named "
        "<b>Tumblet</b> by <b>Brindlex</b> that receives and sends MIDI.",
        "Insert it on a MIDI or instrument track, before the instrument it should play, and "
        "route Tumblet's MIDI output to that instrument. In some hosts Tumblet goes on a track "
        "of its own whose output is sent to the instrument's track.",
        "Start the transport, hold a chord: Tumblet plays it at the host's tempo. With the "
        "transport stopped it still plays, on its own clock at the host's tempo.",
    });
    doc.Paragraph(
        "The editor opens in the host's plug-in window. Where a host cannot show it, the host's "
        "generic parameter list offers the same 22 parameters.");
    doc.Subsection("Steps and keys on the beat");
    doc.Paragraph(
        "Every step falls on the song's grid to the sample, also in hosts that round the song "
        "position they report (Ardour rounds it to 1/1920 of a beat): Tumblet follows the "
        "host's exact sample position and keeps the song position in step with it. A step's "
        "time is rounded to a whole sample, and a key pressed or released at that sample or "
        "earlier counts before the step, a later one after it. So a chord changed on a beat is "
        "played by the step on that beat, and a chord released on a step plays no further "
        "note.");
}

void EditorControls(TGuideDocument& doc, const std::string& pictures)
{
    doc.Section("The Editor");
    // The editor picture comes from the offscreen snapshot program (editor.png), drawn at
    // 200 % so that it stays sharp on paper.
    doc.Picture(pictures + "/editor.png", "The editor with the default skin",
                "[Picture to come: the editor window with the default skin]", kEditorPictureScale);
    doc.Paragraph(
        "The heading bar runs along the top: the <b>menu button</b> at its left opens the main "
        "menu, the <b>presets button</b> shows the name of the current preset (\"-\" when the "
        "settings are not a saved preset) and opens the presets browser, and the "
        "<b>info line</b> at the right shows the value of the control you touch, messages, and "
        "otherwise the notes you hold.");
    doc.Subsection("Working with the controls");
    doc.Bullets({
        "<b>Dials</b>: drag up to raise the value, down to lower it; hold Shift for fine steps. "
        "The mouse wheel turns the dial under the pointer. Ctrl and a left click return a "
        "parameter to its default value.",
        "<b>Menu buttons</b> open a list of their values; the current one is ticked.",
        "<b>Velocity Fixed</b>, <b>Transpose</b> and <b>Rest</b>: drag up or down, or right-click "
        "for a menu with every value.",
        "<b>Latch</b> and <b>Restart</b> switch on and off with a click.",
        "The host sees every change you make, so it can record it as automation.",
    });
    doc.Subsection("Rhythm and order");
    doc.Table(
        kControlColumns,
        TRows{
            {"Control", "Range (default)", "What it does"},
            {"Rate", "8/1 to 1/128 (1/16)",
             "The length of one step, from eight whole notes down to a 128th note."},
            {"Type", "Dotted, Normal, Triplet (Normal)",
             "Dotted steps are one and a half times as long, triplet steps two thirds as long."},
            {"Speed", "0.25x to 4.00x (1)",
             "At 1 the steps sit on the song's grid and follow the song position. Any other "
             "setting lets the arpeggio run free, faster or slower than the grid."},
            {"Note Order", "18 orders (Up)",
             "The order of the held notes: As Played, Up, Down, Up-&gt;Down and its variants, "
             "Down-&gt;Up and its variants, Xross, Random, Random Once, Random Oct and Random Oct "
             "Once. The \"Once\" orders shuffle once per chord, the others every time the "
             "pattern comes round."},
            {"Octave Order", "8 orders (Up)",
             "The order in which the octaves are visited: Up, Down, Up-&gt;Down, Up-&gt;Down 2, "
             "Down-&gt;Up, Down-&gt;Up 2, Random, Random Once."},
            {"Octaves", "1 to 5 (2)", "How many octaves the arpeggio spans."},
            {"Octaves Random", "0 to 4 (0)",
             "Up to this many extra octaves, drawn again each time the pattern starts over; the "
             "arpeggio never spans more than five octaves."},
            {"Rest", "0 to 16 (0)", "Silent steps added at the end of each round of the pattern."},
            {"Restart", "Off, On (Off)",
             "On: a new chord or a changed setting starts the pattern from its first note. Off: "
             "the arpeggio carries on after the note it played last."},
            {"Latch", "Off, On (Off)",
             "On: the chord keeps playing after you let go of the keys; the next chord you play "
             "replaces it. Switching Latch off stops the held chord."},
        });
    doc.Subsection("Timing, length and loudness");
    doc.Table(
        kControlColumns,
        TRows{
            {"Control", "Range (default)", "What it does"},
            {"Gate", "0% to 200% (100%)",
             "The length of each note as a share of the step. Above 100% the notes overlap."},
            {"Gate Random", "0 to 200 (0)", "A random amount added to Gate at every step."},
            {"Shift",
             "\xE2\x88\x92"
             "50% to +50% (0%)",
             "Moves every step earlier or later by a share of a step (with Speed at 1)."},
            {"Shift Random", "0 to 100 (0)",
             "A random delay added to Shift at every step, up to +50% in all."},
            {"Swing", "0% to 100% (0%)", "Delays every second step for a shuffled feel."},
            {"Swing Random", "0 to 100 (0)", "A random amount added to Swing at every step."},
            {"Note Probability", "0% to 100% (100%)",
             "The chance that a step sounds. Below 100% some steps stay silent."},
            {"Velocity Mode", "7 modes (As Played)",
             "Where each note's velocity comes from: As Played (the note's own), First, Last, "
             "Highest, Lowest, Average (of the chord) or Fixed."},
            {"Velocity Fixed", "0 to 127 (100)", "The velocity of every note in the Fixed mode."},
            {"Velocity",
             "\xE2\x88\x92"
             "100% to +100% (0%)",
             "Scales the velocities: negative values move them towards 0, positive ones towards "
             "127."},
            {"Velocity Random", "0 to 200 (0)",
             "A random amount added to Velocity at every step, up to +100% in all."},
            {"Transpose",
             "\xE2\x88\x92"
             "36 to +36 semitones (0)",
             "Shifts every note the arpeggio plays."},
        });
}

void Presets(TGuideDocument& doc, const std::string& pictures)
{
    doc.Section("Presets");
    doc.Paragraph(
        "A preset holds all 22 parameters and the MIDI controller bindings. Presets are files "
        "ending in <tt>.brindlexp</tt> in the folder "
        "<tt>~/Documents/Brindlex/Tumblet/Presets/</tt> "
        "(the documents folder of your desktop, <tt>XDG_DOCUMENTS_DIR</tt>, when it is set "
        "elsewhere). You can copy them to another computer or share them.");
    doc.Subsection("Saving a preset");
    doc.Paragraph(
        "Choose <b>Save Preset</b> in the main menu and type a name of up to 50 characters. "
        "Characters that cannot stand in a file name (<tt>\\ / : * ? \" &lt; &gt; |</tt>) become "
        "underscores. When a preset of that name exists, Tumblet asks before replacing it. A "
        "preset file is always written aside first and then put in place, so a failed save never "
        "costs you the old file.");
    doc.Subsection("Loading and deleting presets");
    doc.Picture(pictures + "/presets_browser.png", "The presets browser",
                "[Picture to come: the presets browser]");
    doc.Paragraph(
        "Click the presets button in the heading bar, or choose <b>Load Preset</b> in the main "
        "menu, to open the presets browser. It lists your presets in alphabetical order in "
        "columns (scroll sideways when there are many), with the current preset selected.");
    doc.Bullets({
        "Double-click a preset, or select it and click <b>OK</b>, to load it.",
        "<b>Cancel</b>, Escape or a click anywhere outside the browser closes it without "
        "loading; a click on a control of the editor then acts on that control.",
        "Right-click a preset for <b>Open</b>, <b>Delete</b> (after a question) and <b>Show in "
        "File Manager</b>, which opens the presets folder in your file manager, creating it "
        "first if needed.",
        "When you delete the current preset, the presets button shows \"-\" again.",
    });
    doc.Subsection("The init preset");
    doc.Paragraph(
        "A preset named <b>init</b> is special: every new instance of Tumblet starts with it, and "
        "the <b>Init</b> command of the main menu (after a question) returns to it. Without an "
        "init preset, both give every parameter its default value and remove the controller "
        "bindings. To make your own starting point, set Tumblet up as you like it and save it "
        "under the name <tt>init</tt>.");
}

void MidiLearn(TGuideDocument& doc)
{
    doc.Section("MIDI Learn and Set CC");
    doc.Paragraph(
        "Any parameter can follow a MIDI controller (CC). The controller's range 0 to 127 covers "
        "the parameter's whole range. One controller may drive several parameters; each "
        "parameter follows one controller. The bindings are saved with the project and in "
        "presets.");
    doc.Subsection("Learning a controller");
    doc.Bullets({
        "Choose <b>MIDI CC Learn</b> in the main menu. The info line asks you to click a control.",
        "Click the control of the parameter. The info line asks you to move a MIDI controller.",
        "Move the knob or fader on your MIDI controller. The info line shows the binding, for "
        "example <tt>Gate = CC# 74</tt>, and learning ends.",
    });
    doc.Subsection("Typing a controller number");
    doc.Paragraph(
        "Choose <b>MIDI Set CC</b>, click a control, and type the controller number (0 to 127) "
        "in the dialog that opens. A number outside the range brings the dialog back.");
    doc.Subsection("Ending and removing");
    doc.Paragraph(
        "Choosing the same command again, or clicking an empty part of the editor, ends learning "
        "without a change; so does closing the editor. While learning, the command is ticked "
        "and bold in the menu. <b>MIDI CC Remove</b> lists every binding, sorted by controller "
        "number, as <tt>CC# 74 - Gate</tt>; choosing one removes it.");
}

void MainMenu(TGuideDocument& doc, const std::string& pictures)
{
    doc.Section("The Main Menu");
    // The menu picture comes from the offscreen snapshot program (main_menu.png).
    doc.Picture(pictures + "/main_menu.png", "The main menu",
                "[Picture to come: the editor with its main menu open]", kEditorPictureScale);
    doc.Table({0.28, 0.72},
              TRows{
                  {"Command", "What it does"},
                  {"Init", "Loads the init preset, after a question."},
                  {"Load Preset", "Opens the presets browser."},
                  {"Save Preset", "Saves the settings as a preset."},
                  {"MIDI CC Learn, MIDI Set CC, MIDI CC Remove",
                   "Bind parameters to MIDI controllers, or remove a binding."},
                  {"Lowest Octave", "Chooses the octave numbering of note names."},
                  {"Skin", "Chooses the editor's look."},
                  {"Editor Size", "Chooses the editor's size, or leaves it to the host and "
                                  "the desktop (Automatic)."},
                  {"Open User Guide", "Opens this guide (shown when it is installed)."},
                  {"About", "Shows Tumblet's version and build date."},
              });
    doc.Subsection("Skins");
    doc.Paragraph(
        "Five skins change the editor's colours: <b>Carbon</b> (the default), <b>Dark</b>, "
        "<b>Light</b>, <b>Luna</b> and <b>Smokey</b>. A new skin applies the next time the "
        "editor opens: close the plug-in window and open it again.");
    doc.Subsection("Octave numbering");
    doc.Paragraph(
        "The info line names the notes you hold, for example <tt>C3 E3 G3</tt>. Manufacturers "
        "number octaves differently; <b>Lowest Octave</b> chooses the number of the lowest MIDI "
        "octave, and with it the name of middle C (MIDI note 60):");
    doc.Table({0.3, 0.35, 0.35}, TRows{
                                     {"Lowest Octave", "MIDI note 0", "Middle C (note 60)"},
                                     {"-2 (default)", "C-2", "C3"},
                                     {"-1", "C-1", "C4"},
                                     {"0", "C0", "C5"},
                                 });
    doc.Subsection("Editor size");
    doc.Paragraph(
        "The editor is drawn at the size of your screen, sharp at every size from 100 % to "
        "300 %. With <b>Editor Size</b> set to <b>Automatic</b> (the default) it takes the "
        "first of: the size the host asks for (Ardour passes its GUI scaling to the LV2 "
        "editor; hosts that scale plug-in windows tell VST 2.4 plug-ins too), the desktop's "
        "font resolution (<tt>Xft.dpi</tt> divided by 96: 192 dpi is 200 %), else 100 %. The "
        "size is rounded to the nearest of 100, 125, 150, 175, 200, 250 and 300 %.");
    doc.Paragraph(
        "Choosing a size in the <b>Editor Size</b> submenu overrides all of that for every "
        "Tumblet editor, and resizes the open editor at once; hosts that can resize their "
        "plug-in windows follow it. Choose <b>Automatic</b> to go back.");
    doc.Paragraph("The skin, the octave numbering and the editor size are kept in "
                  "<tt>~/Documents/Brindlex/Tumblet/Settings.ini</tt> and apply to every "
                  "instance.");
}

void RenderTool(TGuideDocument& doc)
{
    doc.Section("Rendering Without a DAW");
    doc.Paragraph(
        "<tt>tumblet-render</tt>, built next to the plug-in, plays Tumblet without a host. It "
        "loads <tt>Tumblet.so</tt>, holds a chord or plays a MIDI file into it under a simulated "
        "transport, and prints, saves and draws what Tumblet plays back. It is a quick way to "
        "hear what a setting does, to try a preset, or to make MIDI files for another program.");
    doc.Code("# Hold C major for two bars and print the arpeggio\n"
             "tumblet-render --chord \"C4 E4 G4\" --bars 2 --print\n"
             "\n"
             "# Other settings, written to a MIDI file and a piano-roll picture\n"
             "tumblet-render --chord \"C4 E4 G4\" --bars 4 --set Rate=1/8 \\\n"
             "    --set \"Note Order=Up->Down\" --set Swing=60 --out arp.mid --png arp.png\n"
             "\n"
             "# A preset of yours, and the list of parameters with their values\n"
             "tumblet-render --preset ~/Documents/Brindlex/Tumblet/Presets/init.brindlexp \\\n"
             "    --chord \"A3 C4 E4\" --print\n"
             "tumblet-render --list-params");
    doc.Table(
        {0.32, 0.68},
        TRows{
            {"Option", "Meaning"},
            {"<tt>--chord \"C4 E4 G4\"</tt>",
             "Notes by name or number; <tt>name:velocity</tt> sets a velocity."},
            {"<tt>--hold</tt>, <tt>--at</tt>", "How long a chord is held; further chords."},
            {"<tt>--midi-in FILE.mid</tt>", "Plays a MIDI file instead of chords."},
            {"<tt>--tempo</tt>, <tt>--time-sig</tt>", "Tempo (120) and time signature (4/4)."},
            {"<tt>--bars</tt>, <tt>--beats</tt>", "The length of the render (4 bars)."},
            {"<tt>--loop A:B</tt>, <tt>--stopped</tt>", "A host loop; a stopped transport."},
            {"<tt>--set \"Name=VALUE\"</tt>",
             "A parameter, as a number or as the text Tumblet shows (<tt>Rate=1/16</tt>)."},
            {"<tt>--preset</tt>, <tt>--save-preset</tt>", "Loads or saves a preset file."},
            {"<tt>--print</tt>, <tt>--out</tt>, <tt>--png</tt>",
             "A table of notes, a MIDI file, a piano roll."},
        });
    doc.Paragraph("<tt>tumblet-render --help</tt> lists every option; the project's README "
                  "describes them in full.");
}

void Troubleshooting(TGuideDocument& doc)
{
    doc.Section("Troubleshooting");
    doc.Table(
        {0.34, 0.66},
        TRows{
            {"Problem", "What to do"},
            {"The host does not list Tumblet",
             "Check that <tt>Tumblet.so</tt> is in <tt>~/.vst/</tt> or <tt>/usr/lib/vst/</tt> "
             "(<tt>Tumblet.clap</tt> in <tt>~/.clap/</tt> or <tt>/usr/lib/clap/</tt>), that "
             "the host scans that folder for plug-ins of that format, and rescan."},
            {"Tumblet plays nothing",
             "Tumblet needs MIDI notes in and a route from its MIDI output to an instrument. "
             "Check the track's MIDI input, that Note Probability is above 0%, and that Gate is "
             "above 0%."},
            {"Notes keep playing after I let go", "Latch is on: switch it off."},
            {"The editor is too small or too large",
             "Choose a size in the main menu's <b>Editor Size</b> submenu."},
            {"The arpeggio is out of time",
             "With Speed at any value but 1 the arpeggio runs free of the song's grid. Set Speed "
             "to 1 (Ctrl and a left click on the dial)."},
            {"A controller changes the wrong parameter",
             "Remove the binding with MIDI CC Remove. Bindings come with presets and projects, so "
             "a loaded preset may bring its own."},
            {"The info line asks me to click a control",
             "MIDI learn is on: click an empty part of the editor to end it."},
            {"A new skin does not show", "Close the plug-in window and open it again."},
            {"Open User Guide is missing from the menu",
             "Put <tt>Tumblet User Guide.pdf</tt> next to <tt>Tumblet.so</tt> or into "
             "<tt>~/Documents/Brindlex/Tumblet/</tt>."},
            {"Show in File Manager or Open User Guide does nothing",
             "Tumblet opens folders and files with <tt>xdg-open</tt>; install the "
             "<tt>xdg-utils</tt> package and choose a default file manager and PDF reader."},
            {"The editor does not open",
             "The editor needs an X11 display (under Wayland, the host must run through "
             "XWayland). Use the host's generic parameter view meanwhile."},
            {"A preset does not load",
             "Tumblet shows a message with the file's name and the reason. Files from another "
             "program, and damaged files, are refused."},
        });
}

} // namespace

void WriteGuide(TGuideDocument& doc, const std::string& picturesFolder)
{
    doc.TitlePage("Tumblet User Guide", "A random MIDI arpeggiator for Linux hosts",
                  {"Version 1.20", "Brindlex"});
    WhatTumbletDoes(doc);
    Installing(doc);
    EditorControls(doc, picturesFolder);
    Presets(doc, picturesFolder);
    MidiLearn(doc);
    MainMenu(doc, picturesFolder);
    RenderTool(doc);
    Troubleshooting(doc);
}

} // namespace tumblet::guide
