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

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

as_root ./tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

stage=$repo/build/windows/run
mkdir -p "$stage"
cp build/windows/app/win/cuewire.exe .cache/third_party/Processing.NDI.Lib.x64.dll "$stage/"
cp build/windows/app/win/LibreFranklin-OFL.txt "$stage/"

export WINEPREFIX=${WINEPREFIX:-$repo/.cache/wine}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=${LC_ALL:-C.UTF-8}
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1

xvfb_pid=
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
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT

if [ "${CUEWIRE_NETWORK:-}" = open ]; then
    wine "$stage/cuewire.exe"
else
    echo "run: NDI sources stay on this machine (loopback only); CUEWIRE_NETWORK=open publishes them."
    isolate=(unshare --net)
    [ "$(id -u)" = 0 ] || isolate=(unshare --user --map-root-user --net)
    "${isolate[@]}" -- bash -c '
        ip link set lo up && ip link set lo multicast on && ip route add 224.0.0.0/4 dev lo
        exec "$@"' run wine "$stage/cuewire.exe"
fi
