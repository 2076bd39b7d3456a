#!/usr/bin/env bash
# Key to wire: from a real F3 press (slot 1 goes live) to the first frame an
# NDI receiver gets that shows the text, over many presses; Escape between
# presses takes the text off again (its own delay is reported too). Both ends
# read the host's wall clock: win-probe stamps the moment it hands the key to
# SendInput, ndi-monitor the moment a frame arrives. A frame shows the text
# when pixels with alpha are in it (the box); an empty frame has none.
#
#   tests/bench/key-to-wire.sh [BUILD_DIR]      (default build/windows)
#
# $BENCH_PRESSES sets the number of F3 presses (default 50). It runs through
# the end-to-end runner (loopback-only network namespace, virtual display, own
# Wine prefix); the figures are printed at the end and kept with every
# press's delay in <BUILD_DIR>/bench-out/key-to-wire/. Each composition waits
# 500 ms before it sends, so that is the floor. Noisy on a shared machine: the
# load average is printed beside the figures.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bench_through_runner key-to-wire $((12 * ${BENCH_PRESSES:-50} + 240)) report.txt "${1:-}"

source "$E2E_ROOT/copies.sh"
presses=${BENCH_PRESSES:-50}
report=$E2E_TEST_OUT/report.txt
monitor_log=$E2E_TEST_OUT/monitor.log
delays=$E2E_TEST_OUT/delays.txt

# press KEY WANT: presses KEY and prints its delay to the first WANT frame.
press() {
    local sent arrived
    sent=$(timed_key "$1") || exit 1
    wait_for 10 frame_after "$monitor_log" "$sent" "$2" >/dev/null || fail "no $2 frame within 10 s of $1"
    arrived=$(frame_after "$monitor_log" "$sent" "$2")
    echo $((arrived - sent))
}

# stats LABEL FILE: min, median, p90 (nearest rank) and max of the numbers in FILE.
stats() {
    sort -n "$2" | awk -v label="$1" '
        { v[++n] = $1 }
        END {
            if (n == 0) { print label ": no values"; exit }
            median = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
            p90 = v[int(0.9 * n) + (0.9 * n > int(0.9 * n))]
            printf "%s (%d presses, ms): min %d  median %g  p90 %d  max %d\n", label, n, v[1], median, p90, v[n]
        }'
}

start_first_copy
hwnd=$FOUND
wait_until_typing_works "$hwnd"
type_into "$hwnd" $IDC_SLOT_EDIT_1 "Key to wire"
wait_for 40 window_gone "$SUPPORT_TITLE" || fail "the support dialog stayed"

start_receiver "$monitor_log"

load0=$(cut -d' ' -f1 /proc/loadavg)
: >"$delays"
: >"$delays.escape"
for i in $(seq "$presses"); do
    shown=$(press F3 text) || exit 1
    cleared=$(press Escape empty) || exit 1
    echo "$shown" >>"$delays"
    echo "$cleared" >>"$delays.escape"
    note "press $i: F3 -> text ${shown} ms, Escape -> empty ${cleared} ms"
done
load1=$(cut -d' ' -f1 /proc/loadavg)

say "Cuewire key to wire, $(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version)," \
    "load average ${load0} -> ${load1} on $(nproc) cores"
stats "F3 to the first frame with the text" "$delays" | tee -a "$report"
stats "Escape to the first empty frame" "$delays.escape" | tee -a "$report"
