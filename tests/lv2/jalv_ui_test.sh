#!/usr/bin/env bash
# Tumblet.lv2's editor in a real LV2 host: jalv.gtk3 under a virtual X server opens the plug-in's
# X11 UI through instance access; the module's own editor (a window of Tumblet's own X connection,
# 712 x 341) must sit inside jalv's window.
set -euo pipefail
bundle=$1
if [ -z "${TUMBLET_UI_TEST_INNER:-}" ]; then
    exec env TUMBLET_UI_TEST_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=jalv_session.sh
. "$here/jalv_session.sh"
start_jalv jalv.gtk3 -s urn:brindlex:tumblet

# Windows of another X client than jalv's (the id's client bits differ) at the editor's size.
for _ in $(seq 100); do
    windows=$(xwininfo -root -tree 2>/dev/null | awk '$0 ~ /712x341/ { print $1 }')
    clients=$(for w in $windows; do echo $((w >> 21)); done | sort -u | wc -l)
    [ "$clients" -ge 2 ] && break
    sleep 0.1
done
exec 3>&-
if [ "${clients:-0}" -lt 2 ]; then
    echo "no Tumblet editor inside jalv's window:"
    xwininfo -root -tree || true
    cat "$work/jalv.log"
    exit 1
fi
echo "jalv.gtk3 shows Tumblet's editor"
