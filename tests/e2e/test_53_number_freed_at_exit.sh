#!/usr/bin/env bash
# A copy that exits lets its number go at once: copies 1, 2 and 3 run, copy 2
# exits, and a copy started as soon as copy 2's window is gone becomes No 2,
# although copy 2's process may live on for seconds. The new copy asks nothing.
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
start_copy
fresh=$COPY_PID
if process_ended "${pid_of[2]}"; then
    note "copy 2's process had already ended when the new copy started"
else
    note "copy 2's process was still running when the new copy started"
fi

panel 2 >/dev/null || { probe windows; exit 1; }
window_gone "Quit Cuewire" || fail "the new copy asked to exit"
process_ended "$fresh" && fail "the new copy ended"
for n in 1 3; do
    expect_eq 1 "$(count_windows "$TITLE_PREFIX$n\$")" "panels titled No $n"
done
expect_eq 1 "$(count_windows "${TITLE_PREFIX}2\$")" "panels titled No 2"
