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

if [ -z "${E2E_PIDFILE:-}" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/runner.sh"
    bench_through_runner "$0" key-to-wire $((12 * ${BENCH_PRESSES:-50} + 240)) report.txt "${1:-}"
    exit $?
fi

source "$E2E_ROOT/copies.sh"
presses=${BENCH_PRESSES:-50}
report=$E2E_TEST_OUT/report.txt
monitor_log=$E2E_TEST_OUT/monitor.log
delays=$E2E_TEST_OUT/delays.txt
# A 1280 x 720 frame with the box has over 100,000 pixels with alpha.
text_pixels=10000

say() {
    echo "$*" | tee -a "$report"
}

# frame_after MS WANT: the arrival time of the first frame received at or after
# MS that shows text (WANT text) or shows nothing (WANT empty); fails if none yet.
frame_after() {
    awk -v since="$1" -v want="$2" -v limit="$text_pixels" '
        $1 == "frame" {
            at = 0; covered = -1
            for (i = 2; i <= NF; i++) {
                if ($i ~ /^at=/) at = substr($i, 4) + 0
                if ($i ~ /^covered=/) covered = substr($i, 9) + 0
            }
            if (at < since || covered < 0) next
            if ((want == "text" && covered >= limit) || (want == "empty" && covered == 0)) {
                printf "%.0f\n", at; found = 1; exit
            }
        }
        END { exit !found }' "$monitor_log"
}

# press KEY WANT: presses KEY and prints its delay to the first WANT frame.
press() {
    local sent arrived
    sent=$(probe timed-keys "$1" | awk '$1 == "sent" { sub(/^at=/, "", $3); print $3 }')
    [ -n "$sent" ] || fail "win-probe did not press $1"
    wait_for 10 frame_after "$sent" "$2" >/dev/null || fail "no $2 frame within 10 s of $1"
    arrived=$(frame_after "$sent" "$2")
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

start_copy
# Wine starts slowly on a loaded machine: give the panel longer than the tests do.
wait_for 90 find_window "${TITLE_PREFIX}1" || fail "no panel numbered 1"
hwnd=$FOUND
wait_until_typing_works "$hwnd"
probe mouse "$hwnd" 1033 && probe type "Key to wire" || fail "cannot type into slot 1"
expect_text "$hwnd" 1033 "Key to wire"
wait_for 40 window_gone "How you can support" || fail "the support dialog stayed"

start_win_bg "$monitor_log" "$NDI_MONITOR" --address 127.0.0.1:5961
wait_for 30 log_has "$monitor_log" '^frame ' || fail "the receiver got no frame"

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
