# Sourced first by the scripts that start a JACK server of their own.
#
# JACK registers every server in /dev/shm, in a table with room for eight; a server that dies
# without unregistering (killed, crashed) keeps its slot for good, and once the table is full no
# server starts on that machine. So the calling script is run again with a /dev/shm of its own
# where the system allows it: as root in a mount namespace, otherwise in a user namespace too.
# Everything JACK leaves there goes when the script ends.
if [ -z "${TUMBLET_PRIVATE_SHM:-}" ]; then
    for ns in -m -rm; do
        if unshare "$ns" sh -c 'mount -t tmpfs tmpfs /dev/shm' 2>/dev/null; then
            exec env TUMBLET_PRIVATE_SHM=1 unshare "$ns" \
                sh -c 'mount -t tmpfs tmpfs /dev/shm && exec "$@"' sh bash "$0" "$@"
        fi
    done
    echo "note: no private /dev/shm here (unshare refused); JACK uses the machine's registry" >&2
fi
