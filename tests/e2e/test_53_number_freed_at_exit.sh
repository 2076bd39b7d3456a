#!/usr/bin/env bash
# A copy that exits lets its number go at once: copies 1, 2 and 3 run, copy 2
# exits, and a copy started as soon as copy 2's window is gone becomes No 2,
# although copy 2's process may live on for seconds (here it is held stopped
# until then). The new copy asks nothing.
# e2e-timeout: 420
source "$(dirname "$0")/copies.sh"

declare -A pid_of hwnd_of
for n in 1 2 3; do
    # Each copy has its number before the next one asks.
    start_copy
    pid_of[$n]=$COPY_PID
    hwnd_of[$n]=$(panel "$n") || exit 1
done

note "copy 2 exits"
exit_copy "${hwnd_of[2]}" 1
wait_for 30 window_gone "${TITLE_PREFIX}2" || fail "copy 2's panel stayed"
# Its process may end before the new copy claims a number, or seconds after
# (4.2 s was seen): held stopped, it keeps whatever it has not let go.
if kill -STOP "${pid_of[2]}" 2>/dev/null; then
    held=${pid_of[2]}
    note "copy 2's process is held until the new copy has its number"
else
    held=
    note "copy 2's process had ended before the new copy started"
fi
start_copy
fresh=$COPY_PID

panel 2 >/dev/null || { probe windows; [ -n "$held" ] && kill -CONT "$held"; exit 1; }
[ -n "$held" ] && kill -CONT "$held"
window_gone "Quit Cuewire" || fail "the new copy asked to exit"
process_ended "$fresh" && fail "the new copy ended"
for n in 1 3; do
    expect_eq 1 "$(count_windows "$TITLE_PREFIX$n\$")" "panels titled No $n"
done
expect_eq 1 "$(count_windows "${TITLE_PREFIX}2\$")" "panels titled No 2"
