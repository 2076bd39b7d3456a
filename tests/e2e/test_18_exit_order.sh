#!/usr/bin/env bash
# A confirmed exit hands the sender a null frame before anything is released,
# frees the buffers, destroys the sender and then the runtime, and the process
# ends. The program runs beside a recording stand-in of the NDI runtime, which
# logs every call and publishes nothing.
source "$(dirname "$0")/lib.sh"

stand_in=$BUILD_DIR/tests/win/recording-runtime/Processing.NDI.Lib.x64.dll
probe=$BUILD_DIR/tests/win/win-probe/win-probe.exe
[ -f "$stand_in" ] || fail "not built: $stand_in"
[ -f "$probe" ] || fail "not built: $probe"

dir=$E2E_TEST_OUT/run
mkdir -p "$dir"
cp "$BUILD_DIR/app/win/cuewire.exe" "$stand_in" "$dir/" || fail "cannot stage the program"
calls=$dir/ndi-calls.log
export CUEWIRE_NDI_CALL_LOG
CUEWIRE_NDI_CALL_LOG=$(win_path "$calls")

start_win_bg "$E2E_TEST_OUT/cuewire.log" "$dir/cuewire.exe"
program=$BG_PID

# The start-up frame, then at least one re-send a second later.
wait_for 30 log_has "$calls" '^send_video [01] 1280x720$' 2 || fail "no frames were sent"

note "Exit, then OK"
# Found afresh for each try: a window of an earlier test may still be closing.
click_exit() {
    local panel
    panel=$(run_win 20 "$probe" find "Bryvo Cuewire for NDI® - No 1") &&
        run_win 20 "$probe" click "$panel" 1 >/dev/null
}
wait_for 20 click_exit || fail "cannot click Exit"
question() { run_win 20 "$probe" find "Quit Cuewire" >"$E2E_TEST_OUT/box.hwnd"; }
wait_for 15 question || fail "Exit did not ask before leaving"
run_win 20 "$probe" text "$(cat "$E2E_TEST_OUT/box.hwnd")" 65535 | grep -q "OK to exit?" \
    || note "(the question's text control could not be read; the title matched)"
run_win 20 "$probe" click "$(cat "$E2E_TEST_OUT/box.hwnd")" 1 >/dev/null || fail "cannot press OK"

ended() { ! kill -0 "$program" 2>/dev/null; }
wait_for 20 ended || fail "the process did not end after a confirmed exit"

cat "$calls" >"$E2E_TEST_OUT/calls.txt"
expect_eq "initialize" "$(head -n 1 "$calls")" "first call"
grep -q '^send_create Bryvo Cuewire 1$' "$calls" || fail "no sender named Bryvo Cuewire 1"
grep -Eq '^send_add_connection_metadata [0-9]+ <ndi_product long_name=' "$calls" || fail "no product metadata"
expect_eq "send_video null|send_destroy|destroy" "$(tail -n 3 "$calls" | paste -sd '|')" "the last calls"
