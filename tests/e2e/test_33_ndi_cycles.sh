#!/usr/bin/env bash
# Destroying and re-creating the sender, as every video-mode change does, with
# the runtime loaded (and under Wine fixed) by the program's own loader: every
# destroy returns, the re-created sender reaches a fresh receiver, and the
# process does not gather threads over many cycles.
source "$(dirname "$0")/lib.sh"

run=$E2E_TEST_OUT/run
cycles=$(stage_program "$BUILD_DIR/tests/win/ndi-cycles/ndi-cycles.exe" "$run") || exit 1
monitor=$(stage_program "$BUILD_DIR/tools/ndi-monitor/ndi-monitor.exe" "$run") || exit 1
cd "$run" || fail "no run folder"

note "each re-created sender is received by a fresh receiver"
log=$E2E_TEST_OUT/received-cycles.log
count=3
start_win_bg "$log" "$cycles" --cycles $count --hold-ms 4000 --wait-receiver-ms 30000
sender=$BG_PID
for i in $(seq $count); do
    wait_for 60 log_has "$log" "^cycle $i created" || fail "cycle $i: no sender (see $log)"
    received=$E2E_TEST_OUT/monitor-$i.log
    run_win 45 "$monitor" --address 127.0.0.1:5961 --frames 2 --seconds 30 >"$received" ||
        fail "cycle $i: the receiver got no frames (see $received)"
    grep -q "^metadata <cuewire_cycle n=\"$i\"/>\$" "$received" ||
        fail "cycle $i: the receiver did not reach this cycle's sender"
    grep -Eq '^frame 2 1280x720 BGRA 30000/1200 ' "$received" ||
        fail "cycle $i: unexpected frames: $(grep -m1 '^frame' "$received")"
    wait_for 30 log_has "$log" "^cycle $i destroyed" || fail "cycle $i: NDIlib_send_destroy did not return"
done
wait_for 30 log_has "$log" '^done$' || fail "the runtime did not shut down"
wait "$sender" || fail "ndi-cycles failed"

note "threads over many cycles without receivers"
log=$E2E_TEST_OUT/quick-cycles.log
run_win 180 "$cycles" --cycles 20 --hold-ms 200 >"$log" || fail "quick cycles failed (see $log)"
grep '^threads-started-in' "$log" || true
expect_eq 20 "$(grep -c '^cycle [0-9]* destroyed' "$log")" "destroys that returned"
threads=($(sed -n 's/^cycle [0-9]* destroyed .*threads=\([0-9-]*\)$/\1/p' "$log"))
[ "${threads[0]}" -gt 0 ] || fail "no thread count"
# A destroy that leaves its worker threads behind adds several each cycle.
[ "${threads[-1]}" -le $((threads[0] + 2)) ] ||
    fail "threads grew from ${threads[0]} to ${threads[-1]} over 20 cycles"

# The figures for the record (measured, not asserted).
sed -n 's/^cycle [0-9]* destroyed ms=\([0-9.]*\).*/\1/p' "$E2E_TEST_OUT"/*-cycles.log |
    sort -n | awk '{v[NR]=$1; s+=$1} END {printf "destroy ms: n=%d min=%.1f median=%.1f max=%.1f mean=%.1f\n", NR, v[1], v[int((NR+1)/2)], v[NR], s/NR}' |
    tee "$E2E_TEST_OUT/figures.txt"
echo "threads after each destroy: ${threads[*]}" | tee -a "$E2E_TEST_OUT/figures.txt"
