# Sourced by the jalv tests: a throw-away home with only Tumblet's bundle on LV2_PATH, a JACK
# server of the test's own (dummy driver), and start_jalv PROGRAM [ARGS...], which runs a jalv
# with a command input that stays open until the end. Everything stops when the test exits.
# Needs: bundle (the Tumblet.lv2 folder).

# shellcheck source=../../scripts/private-shm.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/private-shm.sh"

work=$(mktemp -d)
export JACK_DEFAULT_SERVER="tumblet-test-$$" JACK_NO_AUDIO_RESERVATION=1
export HOME=$work LV2_PATH=$work/lv2
mkdir -p "$LV2_PATH"
ln -s "$(realpath "$bundle")" "$LV2_PATH/Tumblet.lv2"
pids=()
cleanup() {
    exec 3>&- || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

jackd --no-realtime -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
pids+=($!)
if ! jack_wait --wait --timeout 10 >/dev/null 2>&1; then
    echo "the test's JACK server did not start:"
    cat "$work/jackd.log"
    exit 1
fi

start_jalv() {
    mkfifo "$work/commands"
    LD_PRELOAD="${TUMBLET_JALV_PRELOAD:-}" "$@" <"$work/commands" >"$work/jalv.log" 2>&1 &
    pids+=($!)
    exec 3>"$work/commands"
}
