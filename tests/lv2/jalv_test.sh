#!/usr/bin/env bash
# Tumblet.lv2 played live: a JACK server with the dummy driver, jalv running the plug-in, and a
# probe client that holds a chord for two seconds and records what comes back.
set -euo pipefail
bundle=$1
probe=$2

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=jalv_session.sh
. "$here/jalv_session.sh"
start_jalv jalv -n tumblet urn:brindlex:tumblet
for _ in $(seq 100); do jack_lsp 2>/dev/null | grep -q 'tumblet:midi_out' && break; sleep 0.1; done
if ! jack_lsp 2>/dev/null | grep -q 'tumblet:midi_out'; then
    echo "jalv did not start the plug-in:"
    cat "$work/jalv.log"
    exit 1
fi

"$probe" tumblet:midi_in tumblet:midi_out 2 >"$work/events.txt"
release=$(sed -n 's/^release //p' "$work/events.txt")
ons=$(awk '$1 != "release" && $2 >= 144 && $2 < 160 && $4 > 0' "$work/events.txt" | wc -l)
echo "note-ons: $ons, release at frame $release"
# 120 BPM sixteenths for two seconds: 16 steps (the own clock runs while JACK's transport stands).
if [ "$ons" -lt 12 ]; then
    echo "too few notes:"; cat "$work/events.txt"; cat "$work/jalv.log"; exit 1
fi
# The probe hears the plug-in one JACK cycle late and its release reaches the plug-in up to one
# cycle late: two cycles of 1024 frames of grace after the release.
awk -v release="$((release + 2048))" '
    $1 == "release" { next }
    $1 < 0 { print "an event before the key: " $0; bad = 1 }
    $2 >= 144 && $2 < 160 && $4 > 0 { if (on[$3]) { print "note-on twice: " $0; bad = 1 } on[$3] = 1; if ($1 > release) { print "a note-on after the release: " $0; bad = 1 } next }
    ($2 >= 128 && $2 < 144) || ($2 >= 144 && $2 < 160) { if (!on[$3]) { print "note-off without note-on: " $0; bad = 1 } on[$3] = 0 }
    END { for (n in on) if (on[n]) { print "note " n " still sounding"; bad = 1 } exit bad }
' "$work/events.txt"
echo "jalv played the arpeggio and ended every note"
