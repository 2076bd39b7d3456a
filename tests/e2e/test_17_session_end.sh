#!/usr/bin/env bash
# The end of the Windows session releases the NDI side as a confirmed Exit
# does, without asking: the sender gets its null frame and is destroyed, the
# runtime is shut down, and a receiver sees the source go. Wine's end-of-session
# request (wineboot --end-session) stands for a logoff or a shutdown.
source "$(dirname "$0")/copies.sh"

stand_in=$BUILD_DIR/tests/win/recording-runtime/Processing.NDI.Lib.x64.dll
[ -f "$stand_in" ] || fail "not built: $stand_in"

# end_session PID: Wine's end-of-session request, then PID must end by itself.
end_session() {
    local asked
    asked=$(date +%s%N)
    timeout --kill-after=5 60 wineboot --end-session >"$E2E_TEST_OUT/wineboot.log" 2>&1 ||
        fail "wineboot --end-session failed: $(tail -n 1 "$E2E_TEST_OUT/wineboot.log")"
    wait_for 20 process_ended "$1" || fail "the program outlived the end of the session"
    note "ended $((($(date +%s%N) - asked) / 1000000)) ms after the session's end was asked"
}

note "the runtime's calls, with the recording stand-in"
dir=$E2E_TEST_OUT/recorded
mkdir -p "$dir"
cp "$BUILD_DIR/app/win/cuewire.exe" "$stand_in" "$dir/" || fail "cannot stage the program"
calls=$dir/ndi-calls.log
CUEWIRE_NDI_CALL_LOG=$(win_path "$calls") start_win_bg "$E2E_TEST_OUT/recorded.log" "$dir/cuewire.exe"
recorded=$BG_PID
wait_for 30 log_has "$calls" '^send_video [01] 1280x720$' 2 || fail "no frames were sent"
end_session "$recorded"
cp "$calls" "$E2E_TEST_OUT/calls.txt"
expect_eq "send_video null|send_destroy|destroy" "$(tail -n 3 "$calls" | paste -sd '|')" \
    "the last calls"
find_window "Quit Cuewire" && fail "the end of the session asked 'OK to exit?'"

note "the real runtime, watched by a receiver"
start_copy
panel 1 >/dev/null
watch=$E2E_TEST_OUT/receiver.log
start_win_bg "$watch" "$NDI_MONITOR" --address 127.0.0.1:5961 --seconds 90
receiver=$BG_PID
wait_for 40 log_has "$watch" '^frame ' 2 || fail "the receiver saw no frames"
end_session "$COPY_PID"
before=$(grep -c '^frame ' "$watch")
sleep 3
after=$(grep -c '^frame ' "$watch")
note "frames seen: $before when the program had ended, $after three seconds later"
expect_eq "$before" "$after" "frames after the program ended"
stop_bg "$receiver"
if run_win 30 "$NDI_MONITOR" --address 127.0.0.1:5961 --frames 1 --seconds 5 >/dev/null; then
    fail "a fresh receiver still found a source"
fi
note "the source is gone"
