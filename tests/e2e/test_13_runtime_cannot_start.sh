#!/usr/bin/env bash
# A runtime that is there but cannot run: one whose NDIlib_initialize returns
# false, and one that lacks a function the program needs. Either way the panel
# says "Cannot run NDI.", stays open but inert, asks the runtime for nothing
# more, and Exit still ends it cleanly without shutting down a runtime that
# never started. The stand-ins log every call they get.
source "$(dirname "$0")/faults.sh"

incomplete=$BUILD_DIR/tests/win/recording-runtime/incomplete/Processing.NDI.Lib.x64.dll

# case NAME DLL FAULT EXPECTED_CALLS: EXPECTED_CALLS is the whole call log, one
# call per line joined with '|'.
case_() {
    local name=$1 dll=$2 fault=$3 expected=$4
    note "$name"
    local exe
    exe=$(stage_beside "$name" "$BUILD_DIR/app/win/cuewire.exe" "$dll") || exit 1
    local calls=$E2E_TEST_OUT/$name/ndi-calls.log
    : >"$calls"
    CUEWIRE_NDI_CALL_LOG=$(win_path "$calls") CUEWIRE_NDI_FAULT=$fault \
        start_watched "$E2E_TEST_OUT/$name.log" "$exe"
    expect_inert_panel "$E2E_TEST_OUT/$name.log" "Cannot run NDI."
    expect_clean_exit "$INERT_PANEL" "$name"
    local seen
    seen=$(paste -sd '|' "$calls")
    note "calls: ${seen:-none}"
    expect_eq "$expected" "$seen" "$name: the calls the runtime got"
}

case_ initialize-fails "$RECORDING_RUNTIME" initialize "initialize"
case_ function-missing "$incomplete" "" ""
