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
