#!/usr/bin/env bash
# Another program pretends to be copies. Beside a squatter holding the named
# objects of numbers 1 to 8 (and answering nothing), a lone copy can claim no
# number, and its question says that no copy answered for any of them. Beside a
# program that answers every discovery request as copies 1 to 8, a lone copy
# becomes No 1 and asks nothing: a reply counts only beside its claim.
# e2e-timeout: 300
source "$(dirname "$0")/copies.sh"

FORGER=$BUILD_DIR/tests/win/link-forger/link-forger.exe

note "a squatter holds every number's claim"
squatter_log=$E2E_TEST_OUT/squatter.log
start_win_bg "$squatter_log" "$FORGER" --replies 0 --squat 8
squatter=$BG_PID
wait_for 30 log_has "$squatter_log" '^listening' || fail "the squatter did not start: $(cat "$squatter_log.err")"
expect_eq 8 "$(grep -c '^squatted Global\\' "$squatter_log")" "machine-wide objects the squatter holds"
start_copy
squatted=$COPY_PID
wait_for 60 find_window "Quit Cuewire" || fail "the copy beside the squatter did not ask"
box=$FOUND
expect_eq "No copy number is free.
Copies on this desktop answered for: -
No copy answered for: 1, 2, 3, 4, 5, 6, 7, 8 (held by a copy still starting, a copy in another session, or another program)

OK to exit?" "$(probe text "$box" 65535)" "question"
probe click "$box" 1 || fail "cannot answer the question"
wait_for 30 process_ended "$squatted" || fail "the copy did not end on OK"
stop_bg "$squatter"

note "a forger answers every request as copies 1 to 8"
forger_log=$E2E_TEST_OUT/forger.log
start_win_bg "$forger_log" "$FORGER" --replies 8
wait_for 30 log_has "$forger_log" '^listening' || fail "the forger did not start"
start_copy
panel 1 >/dev/null || { probe windows; exit 1; }
log_has "$forger_log" '^answered ' || fail "the forger never heard the copy's request"
note "the forger answered: $(grep '^answered ' "$forger_log" | paste -sd ' ')"
window_gone "Quit Cuewire" || fail "the copy beside the forger asked to exit"
expect_eq 0 "$(count_windows "${TITLE_PREFIX}[2-8]")" "panels numbered 2 to 8"
