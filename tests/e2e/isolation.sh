# What keeps a run under Wine to itself: a network namespace whose only
# interface is loopback, and no litter of a Wine prefix left in /tmp. Sourced by
# the end-to-end runner, the tests that make prefixes of their own and
# tests/win/run-under-wine.sh.

# only_loopback: this namespace has no interface but loopback, so it cannot
# reach any network.
only_loopback() {
    [ "$(ip -o link show 2>/dev/null | awk -F': ' '{print $2}' | sed 's/@.*//' | sort | tr '\n' ' ')" = "lo " ]
}

# enter_loopback_namespace ARGS...: unless this process is isolated already,
# runs the calling script ($0) again with ARGS in a new network namespace (and
# a user namespace when not root); then brings loopback up there, with the
# multicast that the NDI runtime's discovery uses.
enter_loopback_namespace() {
    if ! only_loopback; then
        if [ -n "${CUEWIRE_E2E_IN_NETNS:-}" ]; then
            echo "$(basename "$0"): still not isolated inside the new namespace; refusing to run" >&2
            exit 2
        fi
        export CUEWIRE_E2E_IN_NETNS=1
        if [ "$(id -u)" = 0 ]; then
            exec unshare --net -- "$0" "$@"
        else
            exec unshare --user --map-root-user --net -- "$0" "$@"
        fi
    fi
    ip link set lo up
    ip link set lo multicast on
    ip route add 224.0.0.0/4 dev lo 2>/dev/null || true
}

# remove_wineserver_folder PREFIX: Wine keeps its server's socket in
# /tmp/wine-*/server-<device>-<inode> of the prefix; once the server is gone,
# that folder is only litter.
remove_wineserver_folder() {
    [ -d "$1" ] || return 0
    local id folder
    id=$(stat -c '%D' "$1")-$(printf '%x' "$(stat -c '%i' "$1")")
    for folder in /tmp/wine-*/"server-$id"; do
        [ -d "$folder" ] || continue
        rm -rf "$folder"
        rmdir "$(dirname "$folder")" 2>/dev/null
    done
    return 0
}
