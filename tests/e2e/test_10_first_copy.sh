#!/usr/bin/env bash
# The first copy on a desktop: numbered 1 about 2.5 s after start, it publishes
# "Bryvo Cuewire 1"; a receiver gets the start-up frame and then the same frame
# once a second; a confirmed Exit ends the process.
source "$(dirname "$0")/copies.sh"

# The numbering step runs 2.5 s after the copy asks the others for their
# numbers, and it is the step that creates the sender. Both moments are seen
# from the host (the request by a link monitor, the sender by its listening
# port), so Wine's slow start of a probe does not blur them.
stamp_lines() {
    while IFS= read -r line; do echo "$(date +%s.%N) ${line%$'\r'}"; done
}
link=$E2E_TEST_OUT/link.log
wine "$LINK_MONITOR" 2>/dev/null | stamp_lines >"$link" &
echo $! >>"$E2E_PIDFILE"
wait_for 30 log_has "$link" ' listening$' || fail "the link monitor did not start"

sender_listening() {
    ss -Hltn 'sport = :5961' | grep -q .
}
start_copy
wait_for 30 log_has "$link" ' code 2 value ' || fail "the copy asked no numbers"
asked=$(awk '$2 == "code" && $3 == 2 { print $1; exit }' "$link")
deadline=$((SECONDS + 20))
until sender_listening; do
    [ "$SECONDS" -ge "$deadline" ] && fail "no sender 20 s after the request"
    sleep 0.05
done
numbered=$(date +%s.%N)
delay=$(awk -v a="$asked" -v b="$numbered" 'BEGIN { printf "%.2f", b - a }')
note "sender listening ${delay} s after the copy asked for numbers"
awk -v t="$delay" 'BEGIN { exit !(t >= 2.4 && t <= 5.0) }' || fail "numbered after ${delay} s"
hwnd=$(panel 1) || exit 1
expect_eq "${TITLE_PREFIX}1" "$(probe text "$hwnd" 0)" "title"
expect_eq 1 "$(probe topmost "$hwnd")" "on top once numbered"

topmost_is() {
    [ "$(probe topmost "$hwnd")" = "$1" ]
}

# The sender made by the numbering step stays: a receiver may connect at once.
cadence=$E2E_TEST_OUT/cadence.log
wine "$NDI_MONITOR" --address 127.0.0.1:5961 --frames 7 --seconds 15 2>/dev/null |
    stamp_lines >"$cadence" &
echo $! >>"$E2E_PIDFILE"
wait_for 20 log_has "$cadence" ' frame ' 7 || fail "fewer than 7 frames arrived"
cat "$cadence"

first=$(awk -v t0="$numbered" '$2 == "frame" { printf "%.1f", $1 - t0; exit }' "$cadence")
# The receiver starts with the sender; the start-up frame is composed in 2 s.
note "first frame received ${first} s after the numbering step"
awk -v f="$first" 'BEGIN { exit !(f <= 8) }' || fail "first frame only after ${first} s"
grep -q ' frame 1 1280x720 BGRA 30000/1200 ' "$cadence" || fail "not the default mode"

# Once a second: the gaps between frames after the first two.
gaps=$(awk '$2 == "frame" { if (n++ > 1) printf "%.2f ", $1 - last; last = $1 }' "$cadence")
note "gaps between frames: $gaps"
for gap in $gaps; do
    awk -v g="$gap" 'BEGIN { exit !(g >= 0.6 && g <= 1.5) }' || fail "a gap of $gap s"
done

# The start-up frame: the banner over transparency, no text box.
expect_no_text startup

# Wine 8 does not make a window topmost again once it was made ordinary, so
# only the way off is checked here.
note "'Always on top' from the system menu"
probe syscommand "$hwnd" 32
wait_for 5 topmost_is 0 || fail "still on top after 'Always on top'"

note "the About entry of the system menu opens the About box with the version"
probe syscommand "$hwnd" 16
wait_for 10 find_window "About NDI® Cuewire" || fail "no About box"
about=$FOUND
# The four numbers the build wrote into the version resource, exactly.
version=$(sed -n 's/^#define CUEWIRE_VERSION_TEXT "\(.*\)"$/\1/p' "$BUILD_DIR/generated/res/version.h")
[ -n "$version" ] || fail "no version in the build's version.h"
probe text "$about" $IDC_ABOUT_VERSION | grep -qE -- "(^|[^0-9.])${version//./\\.}([^0-9.]|\$)" ||
    fail "About box without the program's version $version: $(probe text "$about" $IDC_ABOUT_VERSION)"
note "About box: $(probe text "$about" $IDC_ABOUT_VERSION | tr '\n' ' ')"
probe click "$about" 1 || fail "cannot close the About box"
wait_for 10 window_gone "About NDI® Cuewire" || fail "the About box stayed open"

# The close command of the system menu and a WM_CLOSE (End task sends one or
# the other) ask "OK to exit?" as Exit does; declined, the panel stays.
for close in "syscommand $hwnd $((0xF060))" "close $hwnd"; do
    note "a close request ($close) asks first"
    probe $close || fail "cannot post the close request"
    wait_for 10 find_window "Quit Cuewire" || fail "$close: no 'OK to exit?'"
    expect_eq "OK to exit?" "$(probe text "$FOUND" 65535)" "$close: the question"
    probe click "$FOUND" 2 || fail "cannot decline"
    wait_for 10 window_gone "Quit Cuewire" || fail "$close: the question stayed"
    find_window "$TITLE_PREFIX" || fail "$close: a declined close closed the panel"
done

exit_copy "$hwnd" 1
wait_for 20 process_ended "$COPY_PID" || fail "the process did not end after a confirmed Exit"
