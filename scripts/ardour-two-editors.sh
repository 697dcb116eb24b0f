#!/usr/bin/env bash
# Two Tumblet tracks in Ardour's GUI on a virtual X server: while the first editor's main menu is
# open, the second track's editor opens and takes a wheel turn. Ardour runs every Linux VST
# editor on one thread of its own; a plug-in that waited inside a host call for its menu to
# close would stop the second editor there. A check by hand (not part of the test command).
#
#   scripts/ardour-two-editors.sh [build-dir]
#       -> <build-dir>/snapshots/editor/ardour-two-menu.png     the first editor's menu open
#          <build-dir>/snapshots/editor/ardour-two-second.png   the second editor opened under it
#          <build-dir>/snapshots/editor/ardour-two-wheel.png    and its Gate dial turned
#          <build-dir>/snapshots/editor/ardour-two-question.png Save Preset over an existing
#                                                               name asks inside Ardour
#          <build-dir>/snapshots/editor/ardour-two-saved.png    and Yes overwrote the file
#
# The menu holds the pointer and the keyboard, as pop-up menus do, so no click can reach
# Ardour's mixer while it is open: the second editor is opened by a small Lua hook of Ardour's
# GUI, run on its timer, which edits the selected plug-in when a flag file appears.
# About a minute. See ardour-gui.sh for what it needs.
set -euo pipefail
# shellcheck source=private-shm.sh
. "$(dirname "$0")/private-shm.sh"
# shellcheck source=ardour-gui.sh
. "$(dirname "$0")/ardour-gui.sh"
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
out=$build/snapshots/editor/ardour-two
differ() { python3 scripts/window-picture.py differ "$@"; }

# Ardour keeps its GUI's Lua hooks in ui_scripts: each one a script manager's saved state, in
# base64, with the signals it listens to as a bit string (the tenth-of-a-second timer is the
# second bit of 51 in Ardour 7).
ardour_gui_before_start() {
    presets=$HOME/Documents/Brindlex/Tumblet/Presets
    mkdir -p "$presets"
    echo old >"$presets/Aaa.brindlexp"
    # shellcheck disable=SC2154 # set by ardour_gui_start
    flag=$ardour_gui_work/open-second
    local hook state
    hook="return function (signal, ref, ...)
  local f = io.open ('$flag', 'r')
  if f then
    f:close ()
    os.remove ('$flag')
    Editor:access_action ('ProcessorMenu', 'edit')
  end
end"
    state=$(printf 's = {} s["n"] = "Open the selected plug-in" s["s"] = "" s["f"] = %s' \
        "$(python3 -c 'import json, sys; print(json.dumps(sys.argv[1]))' "$hook")" | base64 -w0)
    cat >"$HOME/.config/ardour7/ui_scripts" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<UIScripts>
  <ActionScript/>
  <ActionHooks>
    <LuaCallback lua="Lua 5.3" id="424242" name="Open the selected plug-in" signals="01$(printf '0%.0s' $(seq 49))">$state</LuaCallback>
  </ActionHooks>
</UIScripts>
XML
}

ardour_gui_start "$build" vst 100 First Second
first=$(ardour_open_editor 0 First)
# Out of the way of the mixer; with no window manager the windows all open at the top left.
xdotool windowmove "$first" 880 400
sleep 1
# One click selects the second track's plug-in: the one the hook will edit.
ardour_click_plugin 1 1
sleep 1

# The first editor's main menu: its button sits at (18, 21) in the editor, under Ardour's bar.
eval "$(xdotool getwindowgeometry --shell "$first")"
bar=$((HEIGHT - 341))
picture root "$out-before.png"
xdotool mousemove $((X + 18)) $((Y + bar + 21)) click 1
sleep 1
picture root "$out-menu.png"
menu_area="160x230+$((X + 6))+$((Y + bar + 38))"
if [ "$(differ "$out-before.png" "$out-menu.png" "$menu_area" | cut -d' ' -f1)" = 0 ]; then
    echo "the first editor's main menu did not open: $out-menu.png" >&2
    exit 1
fi
echo "the first editor's main menu is open: $out-menu.png"

touch "$flag"
second=$(wait_window '^Second: Tumblet \(by Brindlex\)' 30)
xdotool windowmove "$second" 0 610
sleep 2
picture root "$out-second.png"
echo "the second editor opened while the menu was open: $out-second.png"

# The second editor takes a wheel turn. The menu holds the pointer for our own connection, which
# the second editor shares: the wheel reaches it there, and the menu, modal to its own editor
# only, lets it through.
wheel_gate "$second" 100 root "$out-second.png" "$out-wheel.png"
echo "the second editor's Gate dial turns under the wheel: $out-wheel.png"
if [ "$(differ "$out-menu.png" "$out-wheel.png" "$menu_area" | cut -d' ' -f1)" != 0 ]; then
    echo "the first editor's menu did not stay open meanwhile: $out-wheel.png" >&2
    exit 1
fi
echo "and the first editor's menu is still open"

# Save Preset over an existing name, from the first editor's menu still open: the name dialog and
# then the question are windows of the editor, centred on it, and take the keys (with no window
# manager, the keys go to the window under the pointer).
eval "$(xdotool getwindowgeometry --shell "$first")"
xdotool mousemove $((X + 66)) $((Y + bar + 101)) click 1
dialog=$(wait_window '^Save Preset$' 10)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
xdotool key ctrl+a
xdotool type --delay 20 Aaa
xdotool key Return
question=$(wait_window '^Preset Exists$' 10)
sleep 1
picture root "$out-question.png"
echo "Save Preset over an existing name asks inside Ardour: $out-question.png"
if [ "$(cat "$presets/Aaa.brindlexp")" != old ]; then
    echo "the preset changed before the answer" >&2
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$question")"
# Yes is the question's first button, the one that has the focus.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return
for _ in $(seq 20); do
    [ "$(stat -c %s "$presets/Aaa.brindlexp")" -gt 4 ] && break
    sleep 0.5
done
sleep 1
picture root "$out-saved.png"
if [ "$(stat -c %s "$presets/Aaa.brindlexp")" -le 4 ]; then
    echo "Yes did not overwrite the preset: $out-saved.png" >&2
    exit 1
fi
echo "Yes overwrote the preset ($(stat -c %s "$presets/Aaa.brindlexp") bytes): $out-saved.png"
