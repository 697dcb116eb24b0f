# Sourced by the jalv tests: a throw-away home with only Tumblet's bundle on LV2_PATH, a JACK
# server of the test's own (dummy driver), and start_jalv PROGRAM [ARGS...], which runs a jalv
# with a command input that stays open until the end. Everything stops when the test exits.
# Needs: bundle (the Tumblet.lv2 folder).

# JACK registers every server in /dev/shm, in a table with room for eight; a server that dies
# without unregistering (killed, crashed) keeps its slot for good, and once the table is full no
# server starts on that machine. So the session gets a /dev/shm of its own where it can: as root a
# mount namespace, otherwise a user namespace too. The calling script is run again inside it.
if [ -z "${TUMBLET_PRIVATE_SHM:-}" ]; then
    for ns in -m -rm; do
        if unshare "$ns" sh -c 'mount -t tmpfs tmpfs /dev/shm' 2>/dev/null; then
            exec env TUMBLET_PRIVATE_SHM=1 unshare "$ns" \
                sh -c 'mount -t tmpfs tmpfs /dev/shm && exec "$@"' sh bash "$0" "$@"
        fi
    done
    echo "note: no private /dev/shm here (unshare refused); JACK uses the machine's registry"
fi

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
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
if ! jack_lsp >/dev/null 2>&1; then
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
