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
