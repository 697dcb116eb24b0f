#!/usr/bin/env bash
# The bundle as LV2 hosts read it: its Turtle valid against the LV2 schemas, and the plug-in
# with its UI and every port found by lilv.
set -euo pipefail
bundle=$1
# Only the LV2 schemas themselves, as the lv2 package installs them: other plug-ins installed on
# the machine are not ours to judge, and some ship Turtle that does not validate.
schemas=$(dpkg-query -L lv2-dev | grep '/lv2/[^/]*\.lv2/.*\.ttl$')
# shellcheck disable=SC2086
sord_validate $schemas "$bundle"/*.ttl

# lilv complains about every folder entry that is not a bundle, so it gets one of its own.
path=$(mktemp -d)
trap 'rm -rf "$path"' EXIT
ln -s "$(realpath "$bundle")" "$path/Tumblet.lv2"
info=$(LV2_PATH=$path lv2info urn:brindlex:tumblet)
for expected in 'Name:              Tumblet' 'urn:brindlex:tumblet#ui' 'Symbol:      midi_in' \
    'Symbol:      midi_out' 'Symbol:      speed' 'state#interface'; do
    if ! grep -qF "$expected" <<<"$info"; then
        echo "lv2info does not show: $expected"
        echo "$info"
        exit 1
    fi
done
echo "bundle ok: $(grep -c 'Symbol:' <<<"$info") ports"
