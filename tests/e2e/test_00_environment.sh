#!/usr/bin/env bash
# The ground every other test stands on: no network but loopback (the NDI
# runtime must not announce itself anywhere), the runtime file in place, and a
# Windows console program's output reaching us through Wine.
source "$(dirname "$0")/lib.sh"

interfaces=$(ip -o link show | awk -F': ' '{print $2}' | sed 's/@.*//' | sort | tr '\n' ' ')
expect_eq "lo " "$interfaces" "network interfaces in the test namespace"
ip route show table all | grep -q '^multicast 224.0.0.0/4\|224.0.0.0/4 dev lo' ||
    fail "no multicast route on loopback"
[ -f "$NDI_DLL" ] || fail "no NDI runtime at $NDI_DLL"

out=$(run_win 60 cmd /c echo console-ok) || fail "wine cmd failed"
expect_eq "console-ok" "$out" "console output through Wine"

# A helper that crashes ends at once, and a failing test's line names the
# crash, instead of waiting out its limit behind a crash box that would take
# the keyboard from every later key press.
run_win 30 "$WIN_PROBE" crash >/dev/null 2>&1
status=$?
case $status in
    0) fail "win-probe crash ended as if it had not crashed" ;;
    124 | 137) fail "a crashing helper waited out its limit" ;;
esac
why=$(failed_call)
[[ $why == *"crashed, exit $status"* ]] || fail "the failing line does not name the crash:$why"
run_win 30 "$WIN_PROBE" find "Program Error" >/dev/null 2>&1 &&
    fail "a crash box is open"
echo "a crash ends with exit $status:$why"

# A helper that Wine cannot start names Wine's reason in the failing line, and
# a failed test leaves its log and its helpers' calls in the runner's own
# output, which is all that CI keeps. The fixture's helper imports a DLL it is
# not given; beside that DLL it starts, so the missing file is the only cause.
missing_import=$BUILD_DIR/tests/win/missing-import/missing-import.exe
out=$(run_win 30 "$missing_import") || fail "missing-import does not start beside its DLL"
expect_eq "answer 42" "$out" "missing-import beside its DLL"
report=$(E2E_SUITE_DIR=$E2E_ROOT/fixtures/failing E2E_FILTER= E2E_OUT=$E2E_TEST_OUT/inner \
    "$E2E_ROOT/run-all.sh" "$BUILD_DIR" 2>&1) && fail "a runner whose only test fails passed"
printf '%s\n' "$report" >"$E2E_TEST_OUT/inner-runner.txt"
failing_line=$(grep -m 1 '^FAIL: missing-import did not start' <<<"$report")
[[ $failing_line == *"from Wine: "*"absent-import.dll"* ]] ||
    fail "the failing line does not give Wine's reason: ${failing_line:-no FAIL line} (see inner-runner.txt)"
after_summary=$(sed -n '/^run-all: 0 passed, 1 failed$/,$p' <<<"$report")
grep -q '^fixture-log-marker: before the helper$' <<<"$after_summary" ||
    fail "the failed test's log is not in the runner's output after its summary (see inner-runner.txt)"
grep -Eq 'status [1-9][0-9]* missing-import\.exe' <<<"$after_summary" ||
    fail "the failed test's helper calls are not in the runner's output (see inner-runner.txt)"
echo "a helper Wine cannot start:${failing_line#FAIL: missing-import did not start}"
