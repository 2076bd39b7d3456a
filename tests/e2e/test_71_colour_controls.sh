#!/usr/bin/env bash
# The colour button and indicator drawn by the platform they run on: fills,
# frame edges, caption placement, the held-down offset, literal ampersands, the
# right-click notification and the system font of the indicator.
source "$(dirname "$0")/lib.sh"

run_gtest 120 "$BUILD_DIR/tests/win/colour-controls/colour_controls_test.exe"
