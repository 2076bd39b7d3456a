#!/usr/bin/env bash
# A crowd: nine copies started at least 3 s apart. The first eight number
# themselves 1 to 8; the ninth asks "OK to exit?" once, and OK ends it. Then
# every copy leaves through its Exit button, and nothing is left behind: no
# process, no NDI sender listening, no connection. On two busy cores it takes
# about four minutes.
# e2e-timeout: 600
source "$(dirname "$0")/copies.sh"

SPACING=3
# Nine Wine copies with the NDI runtime share the machine: generous limits.
START_LIMIT=120
END_LIMIT=90

# space_launch: returns no sooner than SPACING seconds after the last launch.
space_launch() {
    local left=$((last_launch + SPACING * 1000 - $(now_ms)))
    [ "$left" -gt 0 ] && sleep "$(awk -v ms="$left" 'BEGIN { print ms / 1000 }')"
    return 0
}

# NDI senders listen from 5961 on; 5960 is open while any sender runs.
sender_ports() {
    ss -Hltn | awk '{n = split($4, a, ":"); if (a[n] >= 5960 && a[n] < 6000) print a[n]}' | sort -n
}
# Connections of any kind in this test's own network namespace.
connections() {
    ss -Htan state established
}
# This prefix's processes of the program, wherever they were started from.
our_copies() {
    local pid
    for pid in $(pgrep -f 'cuewire\.exe'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
}

declare -A pid_of hwnd_of
crowd_start=$(now_ms)
last_launch=0
for n in 1 2 3 4 5 6 7 8; do
    # The previous copy has its number before the next one asks, so each
    # copy learns the numbers from the replies (test_52 starts copies together).
    space_launch
    launched=$(now_ms)
    [ "$last_launch" -gt 0 ] && spacing=$(seconds_since_ms "$last_launch") || spacing=-
    last_launch=$launched
    start_copy
    pid_of[$n]=$COPY_PID
    wait_for $START_LIMIT find_window "$TITLE_PREFIX$n" || {
        probe windows
        fail "copy $n was not numbered $n within ${START_LIMIT}s"
    }
    hwnd_of[$n]=$FOUND
    echo "copy $n numbered after $(seconds_since_ms "$launched") s (launched ${spacing} s after the one before)"
done
echo "crowd of eight numbered in $(seconds_since_ms "$crowd_start") s"

probe windows | tee "$E2E_TEST_OUT/windows.txt"
for n in 1 2 3 4 5 6 7 8; do
    expect_eq 1 "$(count_windows "$TITLE_PREFIX$n\$")" "panels titled No $n"
done

wait_for 30 eval '[ "$(sender_ports | grep -c -v "^5960$")" -ge 8 ]' ||
    fail "not eight senders listening: $(sender_ports | paste -sd ' ')"
echo "listening: $(sender_ports | paste -sd ' ')"
# A receiver of the last copy gets its frames: the crowd really publishes.
grab_frame copy8 "127.0.0.1:$(sender_ports | tail -n 1)"

note "the ninth copy"
space_launch
launched=$(now_ms)
start_copy
ninth=$COPY_PID
wait_for $START_LIMIT find_window "Quit Cuewire" || fail "the ninth copy did not offer to exit"
box=$FOUND
echo "ninth copy asked after $(seconds_since_ms "$launched") s"
expect_eq "OK to exit?" "$(probe text "$box" 65535)" "question"
# Left unanswered past two more 2.5 s periods: the question stays one question.
sleep 6
expect_eq 1 "$(count_windows 'Quit Cuewire')" "'Quit Cuewire' boxes open"
expect_eq 0 "$(count_windows "${TITLE_PREFIX}9")" "panels titled No 9"
expect_eq 8 "$(sender_ports | grep -c -v '^5960$')" "senders while the ninth copy asks"
answered=$(now_ms)
probe click "$box" 1 || fail "cannot press OK"
wait_for $END_LIMIT process_ended "$ninth" || fail "the ninth copy did not end after OK"
echo "ninth copy ended $(seconds_since_ms "$answered") s after OK"

note "every copy leaves through Exit"
exits_start=$(now_ms)
declare -A answered_at
# note_ended: prints, once, how soon after its OK each copy's process ended.
declare -A ended
note_ended() {
    local n
    for n in "${!answered_at[@]}"; do
        if [ -z "${ended[$n]:-}" ] && process_ended "${pid_of[$n]}"; then
            ended[$n]=1
            echo "copy $n ended within $(seconds_since_ms "${answered_at[$n]}") s of its OK"
        fi
    done
}
all_ended() {
    note_ended
    [ "${#ended[@]}" -eq 8 ]
}
for n in 1 2 3 4 5 6 7 8; do
    # One box at a time, so that each answer goes to its own copy's question.
    wait_for 30 eval '[ "$(count_windows "Quit Cuewire")" = 0 ]' || fail "a question stayed open"
    exit_copy "${hwnd_of[$n]}" 1
    answered_at[$n]=$(now_ms)
    note_ended
done
wait_for $END_LIMIT all_ended || fail "copies still running after OK: $(our_copies | paste -sd ' ')"
echo "all eight ended $(seconds_since_ms "$exits_start") s after the first Exit"

# Sockets close with their process; a few seconds' grace for the kernel.
wait_for 20 eval '[ -z "$(sender_ports)" ]' || fail "still listening: $(sender_ports | paste -sd ' ')"
wait_for 20 eval '[ -z "$(connections)" ]' || fail "connections left: $(connections)"
expect_eq "" "$(our_copies)" "copies still running"
expect_eq 0 "$(count_windows 'Cuewire')" "Cuewire windows left"
