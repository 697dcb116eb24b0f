#!/usr/bin/env bash
# Qtractor's plug-in scanner reads "CLAP:path" and "VST:path" lines and prints one line per
# plug-in: type|name|audio in:out|MIDI in:out|parameters:outputs|flags|path|index|id.
# Both builds must show no audio, one MIDI port each way, 22 parameters, an editor and state.
set -euo pipefail
clap=$1
vst=$2
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
[ -x "$scanner" ] || { echo "no $scanner (Debian package qtractor)"; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
out=$(printf 'CLAP:%s\nVST:%s\n' "$clap" "$vst" |
      HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen "$scanner" 2>"$home/stderr")
echo "$out"
status=0
check() {
    local type=$1 path=$2 audio=$3
    local line
    line=$(grep "^$type|" <<<"$out" | grep -F "|$path|" || true)
    if [ -z "$line" ]; then
        echo "FAIL: the scanner lists no $type plug-in at $path"
        status=1
        return
    fi
    IFS='|' read -r _ name io midi params flags _ <<<"$line"
    [ "$name" = Tumblet ] || { echo "FAIL: $type name '$name'"; status=1; }
    [ "$io" = "$audio" ] || { echo "FAIL: $type audio ports '$io', not $audio"; status=1; }
    [ "$midi" = 1:1 ] || { echo "FAIL: $type MIDI ports '$midi'"; status=1; }
    [ "${params%%:*}" = 22 ] || { echo "FAIL: $type parameters '$params'"; status=1; }
    for flag in GUI EXT; do
        case ",$flags," in *",$flag,"*) ;; *) echo "FAIL: $type lacks the $flag flag: $flags"; status=1 ;; esac
    done
}
# The VST 2.4 build declares two silent audio outputs, as hosts that need one expect.
check CLAP "$clap" 0:0
check VST "$vst" 0:2
exit $status
