#!/usr/bin/env bash
# Runs every test binary directly, as a contributor would by hand, with HOME and
# XDG_DOCUMENTS_DIR pointing at a user's folder that holds presets (a damaged init preset
# among them) and settings. Afterwards that folder must be exactly as it was.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
folder=$user/home/Documents/Brindlex/Tumblet
mkdir -p "$folder/Presets"
printf 'my own preset' >"$folder/Presets/Mine.brindlexp"
printf 'not a preset' >"$folder/Presets/init.brindlexp"
printf '[Config]\nStyle=Carbon\nLowestOctave=-2\n' >"$folder/Settings.ini"
cp -a "$user/home" "$user/before"

export HOME=$user/home XDG_DOCUMENTS_DIR=$user/home/Documents
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR

failed=0
for binary in "$@"; do
    status=0
    "$binary" --gtest_brief=1 >"$user/log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
        echo "$binary failed (exit $status) with the user's folder in HOME:"
        tail -n 40 "$user/log"
        failed=1
    fi
    if ! diff -r "$user/before" "$user/home" >"$user/diff" 2>&1; then
        echo "$binary changed the user's own files:"
        cat "$user/diff"
        exit 1
    fi
done
[ "$failed" -eq 0 ] || exit 1
echo "$# test binaries run directly; the user's presets and settings are untouched"
