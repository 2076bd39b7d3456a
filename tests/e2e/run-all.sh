#!/usr/bin/env bash
# Runs the end-to-end tests under Wine: every tests/e2e/test_*.sh in name order.
# A test's tens say its subject, so that name order runs the ground first:
# 0x the environment, 1x a copy's start and end, 2x the operator's actions,
# 3x the output and the NDI runtime, 4x the link, 5x copies side by side,
# 6x texts, 7x what the screen shows, 8x soaks, 9x the release.
#
#   tests/e2e/run-all.sh [--repeat N] [BUILD_DIR] [FILTER]
#
# BUILD_DIR defaults to build/windows (a lone argument that is not a folder is
# the FILTER). FILTER (or $E2E_FILTER) is a grep -E pattern on the test file
# names; only matching tests run. --repeat N runs the selection N times in a
# row, to hunt tests that fail by chance; it ends with, for each test, how many
# runs failed and the first line of each failure. Every run's logs and
# artefacts stay in $E2E_OUT (run-<i>/ when repeating) until the next start;
# after the summary, the runner prints the end of each failed test's log and
# the calls of its Windows helpers ($E2E_REPORT_LINES lines of log, default
# 60), because CI keeps nothing but that output. $E2E_TIMEOUT is the
# limit for one test in seconds (default 300); a test that needs longer says so
# in a line "# e2e-timeout: SECONDS", and the larger limit holds.
# $E2E_SUITE_DIR and $E2E_SUITE_GLOB choose other scripts to run the same way
# (default: this folder's test_*.sh), such as benchmarks; $E2E_OUT moves the
# artefacts.
#
# The runner gives itself a loopback-only network namespace first, so that the
# NDI runtime's announcements never leave this machine, then an X server on a
# free display and a Wine prefix of its own. Every process it started is
# stopped when it ends, also on failure or Ctrl-C.
set -uo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$E2E_ROOT/../.." && pwd)

source "$E2E_ROOT/isolation.sh"
enter_loopback_namespace "$@"

repeat=1
if [ "${1:-}" = --repeat ]; then
    repeat=${2:-}
    shift 2 || true
    if ! [[ $repeat =~ ^[1-9][0-9]*$ ]]; then
        echo "run-all: --repeat takes a number of runs" >&2
        exit 2
    fi
fi
if [ $# -eq 1 ] && [ ! -d "$1" ] && [ ! -d "$repo/$1" ]; then
    set -- build/windows "$1"
fi
build_arg=${1:-build/windows}
case $build_arg in
    /*) BUILD_DIR=$build_arg ;;
    *) BUILD_DIR=$repo/$build_arg ;;
esac
filter=${2:-${E2E_FILTER:-}}
test_timeout=${E2E_TIMEOUT:-300}

if [ ! -d "$BUILD_DIR" ]; then
    echo "run-all: no build folder $BUILD_DIR (cmake --preset windows && cmake --build build/windows)" >&2
    exit 2
fi

export E2E_ROOT BUILD_DIR
export NDI_DLL=${NDI_DLL:-$repo/.cache/third_party/Processing.NDI.Lib.x64.dll}
export E2E_OUT=${E2E_OUT:-$BUILD_DIR/e2e-out}
# Wine's error channel stays on: a DLL the loader cannot find, a server it
# cannot reach or a crash before main then names itself on the helper's stderr,
# where a failing line quotes it (lib.sh). Everything else Wine says is off.
export WINEDEBUG=-all,err+all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT"

work=$(mktemp -d /tmp/cuewire-e2e.XXXXXX)
export WINEPREFIX=$work/prefix
# Tests append the PIDs of what they start in the background here (lib.sh).
export E2E_PIDFILE=$work/pids
: >"$E2E_PIDFILE"
xvfb_pid=
test_pid=

# Stops what the tests started, by PID, then this prefix's Wine processes.
stop_test_processes() {
    local pid
    while read -r pid; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done <"$E2E_PIDFILE"
    : >"$E2E_PIDFILE"
    # Wait for the server to go, so that no window of this test outlives it.
    [ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
    return 0
}

cleanup() {
    trap - EXIT INT TERM
    [ -n "$test_pid" ] && kill "$test_pid" 2>/dev/null
    stop_test_processes
    [ -d "$WINEPREFIX" ] && wineserver -w 2>/dev/null
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    remove_wineserver_folder "$WINEPREFIX"
    rm -rf "$work"
}

trap cleanup EXIT
trap 'echo "run-all: interrupted" >&2; exit 130' INT TERM

# The first display whose lock file is free; Xvfb takes the lock itself, so a
# parallel run that races us for the same number makes ours fail: try the next.
start_xvfb() {
    local n
    for n in $(seq 0 99); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -nolisten tcp -screen 0 1920x1080x24 >"$E2E_OUT/xvfb.log" 2>&1 &
        xvfb_pid=$!
        local i
        for i in $(seq 50); do
            if [ -S "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    return 1
}

if ! start_xvfb; then
    echo "run-all: could not start Xvfb" >&2
    exit 2
fi
echo "run-all: display $DISPLAY, prefix $WINEPREFIX, artefacts $E2E_OUT"
if ! wineboot -i >"$E2E_OUT/wineboot.log" 2>&1 || ! wineserver -w; then
    echo "run-all: wineboot failed (see $E2E_OUT/wineboot.log)" >&2
    exit 2
fi
# A Windows program that crashes would otherwise sit behind Wine's "Program
# Error" box: silent until its helper's time limit, with the box holding the
# keyboard for every key press after it. Without the box the crash ends the
# process at once, with "wine: Unhandled ..." on its stderr for fail() to quote.
if ! wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$E2E_OUT/wineboot.log" 2>&1; then
    echo "run-all: cannot turn off Wine's crash box (see $E2E_OUT/wineboot.log)" >&2
    exit 2
fi
# Dialog units as on Windows: see tools/wine-fonts.sh.
if ! "$repo/tools/wine-fonts.sh"; then
    echo "run-all: cannot give the prefix Wine's Tahoma (tools/setup.sh installs fonts-wine)" >&2
    exit 2
fi

tests=()
suite_dir=${E2E_SUITE_DIR:-$E2E_ROOT}
for t in "$suite_dir"/${E2E_SUITE_GLOB:-test_*.sh}; do
    [ -e "$t" ] || continue
    name=$(basename "$t" .sh)
    if [ -n "$filter" ] && ! grep -Eq -- "$filter" <<<"$name"; then
        continue
    fi
    tests+=("$t")
done
if [ ${#tests[@]} -eq 0 ]; then
    echo "run-all: no test matches '${filter}'" >&2
    exit 2
fi

# failure_line LOG: the first line of the test's log that says why it failed.
failure_line() {
    grep -m 1 '^FAIL' "$1" || tail -n 1 "$1"
}

# run_test SCRIPT OUT: runs one test with its log and artefacts under OUT; true
# when it passed. Prints its PASS or FAIL line.
run_test() {
    local t=$1 out=$2 name log start limit status took why
    name=$(basename "$t" .sh)
    export E2E_TEST_OUT=$out/$name
    mkdir -p "$E2E_TEST_OUT"
    log=$out/$name.log
    start=$(date +%s)
    limit=$(sed -n 's/^# e2e-timeout: *\([0-9][0-9]*\) *$/\1/p' "$t" | head -n 1)
    [ -n "$limit" ] && [ "$limit" -gt "$test_timeout" ] || limit=$test_timeout
    # In the background, so that Ctrl-C reaches the trap at once.
    timeout --kill-after=10 "$limit" bash "$t" >"$log" 2>&1 &
    test_pid=$!
    wait "$test_pid"
    status=$?
    test_pid=
    stop_test_processes
    took=$(($(date +%s) - start))
    if [ "$status" -eq 0 ]; then
        echo "PASS $name (${took}s)"
        return 0
    fi
    [ "$status" -eq 124 ] && why="timed out after ${limit}s" || why="exit $status"
    echo "FAIL $name (${took}s, $why; log $log)"
    tail -n 15 "$log" | sed 's/^/    /'
    echo "$why: $(failure_line "$log") (log $log)" >>"$work/failures-$name"
    echo "$name $out" >>"$work/failed-tests"
    return 1
}

# report_failures: for every test that failed, the end of its log and its
# Windows helpers' calls. CI keeps only what the runner prints, not the
# artefacts, so this is all a failed run leaves to diagnose it by.
report_failures() {
    [ -s "$work/failed-tests" ] || return 0
    local name out
    while read -r name out; do
        echo
        echo "==== $name: the last $report_lines lines of $out/$name.log"
        tail -n "$report_lines" "$out/$name.log"
        echo "==== $name: its Windows helpers (time, seconds, status, call)"
        if [ -s "$out/$name/win-calls.log" ]; then
            cat "$out/$name/win-calls.log"
        else
            echo "(none ran)"
        fi
        # What Wine said of the programs the test started in the background.
        local err
        for err in "$out/$name"/*.err; do
            [ -s "$err" ] || continue
            echo "==== $name: the last 10 lines of $(basename "$err")"
            tail -n 10 "$err"
        done
    done <"$work/failed-tests"
}
report_lines=${E2E_REPORT_LINES:-60}

failed_runs=0
for run in $(seq "$repeat"); do
    out=$E2E_OUT
    if [ "$repeat" -gt 1 ]; then
        out=$E2E_OUT/run-$run
        echo "run-all: run $run of $repeat"
    fi
    passed=0
    failed=0
    for t in "${tests[@]}"; do
        if run_test "$t" "$out"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
        fi
    done
    echo "run-all: ${passed} passed, ${failed} failed"
    [ "$failed" -eq 0 ] || failed_runs=$((failed_runs + 1))
done

if [ "$repeat" -gt 1 ]; then
    echo "run-all: $repeat runs, $failed_runs with failures"
    for t in "${tests[@]}"; do
        name=$(basename "$t" .sh)
        record=$work/failures-$name
        count=0
        [ -f "$record" ] && count=$(wc -l <"$record")
        echo "  $name: $count of $repeat runs failed"
        [ "$count" -gt 0 ] && sed 's/^/      /' "$record"
    done
fi
report_failures
[ "$failed_runs" -eq 0 ]
