#!/usr/bin/env bash
# A hostile neighbour: another program floods a running copy with random link
# messages (FLOOD_COUNT, default 100000; seed FLOOD_SEED). The copy must not
# crash, must answer WM_NULL throughout, must answer each requester at least
# once and at most once per five seconds, always with its own number, keep its
# title, and still take a click and keys after.
# On two busy cores it takes two to three minutes.
# e2e-timeout: 450
source "$(dirname "$0")/copies.sh"

FLOOD=$BUILD_DIR/tests/win/link-flood/link-flood.exe
count=${FLOOD_COUNT:-100000}
seed=${FLOOD_SEED:-20261210}

start_copy
copy=$COPY_PID
panel=$(panel 1) || exit 1
wait_until_typing_works "$panel"
title=$(probe text "$panel" 0)

note "flooding copy 1 ($panel) with $count messages, seed $seed"
flood_log=$E2E_TEST_OUT/flood.log
start_win_bg "$flood_log" "$FLOOD" --window "$panel" --count "$count" --seed "$seed"
flooder=$BG_PID
# The title is read without a message, so it shows even while the queue is long.
while ! process_ended "$flooder"; do
    process_ended "$copy" && fail "copy 1 ended during the flood"
    expect_eq "$title" "$(probe text "$panel" 0)" "title during the flood"
    sleep 2
done
wait "$flooder"
status=$?
cat "$flood_log"
[ "$status" -eq 0 ] || fail "link-flood ended with status $status"

# field LINE-PREFIX NAME: the value of NAME=... on the flood log's line that
# starts with LINE-PREFIX.
field() {
    grep -m1 "^$1" "$flood_log" | tr ' ' '\n' | sed -n "s/^$2=//p"
}
expect_eq "$count" "$(grep -m1 '^posted ' "$flood_log" | cut -d' ' -f2)" "messages posted"
expect_eq 0 "$(field 'ping during' unanswered)" "WM_NULL left unanswered during the flood"
log_has "$flood_log" '^drained ms=' || fail "copy 1 did not work through the flood"
log_has "$flood_log" '^ping after ms=' || fail "copy 1 did not answer WM_NULL after the flood"
# A trickle, not a reply per request: every requester heard, none more than
# once in five seconds; and only ever with number 1.
replies=$(grep -m1 '^replies ' "$flood_log" | cut -d' ' -f2)
requesters=$(field replies requesters)
most=$((requesters * ($(field replies span-ms) / 5000 + 1)))
note "$replies replies to $(field replies requests) requests from $requesters requesters (at most $most)"
[ "$replies" -ge "$requesters" ] || fail "a requester was never answered: $replies replies"
[ "$replies" -le "$most" ] || fail "$replies replies: some requester was answered within 5 s"
expect_eq "number 1=$replies" "$(grep -m1 '^replies ' "$flood_log" | grep -o 'number .*')" \
    "the numbers the copy answered with"

process_ended "$copy" && fail "copy 1 ended after the flood"
expect_eq "$title" "$(probe text "$panel" 0)" "title after the flood"

note "a click and keys still work"
link=$E2E_TEST_OUT/link.log
start_link_monitor "$link"
probe foreground "$panel" || fail "cannot bring copy 1 to the front"
probe type "still here" || note "win-probe type ended with status $?"
expect_text "$panel" $IDC_ENTRY "still here"
# After the typing: the click takes the focus from the entry line.
probe click "$panel" $IDC_LINK || fail "cannot tick Kyx Link"
wait_for 10 eval '[ "$(probe state "$panel" $IDC_LINK | cut -d" " -f3)" = 1 ]' ||
    fail "Kyx Link did not take the click"
probe keys Return || note "win-probe keys ended with status $?"
wait_for 15 log_has "$link" '^text still here' || fail "Return after the flood sent no text"

exit_copy "$panel" 1
wait_for 30 process_ended "$copy" || fail "copy 1 did not end after the flood"
