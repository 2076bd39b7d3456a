#!/usr/bin/env bash
# The Wine completion-port fix on a stand-in for the runtime's ports: closing a
# port wakes every waiter as abandoned, packets and timeouts are unchanged.
source "$(dirname "$0")/lib.sh"

run_gtest 120 "$BUILD_DIR/tests/win/completion-port-fix/completion_port_fix_test.exe"
