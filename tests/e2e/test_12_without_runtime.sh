#!/usr/bin/env bash
# Without the NDI runtime the panel says "Cannot run NDI." and stays open but
# inert: it never numbers itself, and Exit still ends it cleanly.
source "$(dirname "$0")/faults.sh"

exe=$(stage_beside alone "$BUILD_DIR/app/win/cuewire.exe") || exit 1
start_watched "$E2E_TEST_OUT/alone.log" "$exe"
expect_inert_panel "$E2E_TEST_OUT/alone.log" "Cannot run NDI."
expect_clean_exit "$INERT_PANEL" alone
