#!/usr/bin/env bash
# The text link: with "Kyx Link" on, copy 1 tells other programs each text it
# puts live (8, one 9 per code unit, 10) and each clear (11); copy 2 says nothing.
source "$(dirname "$0")/copies.sh"

start_copy
first=$(panel 1) || exit 1
start_copy
second=$(panel 2) || exit 1

link=$E2E_TEST_OUT/link.log
start_link_monitor "$link.raw"
# link_lines [FROM]: the monitor's lines from line FROM (default 1) on.
link_lines() {
    tr -d '\r' <"$link.raw" | grep -v '^listening' | tail -n +"${1:-1}"
}

# "Kyx Link" on in both, before the end of the start-up period puts the focus
# on the entry line (a click would take it).
for hwnd in "$first" "$second"; do
    probe click "$hwnd" $IDC_LINK || fail "cannot tick Kyx Link"
done

# go_live HWND TEXT: the text typed into the entry line, then Return. Both
# panels open at the same place, so no mouse click: the panel comes to the front.
go_live() {
    wait_until_typing_works "$1"
    probe foreground "$1" || fail "cannot bring $1 to the front"
    # What the keys did is checked below and by the link monitor; a probe that
    # stumbles on its way out under load is only noted.
    probe type "$2" || note "win-probe type ended with status $?"
    probe keys Return || note "win-probe keys ended with status $?"
    wait_for 5 text_is "$1" "$2" || fail "the entry line of $1 reads '$(probe text "$1" $IDC_ENTRY)'"
    sleep 2
}
text_is() {
    [ "$(probe text "$1" $IDC_ENTRY)" = "$2" ]
}

# The end of the start-up period is a composition too: wait for it, and look
# only at what the operator's actions send.
wait_until_typing_works "$first"
sleep 1
from=$(($(link_lines | wc -l) + 1))
go_live "$first" "Hi é"
wait_for 10 log_has "$link.raw" '^text ' || fail "no transfer from copy 1"
probe keys Escape
wait_for 10 log_has "$link.raw" '^clear' 2 || fail "no clear from copy 1"
link_lines "$from" >"$link"
cat "$link"
expect_eq "code 8 value 1234605616436508552
code 9 value 72
code 9 value 105
code 9 value 32
code 9 value 233
code 10 value 1234605616436508552
text Hi é
code 11 value 0
clear" "$(cat "$link")" "copy 1's link messages"

wait_until_typing_works "$second"
sleep 1
from=$(($(link_lines | wc -l) + 1))
go_live "$second" "Quiet"
probe keys Escape
sleep 3
expect_eq "" "$(link_lines "$from")" "link messages while copy 2 went live and cleared"
