#!/usr/bin/env bash
# A runtime that refuses to create a sender: the copy still numbers itself,
# composes its frames and shows them in the preview, sends nothing and does not
# crash; the next video-mode change asks for a sender again, and once it has
# one the frames go out. The stand-in refuses the first create (the numbering
# step's) and logs every call.
source "$(dirname "$0")/faults.sh"

vprobe=$BUILD_DIR/tests/win/visual-probe/visual-probe.exe
check=$E2E_ROOT/visual_check.py
art=$(cd "$E2E_ROOT/../.." && pwd)/res/art
[ -f "$vprobe" ] || fail "not built: $vprobe"

exe=$(stage_beside refused "$BUILD_DIR/app/win/cuewire.exe" "$RECORDING_RUNTIME") || exit 1
calls=$E2E_TEST_OUT/refused/ndi-calls.log
: >"$calls"
CUEWIRE_NDI_CALL_LOG=$(win_path "$calls") CUEWIRE_NDI_FAULT=send_create:1 \
    start_watched "$E2E_TEST_OUT/refused.log" "$exe"

wait_for 30 log_has "$calls" '^send_create Bryvo Cuewire 1 refused$' ||
    fail "the numbering step did not ask for a sender"
hwnd=$(panel 1) || exit 1

note "the start-up frame reaches the preview although nothing can be sent"
# The preview stretches a 1280 x 720 frame over its whole client area; before
# the numbering step it showed picture 141, from the start-up frame on the banner.
convert "$art/background.bmp" -resize 1280x720! "$E2E_TEST_OUT/expected-picture141.png"
convert -size 1280x720 xc:black "$art/banner.bmp" -geometry +280+222 -compose over -composite \
    -alpha off "$E2E_TEST_OUT/expected-startup.png"
preview=$(run_win 20 "$vprobe" client "$hwnd" $IDC_PREVIEW) || fail "no preview rectangle"
startup_previewed() {
    local shot=$E2E_TEST_OUT/preview.png near far
    import -window root "$shot" || return 1
    near=$(python3 "$check" rmse "$shot" $preview "$E2E_TEST_OUT/expected-startup.png")
    far=$(python3 "$check" rmse "$shot" $preview "$E2E_TEST_OUT/expected-picture141.png")
    note "preview vs start-up frame: $near, vs picture 141: $far"
    awk -v n="$near" -v f="$far" 'BEGIN { exit !(n <= 14 && n < f) }'
}
wait_for 8 startup_previewed || fail "the preview does not show the start-up frame"

note "a few re-send periods later: still nothing sent, still running"
sleep 3
process_ended "$PROGRAM_PID" && fail "the program ended"
sends=$(grep -c '^send_video' "$calls")
metadata=$(grep -c '^send_add_connection_metadata' "$calls")
note "sends $sends, metadata $metadata"
expect_eq 0 "$sends" "frames sent without a sender"
expect_eq 0 "$metadata" "metadata announced without a sender"

note "a change to 1080 lines asks for a sender again, and frames go out"
probe click "$hwnd" $IDC_RES_1080 || fail "cannot choose 1080"
wait_for 20 log_has "$calls" '^send_video [01] 1920x1080$' 2 ||
    fail "no frames after the mode change (calls: $(tail -n 5 "$calls" | paste -sd '|'))"
creates=$(grep -c '^send_create' "$calls")
note "creates $creates: $(grep '^send_create' "$calls" | paste -sd '|')"
expect_eq 2 "$creates" "creates: one refused by the numbering step, one by the mode change"
expect_eq "send_create|send_add_connection_metadata" \
    "$(grep -A1 '^send_create Bryvo Cuewire 1$' "$calls" | cut -d' ' -f1 | paste -sd '|')" \
    "the sender the mode change got, and its announcement"

expect_clean_exit "$hwnd" refused
expect_eq "send_video null|send_destroy|destroy" "$(tail -n 3 "$calls" | paste -sd '|')" \
    "the last calls"
