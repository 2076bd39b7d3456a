#!/usr/bin/env bash
# The colour button and indicator drawn by the platform they run on: fills,
# frame edges, caption placement, the held-down offset, literal ampersands, the
# right-click notification and the system font of the indicator.
source "$(dirname "$0")/lib.sh"

tests=$BUILD_DIR/tests/win/colour-controls/colour_controls_test.exe
[ -f "$tests" ] || fail "not built: $tests"
run_win 120 "$tests" --gtest_output="xml:$(win_path "$E2E_TEST_OUT/colour_controls_test.xml")" \
    | tee "$E2E_TEST_OUT/colour_controls_test.log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || fail "colour_controls_test exited with $status"
