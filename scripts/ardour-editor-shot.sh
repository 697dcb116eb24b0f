#!/usr/bin/env bash
# Opens Tumblet's editor inside Ardour's GUI on a virtual X server, saves a picture of it and
# turns a dial with the wheel there: a check by hand (not part of the test command) that a real
# host embeds the editor and passes it input.
#
#   scripts/ardour-editor-shot.sh [build-dir]      -> <build-dir>/snapshots/editor/ardour.png
#   scripts/ardour-editor-shot.sh [build-dir] lv2  -> <build-dir>/snapshots/editor/ardour-lv2.png
#
# Needs Debian's ardour, jackd2, xvfb, xdotool and imagemagick. It builds a throw-away home and
# session, runs jackd with its dummy driver (Ardour's GUI offers no dummy backend), picks JACK
# in Ardour's audio setup, opens the mixer and double-clicks the plug-in. About a minute.
set -euo pipefail
# shellcheck source=private-shm.sh
. "$(dirname "$0")/private-shm.sh"
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
format=${2:-vst}
plugin=$build/Tumblet.so
out=$build/snapshots/editor/ardour.png
ptype=LXVST pname=Tumblet
if [ "$format" = lv2 ]; then
    plugin=$build/Tumblet.lv2
    out=$build/snapshots/editor/ardour-lv2.png
    ptype=LV2 pname=urn:brindlex:tumblet
fi
display=:${TUMBLET_ARDOUR_DISPLAY:-93}
for tool in ardour ardour7-lua jackd Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -e "$plugin" ] || { echo "no plug-in at $plugin: build it first" >&2; exit 1; }

work=$(mktemp -d /tmp/tumblet-ardour.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    sleep 1
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home
export LXVST_PATH=$work/vst LV2_PATH=$work/lv2
mkdir -p "$HOME/.config/ardour7" "$LXVST_PATH" "$LV2_PATH" "$(dirname "$out")"
cp "$build/Tumblet.so" "$LXVST_PATH/Tumblet.so"
cp -r "$build/Tumblet.lv2" "$LV2_PATH/"
# Ardour takes a cache entry stamped in whole seconds as stale when the library is newer.
touch -d '-1 min' "$LXVST_PATH/Tumblet.so"
# The cache is keyed by the absolute path.
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f -q "$LXVST_PATH/Tumblet.so"

# A server name of our own, so that another JACK server on the machine is left alone.
export JACK_DEFAULT_SERVER=tumblet-ardour-$$
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
pids+=($!)
sleep 2

cat >"$work/session.lua" <<'LUA'
AudioEngine:set_backend ("JACK", "", "")
local s = create_session (arg[1], "t", 48000); assert (s, "session creation failed")
local midi1 = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
local t = Session:new_midi_track (midi1, midi1, false, ARDOUR.PluginInfo (), nil, nil, 1, "Arp",
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
local p = ARDOUR.LuaAPI.new_plugin (Session, arg[3], ARDOUR.PluginType[arg[2]], "")
assert (not p:isnil (), "plug-in not found: " .. arg[3])
assert (t:add_processor_by_index (p, 0, nil, true) == 0, "cannot insert Tumblet")
Session:save_state ("", false, false, false, false, false)
close_session ()
LUA
ardour7-lua "$work/session.lua" "$work/session" "$ptype" "$pname" >"$work/session.log" 2>&1

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 2
touch "$HOME/.config/ardour7/.a7" # no first-run wizard
ardour -n "$work/session/t.ardour" >"$work/ardour.log" 2>&1 &
pids+=($!)

# Waits until a visible window's name matches; prints its id.
wait_window() {
    local name=$1 seconds=$2 id=""
    for _ in $(seq "$((seconds * 2))"); do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    echo "window '$name' did not appear" >&2
    import -window root "$build/snapshots/editor/ardour-failed.png" || true
    return 1
}

setup=$(wait_window 'Audio/MIDI Setup' 60)
eval "$(xdotool getwindowgeometry --shell "$setup")"
# The "Audio System" combo, then JACK (the entry below the first), then "Connect to JACK".
xdotool mousemove $((X + 285)) $((Y + 49)) click 1
sleep 1
xdotool key Down key Return
sleep 2
eval "$(xdotool getwindowgeometry --shell "$setup")"
xdotool mousemove $((X + WIDTH - 69)) $((Y + HEIGHT - 31)) click 1

main=$(wait_window ' - Ardour' 60)
sleep 2
eval "$(xdotool getwindowgeometry --shell "$main")"
# "Mix" at the right end of the toolbar, then the plug-in, the first processor of the strip.
xdotool mousemove $((X + WIDTH - 22)) $((Y + 72)) click 1
sleep 3
xdotool mousemove $((X + 321)) $((Y + 187)) click --repeat 2 --delay 80 1
editor=$(wait_window 'Tumblet \(by Brindlex\)' 30)
sleep 2
import -window "$editor" "$out"
eval "$(xdotool getwindowgeometry --shell "$editor")"
echo "Ardour's plug-in window ($WIDTH x $HEIGHT) shows Tumblet's editor: $out"

# Input reaches the editor inside Ardour's window: eight wheel notches over the Gate dial (the
# editor sits at the window's bottom, under Ardour's own bar) must turn it.
top=$((HEIGHT - 341))
xdotool mousemove $((X + 402 + 24)) $((Y + top + 92 + 24))
sleep 0.5
for _ in $(seq 8); do
    xdotool click 4
    sleep 0.1
done
sleep 1
turned=${out%.png}-wheel.png
import -window "$editor" "$turned"
changed=$(compare -metric AE -crop "48x48+402+$((top + 92))" "$out" "$turned" /dev/null 2>&1 || true)
if [ "${changed%% *}" = 0 ]; then
    echo "the Gate dial did not turn under the wheel inside Ardour: $turned" >&2
    exit 1
fi
echo "the wheel turns the Gate dial inside Ardour: $turned"
