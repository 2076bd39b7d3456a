#!/usr/bin/env bash
# Copies launched at the same instant: three become No 1, No 2 and No 3, each
# with its own NDI source on 5961 to 5963; then nine launched together number
# themselves 1 to 8 and the ninth asks "OK to exit?" once (after the numbers
# no copy answered for, when the copies crossed).
# e2e-timeout: 600
source "$(dirname "$0")/copies.sh"

# Nine Wine copies with the NDI runtime starting at once on two busy cores.
START_LIMIT=120
END_LIMIT=90

# NDI senders listen from 5961 on; 5960 is open while any sender runs.
sender_ports() {
    ss -Hltn | awk '{n = split($4, a, ":"); if (a[n] > 5960 && a[n] < 6000) print a[n]}' | sort -n
}
# launch_together N: starts N copies back to back; their PIDs in PIDS.
launch_together() {
    PIDS=()
    local i
    for ((i = 0; i < $1; i++)); do
        start_copy
        PIDS+=("$COPY_PID")
    done
}
# numbered_panels: the copy numbers in the panels' titles, one a line, sorted.
numbered_panels() {
    probe windows | sed -n "s/.*${TITLE_PREFIX}\([0-9]*\)\$/\1/p" | sort -n
}
# settled N: N panels carry a number, or a copy's question is open.
settled() {
    [ "$(numbered_panels | wc -l)" -ge "$1" ] || find_window "Quit Cuewire"
}
# end_all: every copy of PIDS leaves through Exit, one question at a time.
end_all() {
    local hwnd pid
    while find_window "$TITLE_PREFIX"; do
        hwnd=$FOUND
        exit_copy "$hwnd" 1
        wait_for 30 window_gone_handle "$hwnd" || fail "a copy stayed after OK"
    done
    for pid in "${PIDS[@]}"; do
        wait_for $END_LIMIT process_ended "$pid" || fail "copy $pid still running after OK"
    done
    wait_for 20 eval '[ -z "$(sender_ports)" ]' || fail "still listening: $(sender_ports | paste -sd ' ')"
}
window_gone_handle() {
    [ "$(count_windows "^$1 ")" = 0 ]
}

note "three copies at once"
launched=$(now_ms)
launch_together 3
wait_for $START_LIMIT eval '[ "$(numbered_panels | wc -l)" -ge 3 ]' || {
    probe windows
    fail "three copies were not numbered within ${START_LIMIT}s"
}
echo "three numbered $(seconds_since_ms "$launched") s after launch"
probe windows | tee "$E2E_TEST_OUT/three.txt"
expect_eq "1 2 3" "$(numbered_panels | paste -sd ' ')" "numbers of three copies launched together"
wait_for 30 eval '[ "$(sender_ports | wc -l)" -ge 3 ]' ||
    fail "not three senders listening: $(sender_ports | paste -sd ' ')"
expect_eq "5961 5962 5963" "$(sender_ports | paste -sd ' ')" "senders listening"
for port in 5961 5962 5963; do
    echo "$port: $(grab_frame "source$port" "127.0.0.1:$port")"
done
end_all

note "nine copies at once"
launched=$(now_ms)
launch_together 9
wait_for $START_LIMIT eval '[ "$(numbered_panels | wc -l)" -ge 8 ] && find_window "Quit Cuewire"' || {
    probe windows
    fail "nine copies launched together did not settle within ${START_LIMIT}s"
}
echo "eight numbered and the ninth asking $(seconds_since_ms "$launched") s after launch"
box=$FOUND
probe windows | tee "$E2E_TEST_OUT/nine.txt"
expect_eq "1 2 3 4 5 6 7 8" "$(numbered_panels | paste -sd ' ')" "numbers of nine copies launched together"
# Copies numbering themselves at the same moment answer nothing, so the
# question may list numbers no copy answered for, as held by copies starting.
question=$(probe text "$box" 65535)
note "the ninth copy's question: $question"
expect_eq "OK to exit?" "$(tail -n 1 <<<"$question")" "the question's last line"
case $(head -n 1 <<<"$question") in
    "OK to exit?" | "No copy number is free.") ;;
    *) fail "the question begins with '$(head -n 1 <<<"$question")'" ;;
esac
# Left unanswered past two more 2.5 s periods: still one question.
sleep 6
expect_eq 1 "$(count_windows 'Quit Cuewire')" "'Quit Cuewire' boxes open"
wait_for 30 eval '[ "$(sender_ports | wc -l)" -ge 8 ]' ||
    fail "not eight senders listening: $(sender_ports | paste -sd ' ')"
expect_eq "5961 5962 5963 5964 5965 5966 5967 5968" "$(sender_ports | paste -sd ' ')" "senders listening"
probe click "$box" 1 || fail "cannot press OK"
wait_for $END_LIMIT eval '[ "$(for p in "${PIDS[@]}"; do process_ended "$p" && echo; done | wc -l)" -ge 1 ]' ||
    fail "the ninth copy did not end after OK"
expect_eq "1 2 3 4 5 6 7 8" "$(numbered_panels | paste -sd ' ')" "numbers after the ninth left"
end_all
