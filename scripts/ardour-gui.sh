# shellcheck shell=bash
# Sourced by the by-hand scripts that drive Tumblet inside Ardour's GUI on a virtual X server.
#
#   ardour_gui_start BUILD FORMAT SCALE TRACK...
#
# builds a throw-away home and a session with one MIDI track per name, Tumblet (vst or lv2) as
# the first processor of each, runs jackd with its dummy driver (Ardour's GUI offers no dummy
# backend) and a virtual screen, starts Ardour with its GUI scaling at SCALE percent, picks JACK
# in its audio setup and shows the mixer. Then ardour_open_editor opens a track's plug-in
# window. Clicks go by coordinates measured in its windows at 100 % and 200 %.
#
# Needs Debian's ardour, jackd2, xvfb, xdotool and x11-utils, and python3 for the pictures.

ardour_gui_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ardour_gui_pids=()
ardour_gui_cleanup() {
    for pid in "${ardour_gui_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    sleep 1
    for pid in "${ardour_gui_pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    [ -n "${ardour_gui_work:-}" ] && rm -rf "$ardour_gui_work"
}

# A length at the GUI's scale.
scaled() { echo $(($1 * ardour_gui_scale / 100)); }
# A place in Ardour's windows, measured at 100 % and at 200 %: its layout does not grow in
# proportion (padding stays), so other scales go in between.
at() { echo $(($1 + ($2 - $1) * (ardour_gui_scale - 100) / 100)); }

# Saves a window (or "root") as PNG.
picture() { python3 "$ardour_gui_here/window-picture.py" save "$1" "$2"; }

# Waits until a visible window's name matches; prints its id.
wait_window() {
    local name=$1 seconds=$2 id=""
    for _ in $(seq "$((seconds * 2))"); do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    echo "window '$name' did not appear" >&2
    picture root "$ardour_gui_failed" || true
    return 1
}

ardour_gui_start() {
    local build=$1 format=$2
    ardour_gui_scale=$3
    shift 3
    local ptype=LXVST pname=Tumblet
    if [ "$format" = lv2 ]; then
        ptype=LV2 pname=urn:brindlex:tumblet
    fi
    for tool in ardour ardour7-lua jackd Xvfb xdotool xwininfo python3; do
        command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
    done
    if [ ! -e "$build/Tumblet.so" ] || [ ! -e "$build/Tumblet.lv2" ]; then
        echo "no plug-in in $build: build it first" >&2
        exit 1
    fi
    ardour_gui_failed=$build/snapshots/editor/ardour-failed.png
    mkdir -p "$build/snapshots/editor"

    ardour_gui_work=$(mktemp -d /tmp/tumblet-ardour.XXXXXX)
    trap ardour_gui_cleanup EXIT
    local work=$ardour_gui_work
    export HOME=$work/home
    # Everything Ardour and Tumblet keep (settings, presets, caches) stays in the throw-away home.
    export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
    export XDG_DOCUMENTS_DIR=$HOME/Documents
    export LXVST_PATH=$work/vst LV2_PATH=$work/lv2
    mkdir -p "$HOME/.config/ardour7" "$LXVST_PATH" "$LV2_PATH"
    cp "$build/Tumblet.so" "$LXVST_PATH/Tumblet.so"
    cp -r "$build/Tumblet.lv2" "$LV2_PATH/"
    # Ardour takes a cache entry stamped in whole seconds as stale when the library is newer.
    touch -d '-1 min' "$LXVST_PATH/Tumblet.so"
    # The cache is keyed by the absolute path.
    LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f -q "$LXVST_PATH/Tumblet.so"

    # A server name of our own, so that another JACK server on the machine is left alone.
    export JACK_DEFAULT_SERVER=tumblet-ardour-$$
    jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
    ardour_gui_pids+=($!)
    disown
    sleep 2

    cat >"$work/session.lua" <<'LUA'
AudioEngine:set_backend ("JACK", "", "")
local s = create_session (arg[1], "t", 48000); assert (s, "session creation failed")
local midi1 = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
for i = 4, #arg do
	local t = Session:new_midi_track (midi1, midi1, false, ARDOUR.PluginInfo (), nil, nil, 1, arg[i],
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
	local p = ARDOUR.LuaAPI.new_plugin (Session, arg[3], ARDOUR.PluginType[arg[2]], "")
	assert (not p:isnil (), "plug-in not found: " .. arg[3])
	assert (t:add_processor_by_index (p, 0, nil, true) == 0, "cannot insert Tumblet")
end
Session:save_state ("", false, false, false, false, false)
close_session ()
LUA
    ardour7-lua "$work/session.lua" "$work/session" "$ptype" "$pname" "$@" >"$work/session.log" 2>&1

    # Ardour's GUI scaling preference: its font scale, 1024 to a percent.
    cat >"$HOME/.config/ardour7/ui_config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <UI>
    <Option name="font-scale" value="$((ardour_gui_scale * 1024))"/>
  </UI>
</Ardour>
XML

    Xvfb "$ardour_gui_display" -screen 0 "$(scaled 1600)x$(scaled 1000)x24" -nolisten tcp \
        >"$work/xvfb.log" 2>&1 &
    ardour_gui_pids+=($!)
    disown
    export DISPLAY=$ardour_gui_display
    sleep 2
    touch "$HOME/.config/ardour7/.a7" # no first-run wizard
    # The calling script may set up more of Ardour's home (its ui_scripts, say).
    if declare -F ardour_gui_before_start >/dev/null; then ardour_gui_before_start; fi
    ardour -n "$work/session/t.ardour" >"$work/ardour.log" 2>&1 &
    ardour_gui_pids+=($!)
    disown # Ardour may crash when it is stopped: not worth a word

    local setup alsa_width
    setup=$(wait_window 'Audio/MIDI Setup' 60)
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$setup")"
    alsa_width=$WIDTH
    # The "Audio System" combo, then JACK (the entry below the first): its page is wider, so
    # the choice is made again until the width changes (a click that came before the dialog was
    # laid out, on a busy machine, went nowhere). Then "Connect to JACK".
    for _ in 1 2 3 4 5; do
        eval "$(xdotool getwindowgeometry --shell "$setup")"
        xdotool mousemove $((X + $(at 285 500))) $((Y + $(at 49 56))) click 1
        sleep 1
        xdotool key Down key Return
        sleep 2
        eval "$(xdotool getwindowgeometry --shell "$setup")"
        [ "$WIDTH" != "$alsa_width" ] && break
    done
    xdotool mousemove $((X + WIDTH - $(at 69 100))) $((Y + HEIGHT - $(at 31 34))) click 1

    ardour_gui_main=$(wait_window ' - Ardour' 60)
    sleep 2
    # The mixer, by its shortcut (no window manager: the keys go to the window under the pointer).
    eval "$(xdotool getwindowgeometry --shell "$ardour_gui_main")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key alt+m
    sleep 3
}
ardour_gui_display=:${TUMBLET_ARDOUR_DISPLAY:-93}

# Clicks (once, or twice for a double click) the plug-in of the track with this index (from 0)
# in the mixer.
ardour_click_plugin() {
    local index=$1 clicks=$2
    eval "$(xdotool getwindowgeometry --shell "$ardour_gui_main")"
    xdotool mousemove $((X + $(at 321 627) + index * $(at 110 221))) $((Y + $(at 187 316))) \
        click --repeat "$clicks" --delay 80 1
}

# Double-clicks the plug-in of the track with this index (from 0) in the mixer and waits for its
# window, named "TRACK: Tumblet (by Brindlex)"; prints the window's id.
ardour_open_editor() {
    ardour_click_plugin "$1" 2
    wait_window "^$2: Tumblet \(by Brindlex\)" 30
}

# The size of Tumblet's own window inside a plug-in window: the deepest child, "WIDTHxHEIGHT".
editor_size() {
    xwininfo -children -id "$1" >/dev/null
    local id=$1 child
    while child=$(xwininfo -children -id "$id" | awk '/^ +0x[0-9a-f]+ / { print $1; exit }') &&
        [ -n "$child" ]; do
        id=$child
    done
    xwininfo -id "$id" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# Eight wheel notches over the Gate dial of Tumblet's editor in a plug-in window, drawn at this
# percent (the editor sits at the window's bottom, under Ardour's own bar). Saves pictures of
# TARGET (the plug-in window, or root) before and after; fails unless the dial turned.
#   wheel_gate WINDOW PERCENT TARGET BEFORE.png AFTER.png
wheel_gate() {
    local window=$1 zoom=$2 target=$3 before=$4 after=$5 changed
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local top=$((HEIGHT - (341 * zoom + 99) / 100)) left=0 side=$(((48 * zoom + 99) / 100))
    picture "$target" "$before"
    xdotool mousemove $((X + (402 + 24) * zoom / 100)) $((Y + top + (92 + 24) * zoom / 100))
    sleep 0.5
    for _ in $(seq 8); do
        xdotool click 4
        sleep 0.1
    done
    sleep 1
    picture "$target" "$after"
    if [ "$target" = root ]; then
        left=$X
        top=$((Y + top))
    fi
    changed=$(python3 "$ardour_gui_here/window-picture.py" differ "$before" "$after" \
        "${side}x${side}+$((left + 402 * zoom / 100))+$((top + 92 * zoom / 100))")
    if [ "${changed%% *}" = 0 ]; then
        echo "the Gate dial did not turn under the wheel inside Ardour: $after" >&2
        return 1
    fi
}
