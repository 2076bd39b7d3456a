#!/usr/bin/env bash
# Without the NDI runtime the panel says "Cannot run NDI." and stays open but
# inert: it never numbers itself, and Exit still ends it.
source "$(dirname "$0")/copies.sh"

alone=$E2E_TEST_OUT/alone
mkdir -p "$alone" && cp "$CUEWIRE" "$alone/" || fail "cannot stage cuewire.exe alone"
start_win_bg "$E2E_TEST_OUT/alone.log" "$alone/cuewire.exe"
pid=$BG_PID

wait_for 20 find_window "Cuewire" || fail "no 'Cannot run NDI.' box"
box=$FOUND
expect_eq "Cannot run NDI." "$(probe text "$box" 65535)" "message"
probe click "$box" 1 || fail "cannot press OK"

wait_for 10 find_window "NDI Cuewire" || fail "the panel did not stay open"
hwnd=$FOUND
sleep 4
expect_eq "NDI Cuewire" "$(probe text "$hwnd" 0)" "title of the inert panel"
control_is_enabled "$hwnd" 1012 && fail "+Alpha is usable in the inert panel"

exit_copy "$hwnd" 1
wait_for 20 process_ended "$pid" || fail "the inert panel did not end after OK"
