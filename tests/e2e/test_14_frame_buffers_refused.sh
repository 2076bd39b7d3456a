#!/usr/bin/env bash
# A frame buffer that cannot be had: the panel says "NDI_frame creation
# problem", stays open but inert, and Exit still ends it cleanly, giving back
# every buffer it did get and shutting down the runtime it started. The program
# is cuewire.exe composed with an allocator that refuses from a chosen request
# on and prints every request and free; the runtime is the recording stand-in.
source "$(dirname "$0")/faults.sh"

program=$BUILD_DIR/tests/win/refused-frame-buffers/refused-frame-buffers.exe

# case REFUSE_AT EXPECTED_BUFFER_LINES: the allocator's whole output, joined with '|'.
case_() {
    local refuse_at=$1 expected=$2 name=refuse-at-$1
    note "$name"
    local exe
    exe=$(stage_beside "$name" "$program" "$RECORDING_RUNTIME") || exit 1
    local calls=$E2E_TEST_OUT/$name/ndi-calls.log log=$E2E_TEST_OUT/$name.log
    : >"$calls"
    CUEWIRE_NDI_CALL_LOG=$(win_path "$calls") CUEWIRE_REFUSE_FRAME_BUFFER=$refuse_at \
        start_watched "$log" "$exe"
    expect_inert_panel "$log" "NDI_frame creation problem"
    expect_clean_exit "$INERT_PANEL" "$name"

    local buffers seen
    buffers=$(paste -sd '|' "$log")
    note "frame buffers: $buffers"
    expect_eq "$expected" "$buffers" "$name: requests and frees"
    seen=$(paste -sd '|' "$calls")
    note "calls: $seen"
    expect_eq "initialize|destroy" "$seen" "$name: the calls the runtime got"
}

words=$((4096 * 2160))
case_ 1 "request 1 $words refused"
case_ 2 "request 1 $words given|request 2 $words refused|free"
