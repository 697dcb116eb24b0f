#!/usr/bin/env bash
# Tumblet in Ardour 7, headless (ardour7-lua on the Dummy backend), as Tumblet.so and as
# Tumblet.lv2. Usage: run.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
rate=48000
samples_per_beat=24000 # 120 BPM
press=24000            # the feeder's key press, 0.5 s
release=120000         # and release, 2.5 s
tolerance=2            # Ardour rounds the song position to 1/1920 beat; Tumblet locks onto
                       # its exact sample position

if ! command -v ardour7-lua >/dev/null 2>&1; then
    echo "Ardour 7 is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi
work=$(mktemp -d)
trap '[ -n "${TUMBLET_KEEP:-}" ] || rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export LXVST_PATH=$work/vst LV2_PATH=$work/lv2
mkdir -p "$XDG_CONFIG_HOME/ardour7/scripts" "$LXVST_PATH" "$LV2_PATH"
cp "$here"/scripts/*.lua "$XDG_CONFIG_HOME/ardour7/scripts/"
cp "$build/Tumblet.so" "$LXVST_PATH/"
cp -r "$build/Tumblet.lv2" "$LV2_PATH/"
# Ardour's plug-in cache counts in whole seconds: a library newer than its cache entry is skipped.
touch -d '-1 min' "$LXVST_PATH/Tumblet.so"

fail() {
    echo "FAIL: $*"
    exit 1
}

# Ardour's scan: one MIDI input, one MIDI output and the editor flag.
scan=$(LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -v -f \
    "$LXVST_PATH/Tumblet.so" 2>&1)
for want in 'name="Tumblet"' 'n_midi_inputs="1"' 'n_midi_outputs="1"' 'has_editor="1"'; do
    grep -qF "$want" <<<"$scan" || fail "Ardour's scan lacks $want: $scan"
done

# What tumblet-render plays for the same keys at the same time: "sample note" per note-on,
# for each of the feeder's key sets (0 a chord, 1 one note, 2 four chords changed on every beat).
for keys in 0 1 2; do
    case $keys in
    0) play=(--at 1 --chord "C4 E4 G4" --hold 4) ;;
    1) play=(--at 1 --chord "C4" --hold 4) ;;
    2) play=(--at 1 --chord "C4 E4 G4" --hold 1 --at 2 --chord "D4 F4 A4" --hold 1
        --at 3 --chord "E4 G4 B4" --hold 1 --at 4 --chord "F4 A4 C5" --hold 1) ;;
    esac
    "$build/tumblet-render" --plugin "$build/Tumblet.so" --sample-rate $rate --tempo 120 \
        --beats 6 "${play[@]}" --print 2>/dev/null |
        awk -v spb=$samples_per_beat '$1 ~ /^[0-9]+\.[0-9]+\.[0-9]+$/ {
            split($1, p, "."); beats = (p[1] - 1) * 4 + (p[2] - 1) + p[3] / 960
            printf "%d %d\n", beats * spb + 0.5, $3 }' >"$work/expected-$keys.txt"
    [ "$(wc -l <"$work/expected-$keys.txt")" -ge 12 ] || fail "tumblet-render played too little"
done

session=0
# run FORMAT NAME SECONDS ROLLING KEYS MODE [SETTINGS...]: the session's output in $out
run() {
    session=$((session + 1))
    local dir=$work/session-$1-$session
    [ "$6" = reopen ] && dir=$work/session-$1-$((session - 1))
    out=$work/out-$session.txt
    local status=0
    timeout 60 ardour7-lua "$here/session.lua" "$dir" "$@" >"$out" 2>&1 || status=$?
    # On a loaded machine Ardour's headless engine now and then never starts; a session that
    # hangs because of the plug-in hangs again, so one more try tells the two apart.
    if [ $status -eq 124 ] && [ "$6" = new ]; then
        echo "Ardour's session timed out ($*); trying it once more"
        rm -rf "$dir"
        status=0
        timeout 60 ardour7-lua "$here/session.lua" "$dir" "$@" >"$out" 2>&1 || status=$?
    fi
    if [ $status -ne 0 ]; then
        cat "$out"
        fail "Ardour's session failed with status $status ($*)"
    fi
    grep -q '^DONE' "$out" || fail "the session did not finish ($*)"
    if grep -E "too late|dropped|write failed" "$out"; then
        fail "Ardour lost or delayed Tumblet's events ($*)"
    fi
}

# Note-ons and note-offs of every key alternate, and each ends; no note-on after the release.
# check_notes LAST_NOTE_ON MIN_NOTE_ONS
check_notes() {
    awk -v last="$1" -v least="$2" '
        $1 != "EVENT" { next }
        # Ardour ends the keys still held at a stop itself (velocity 64); those are not Tumblet'"'"'s.
        $3 == 0 && $4 >= 128 && $4 < 144 && $6 == 64 { next }
        $4 >= 144 && $4 < 160 && $6 > 0 {
            if (on[$5]) { print "second note-on before the note-off: " $0; bad = 1 }
            on[$5] = 1; start[$5] = $2; ons++
            if ($2 > last) { print "a note-on after the release: " $0; bad = 1 }
            next }
        ($4 >= 128 && $4 < 144) || ($4 >= 144 && $4 < 160) {
            if (!on[$5]) { print "note-off without note-on: " $0; bad = 1 }
            else if ($2 - start[$5] < 64) { print "a note cut to " $2 - start[$5] " samples: " $0; bad = 1 }
            on[$5] = 0 }
        END {
            for (n in on) if (on[n]) { print "note " n " still sounding"; bad = 1 }
            if (ons < least) { print "only " ons " note-ons"; bad = 1 }
            exit bad }' "$out" || fail "bad note pairs in $out"
}

for format in LXVST LV2; do
    name=Tumblet
    rate_quarter=0.5 # Rate 5 ("1/4") on the host's 0..1 scale
    if [ $format = LV2 ]; then
        name=urn:brindlex:tumblet
        rate_quarter=5
    fi
    echo "== $format"

    # Each step plays the chord held at its beat, and a step on the release plays nothing: the
    # same notes as tumblet-render, at the same samples to within the tolerance.
    for keys in 0 1 2; do
        run $format "$name" 3.5 1 $keys new
        if [ $keys = 0 ]; then
            grep -q '^IO 1 1' "$out" || fail "$format: not one MIDI input and one MIDI output"
        fi
        check_notes $((release - 1)) 12
        awk '$1 == "EVENT" && $4 >= 144 && $4 < 160 && $6 > 0 { print $2, $5 }' "$out" >"$work/got.txt"
        paste -d' ' "$work/expected-$keys.txt" "$work/got.txt" |
            awk -v tol=$tolerance '
                NF != 4 { print "a note more or less than tumblet-render plays: " $0; bad = 1; next }
                { d = $1 - $3; if (d < 0) d = -d
                  if ($2 != $4 || d > tol) { print "expected " $2 " at " $1 ", got " $4 " at " $3; bad = 1 } }
                END { exit bad }' ||
            fail "$format, keys $keys: the arpeggio differs from tumblet-render: $(tr '\n' ' ' <"$work/got.txt")"
    done

    # The transport stops while the chord is still held: every note still ends.
    run $format "$name" 1.5 1 0 new
    check_notes $((release + 2 * tolerance)) 4

    # Stopped, with Rate set to quarter notes from Lua: the own clock plays from the key on.
    run $format "$name" 3.5 0 0 new "0=$rate_quarter"
    check_notes $((release + 2 * tolerance)) 4
    # The feeder marks its key press with controller 119, which Tumblet passes through.
    key=$(awk '$1 == "EVENT" && $4 == 176 && $5 == 119 { print $2; exit }' "$out")
    [ -n "$key" ] || fail "$format: the press marker did not pass through"
    awk -v press="$key" -v spb=$samples_per_beat '
        $1 == "EVENT" && $4 >= 144 && $4 < 160 && $6 > 0 {
            if ($2 < press) { print "a note before its key: " $0; bad = 1 }
            if (seen && ($2 - prev < spb - 64 || $2 - prev > spb + 64)) {
                print "steps " $2 - prev " samples apart, not a quarter note: " $0; bad = 1 }
            prev = $2; seen = 1 }
        END { exit bad }' "$out" || fail "$format: stopped transport or the Rate setting"
    saved=$(awk '$1 == "PARAM" && $2 == 0 { print $3 }' "$out")

    # The saved session reopens with the changed value.
    run $format "$name" 0.5 0 0 reopen
    restored=$(awk '$1 == "PARAM" && $2 == 0 { print $3 }' "$out")
    [ "$restored" = "$saved" ] || fail "$format: Rate reopened as $restored, saved as $saved"
done
echo "Ardour: both formats passed"
