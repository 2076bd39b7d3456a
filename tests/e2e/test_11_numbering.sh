#!/usr/bin/env bash
# Copy numbers: each copy takes the lowest free number; a closed copy's number is
# taken again; a ninth copy offers to exit, and Cancel leaves it open, untitled.
source "$(dirname "$0")/copies.sh"

declare -A pid_of hwnd_of
start_numbered() {
    start_copy
    hwnd_of[$1]=$(panel "$1") || exit 1
    pid_of[$1]=$COPY_PID
}

for n in 1 2 3 4; do
    start_numbered "$n"
done

note "closing copy 3"
exit_copy "${hwnd_of[3]}" 1
wait_for 20 process_ended "${pid_of[3]}" || fail "copy 3 did not end"
start_numbered 3
probe windows

for n in 5 6 7 8; do
    start_numbered "$n"
done

note "a ninth copy"
start_copy
wait_for 20 find_window "Quit Cuewire" || fail "the ninth copy did not offer to exit"
expect_eq "OK to exit?" "$(probe text "$FOUND" 65535)" "question"
probe click "$FOUND" 2 || fail "cannot press Cancel"
sleep 3
kill -0 "$COPY_PID" 2>/dev/null || fail "Cancel ended the ninth copy"
find_window "NDI Cuewire" || fail "the ninth copy's panel is gone or was titled"
ninth=$FOUND
control_is_disabled "$ninth" $IDC_ALPHA || fail "+Alpha is usable in the unnumbered copy"

exit_copy "$ninth" 1
wait_for 20 process_ended "$COPY_PID" || fail "the ninth copy did not end after OK"
