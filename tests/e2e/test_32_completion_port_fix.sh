#!/usr/bin/env bash
# The Wine completion-port fix on a stand-in for the runtime's ports: closing a
# port wakes every waiter as abandoned, packets and timeouts are unchanged.
source "$(dirname "$0")/lib.sh"

tests=$BUILD_DIR/tests/win/completion-port-fix/completion_port_fix_test.exe
[ -f "$tests" ] || fail "not built: $tests"
run_win 120 "$tests" --gtest_output="xml:$(win_path "$E2E_TEST_OUT/completion_port_fix_test.xml")" |
    tee "$E2E_TEST_OUT/completion_port_fix_test.log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || fail "completion_port_fix_test exited with $status"
