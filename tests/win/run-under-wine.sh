#!/usr/bin/env bash
# Runs one Windows test program under Wine for CTest (ctest --test-dir
# build/windows), the quick loop beside the end-to-end scripts that also run it:
#
#   tests/win/run-under-wine.sh PREFIX_DIR EXE [ARGS...]
#
# It gives the program what the end-to-end runner would: a network namespace
# whose only interface is loopback, a virtual display of its own, and a Wine
# prefix (PREFIX_DIR, made on first use, kept between runs) without the crash
# box and with Wine's Tahoma. Its exit status is the program's.
set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX_DIR EXE [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# The namespace comes first, so that nothing the program loads can announce
# itself beyond this machine.
source "$repo/tests/e2e/isolation.sh"
enter_loopback_namespace "$@"

export WINEPREFIX=$(realpath -m "$1")
shift
export WINEDEBUG=-all,err+all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
# A prefix made without a display misbehaves later, so it gets one too.
on_display=(xvfb-run --auto-servernum --server-args="-nolisten tcp -screen 0 1920x1080x24")

# Programs run side by side (ctest -j) make the prefix once, one at a time.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.cuewire-ready" ]; then
    mkdir -p "$WINEPREFIX"
    if ! { "${on_display[@]}" wineboot -i && wineserver -w &&
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
        "$repo/tools/wine-fonts.sh"; } >"$WINEPREFIX/wineboot.log" 2>&1; then
        echo "run-under-wine: cannot make the Wine prefix $WINEPREFIX (see its wineboot.log)" >&2
        exit 2
    fi
    touch "$WINEPREFIX/.cuewire-ready"
fi
flock -u 9
exec 9>&-

# The display outlives Wine's server, so that no Wine process loses its X
# connection on the way out.
"${on_display[@]}" bash -c 'wine "$@"; status=$?; wineserver -w; exit $status' run-under-wine "$@"
