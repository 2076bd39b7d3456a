#!/usr/bin/env bash
# Video modes from the panel's radios and "+Alpha": the label, and the format a
# fresh receiver sees after each change (it does not follow a re-created sender).
source "$(dirname "$0")/copies.sh"

start_copy
hwnd=$(panel 1) || exit 1
wait_for 20 control_is_enabled "$hwnd" $IDC_ALPHA || fail "+Alpha never became usable"

# choose ID: a click on a radio or check box; each change recomposes and
# re-creates the sender.
choose() {
    probe click "$hwnd" "$1" || fail "cannot click $1"
    sleep 3
}
# expect_format NAME "WxH FOURCC N/D": what a fresh receiver gets.
expect_format() {
    local line
    line=$(grab_frame "$1") || exit 1
    expect_eq "$2" "$(cut -d' ' -f3-5 <<<"$line")" "$1: frame format"
}

expect_text "$hwnd" $IDC_MODE_LABEL "1280 x 720 - 25.00 fps"
choose $IDC_RES_1080
choose $IDC_RATE_2997
expect_text "$hwnd" $IDC_MODE_LABEL "1920 x 1080 - 29.97 fps"
expect_format hd "1920x1080 BGRA 30000/1001"

choose $IDC_ALPHA
expect_eq "1 1 0" "$(probe state "$hwnd" $IDC_ALPHA)" "+Alpha (enabled, visible, ticked)"
expect_format no-alpha "1920x1080 BGRX 30000/1001"

choose $IDC_RES_720
choose $IDC_RATE_30
expect_text "$hwnd" $IDC_MODE_LABEL "1280 x 720 - 30.00 fps"
expect_format back-to-720 "1280x720 BGRX 30000/1000"
