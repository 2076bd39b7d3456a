#!/usr/bin/env bash
# Sets up the machine, builds Cuewire and runs it under Wine beside the NDI
# runtime fetched by the setup.
#
# The NDI runtime announces its sources by multicast on every interface. By
# default Cuewire runs in a loopback-only network namespace, so its sources are
# seen only by receivers on this machine (connect to 127.0.0.1:5961). Set
# CUEWIRE_NETWORK=open to publish on your real network instead.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

./tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

stage=$repo/build/windows/run
mkdir -p "$stage"
cp build/windows/app/win/cuewire.exe .cache/third_party/Processing.NDI.Lib.x64.dll "$stage/"
cp build/windows/app/win/LibreFranklin-OFL.txt "$stage/"

export WINEPREFIX=${WINEPREFIX:-$repo/.cache/wine}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=${LC_ALL:-C.UTF-8}

# The display comes first: a prefix created with no display leaves Wine's
# server running with a desktop that has none; a program started beside it
# shows no window and may end at once, with no message.
xvfb_pid=
watcher_pid=
trap '[ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT
if [ -z "${DISPLAY:-}" ]; then
    display=99
    while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.2
    done
    echo "run: no display found; started a virtual one (Xvfb $DISPLAY). Cuewire runs there unseen."
fi

if [ ! -d "$WINEPREFIX" ]; then
    echo "run: creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Let the prefix's first server finish its work before the program starts.
    wineserver -w
fi
# Dialogs measured as on Windows (see the script); also for an older prefix.
./tools/wine-fonts.sh || echo "run: Wine's Tahoma is missing; the dialogs come out smaller than on Windows"

# Whether any Cuewire window appeared, for the word after a run that ended at once.
window_seen=$stage/window-seen
rm -f "$window_seen"
watch_for_window() {
    until xdotool search --name Cuewire >/dev/null 2>&1; do sleep 0.5; done
    touch "$window_seen"
}
watch_for_window &
watcher_pid=$!

# Cuewire runs as a background job that this script waits for: bash runs a
# trapped signal only between commands, so while Cuewire ran in the foreground
# a stop from outside (a closed terminal, a service manager, timeout) waited
# for the program and left it, its display and its server running.
start_cuewire() {
    local command=(wine "$stage/cuewire.exe")
    if [ "${CUEWIRE_NETWORK:-}" != open ]; then
        echo "run: NDI sources stay on this machine (loopback only); CUEWIRE_NETWORK=open publishes them."
        local isolate=(unshare --net)
        [ "$(id -u)" = 0 ] || isolate=(unshare --user --map-root-user --net)
        command=("${isolate[@]}" -- bash -c '
            ip link set lo up && ip link set lo multicast on && ip route add 224.0.0.0/4 dev lo
            exec "$@"' run "${command[@]}")
    fi
    # Every step execs the next, so this PID ends as Cuewire's own.
    "${command[@]}" &
    cuewire_pid=$!
    [ -z "$stopped_by" ] || stop_cuewire "$stopped_by"
}
# A background job ignores Ctrl-C, so the script passes each stop on.
stop_cuewire() {
    stopped_by=$1
    kill -TERM "$cuewire_pid" 2>/dev/null || true
}
cuewire_pid=
stopped_by=
trap 'stop_cuewire 129' HUP
trap 'stop_cuewire 130' INT
trap 'stop_cuewire 143' TERM
started=$SECONDS
status=0
start_cuewire
wait "$cuewire_pid" && status=0 || status=$?
# A signal cuts the wait short; wait again until Cuewire has really ended.
while kill -0 "$cuewire_pid" 2>/dev/null; do
    wait "$cuewire_pid" && status=0 || status=$?
done
took=$((SECONDS - started))
# The watcher has ended by itself once it saw a window.
kill "$watcher_pid" 2>/dev/null || true
wait "$watcher_pid" 2>/dev/null || true
watcher_pid=
[ -z "$stopped_by" ] || exit "$stopped_by"

if [ ! -e "$window_seen" ] && [ "$took" -lt 20 ]; then
    cat >&2 <<MESSAGE
run: Cuewire ended after $took s (exit status $status) without showing a window.
run: To see why, run it again with Wine's messages on, for example
       WINEDEBUG=err+all,warn+all,+loaddll ./tools/run.sh 2>wine.log
     and read wine.log. One known cause is a Wine prefix created without a
     display: remove $WINEPREFIX and run again to create it afresh.
MESSAGE
    exit 1
fi
exit "$status"
