#!/usr/bin/env bash
# Opens Tumblet's editor inside Ardour's GUI on a virtual X server, saves a picture of it and
# turns a dial with the wheel there: a check by hand (not part of the test command) that a real
# host embeds the editor at the size its GUI scaling asks for and passes it input.
#
#   scripts/ardour-editor-shot.sh [build-dir] [vst|lv2] [scale]
#       -> <build-dir>/snapshots/editor/ardour[-lv2][-SCALE].png (no suffix at 100 %)
#
# SCALE is Ardour's GUI scaling in percent (100 unless given). Ardour hands it to LV2 editors,
# which then open at the scaled size (1424 x 682 at 200 %); it tells VST 2.4 editors nothing.
# About a minute. See ardour-gui.sh for what it needs.
set -euo pipefail
# shellcheck source=private-shm.sh
. "$(dirname "$0")/private-shm.sh"
# shellcheck source=ardour-gui.sh
. "$(dirname "$0")/ardour-gui.sh"
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
format=${2:-vst}
scale=${3:-100}
out=$build/snapshots/editor/ardour
[ "$format" = lv2 ] && out=$out-lv2
[ "$scale" = 100 ] || out=$out-$scale
out=$out.png

ardour_gui_start "$build" "$format" "$scale" Arp
editor=$(ardour_open_editor 0 Arp)
sleep 2
picture "$editor" "$out"
eval "$(xdotool getwindowgeometry --shell "$editor")"
size=$(editor_size "$editor")
echo "Ardour's plug-in window ($WIDTH x $HEIGHT) shows Tumblet's editor ($size): $out"
# Tumblet's window is its logical size times the scale, rounded up; only LV2 hears the scale.
want=$(((712 * scale + 99) / 100))x$(((341 * scale + 99) / 100))
[ "$format" = lv2 ] || want=712x341
if [ "$size" != "$want" ]; then
    echo "Tumblet's editor is $size inside Ardour, not $want" >&2
    exit 1
fi

# Input reaches the editor inside Ardour's window: the wheel turns the Gate dial.
turned=${out%.png}-wheel.png
wheel_gate "$editor" $((${size%x*} * 100 / 712)) "$editor" "$out" "$turned"
echo "the wheel turns the Gate dial inside Ardour: $turned"
