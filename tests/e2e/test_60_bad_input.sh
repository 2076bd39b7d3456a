#!/usr/bin/env bash
# Awkward texts end to end: 37 and 20,000 code units, surrogate pairs,
# combining marks, right-to-left scripts, control characters and lone
# surrogates, in the entry line and in a slot. Each goes live and comes off;
# a fresh NDI receiver checks both frames, and the link monitor checks that
# copy 1 (with "Kyx Link" ticked) sent 8, one 9 per code unit of the text, 10,
# and then 11. Prints what it saw for each text and how long it took.
#
# Under Wine every broadcast costs a round trip to the server per top-level
# window, so a 20,000-unit transfer takes minutes on a busy machine. The panel
# posts it from a thread of its own: the frames are checked at once, and the
# link's messages once the transfer and the clear after it have arrived.
# e2e-timeout: 1500
source "$(dirname "$0")/copies.sh"

ENTRY=$IDC_ENTRY
SLOT1=$IDC_SLOT_EDIT_1
TRANSFER_LIMIT=600  # seconds for one transfer and its clear to end, 20,000 units included
cases=$E2E_TEST_OUT/cases
mkdir -p "$cases"
python3 "$E2E_ROOT/bad_input.py" write "$cases" >"$cases/list" || fail "cannot write the texts"

start_copy
hwnd=$(panel 1) || exit 1

link=$E2E_TEST_OUT/link.raw
start_link_monitor "$link"
# Tick "Kyx Link" before the end of the start-up period focuses the entry line.
probe click "$hwnd" "$IDC_LINK" || fail "cannot tick Kyx Link"
wait_until_typing_works "$hwnd"
sleep 1

# link_count CODE: how many messages with CODE the monitor has seen so far.
link_count() {
    grep -c "^code $1 " "$link"
}

# units_of ID: the control's text as win-probe prints code units.
units_of() {
    probe units "$hwnd" "$1"
}

# units_in FILE: a file's code units in the same form.
units_in() {
    python3 "$E2E_ROOT/bad_input.py" units "$1"
}

# holds ID FILE: the control holds exactly the code units in FILE.
holds() {
    [ "$(units_of "$1")" = "$(units_in "$2")" ]
}

# frame_is NAME KIND: a fresh receiver's frame, checked by check_frame.py.
frame_is() {
    local attempt
    # A receiver that joins while the key's frame is still being composed (it
    # settles for half a second) gets the frame before it, which the
    # once-a-second re-send keeps on air; a receiver that joins a moment later
    # must get the new one.
    for attempt in 1 2 3; do
        grab_frame "$1" >/dev/null
        if python3 "$E2E_ROOT/check_frame.py" "$E2E_TEST_OUT/$1.png" "$2" >"$E2E_TEST_OUT/$1.check"; then
            sed 's/^/    /' "$E2E_TEST_OUT/$1.check"
            [ "$attempt" = 1 ] || note "$1: the receiver that joined first got the frame before"
            return 0
        fi
        sleep 1
    done
    sed 's/^/    /' "$E2E_TEST_OUT/$1.check"
    fail "$1: not the $2 frame"
}

# live_and_off NAME ON-KEY OFF-KEY [FILE]: the text in FILE (default: the
# case's) is where ON-KEY puts it live; OFF-KEY takes it off. Both frames and
# the link messages in between are checked.
live_and_off() {
    local name=$1 on=$2 off=$3 file=${4:-$cases/$1.u16} begin ends clears started took
    begin=$(wc -l <"$link")
    ends=$(link_count 10)
    clears=$(link_count 11)

    probe foreground "$hwnd" || fail "$name: cannot bring the panel to the front"
    started=$(date +%s.%N)
    probe keys "$on" || fail "$name: cannot press $on"
    frame_is "$name-live" text
    probe keys "$off" || fail "$name: cannot press $off"
    frame_is "$name-off" empty

    wait_for $TRANSFER_LIMIT log_has "$link" '^code 11 ' $((clears + 1)) ||
        fail "$name: no clear over the link ($(($(link_count 9) - begin)) code units so far)"
    log_has "$link" '^code 10 ' $((ends + 1)) || fail "$name: the clear came without the transfer"
    took=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
    note "$name: the transfer and the clear ended ${took} s after $on"

    tail -n +$((begin + 1)) "$link" >"$E2E_TEST_OUT/$name.link"
    python3 "$E2E_ROOT/bad_input.py" link "$E2E_TEST_OUT/$name.link" "$file" | sed 's/^/    /'
    [ "${PIPESTATUS[0]}" = 0 ] || fail "$name: wrong link messages"
}

# set_text ID NAME: the case's text handed to the control with WM_SETTEXT, as
# another program would; the control must keep every code unit.
set_text() {
    probe settext "$hwnd" "$1" "$(win_path "$cases/$2.u16")" || fail "$2: cannot set the text"
    holds "$1" "$cases/$2.u16" || fail "$2: control $1 holds $(units_of "$1" | cut -c1-200)"
    note "$2: control $1 holds all $(units_of "$1" | cut -d' ' -f1) code units"
}

# keep_what_is_held ID NAME: what the control holds now becomes case NAME.
keep_what_is_held() {
    units_of "$1" | python3 "$E2E_ROOT/bad_input.py" save-units "$cases/$2.u16" ||
        fail "cannot read control $1"
    note "$2: control $1 holds $(units_of "$1")"
}

note "typed into the entry line: 37 code units, the most it takes"
probe mouse "$hwnd" $ENTRY && probe type "$(iconv -f UTF-16LE -t UTF-8 "$cases/plain37.u16")" ||
    fail "cannot type into the entry line"
wait_for 10 holds $ENTRY "$cases/plain37.u16" || fail "the entry line holds $(units_of $ENTRY)"
live_and_off plain37 Return Escape

note "handed to the entry line: 20,000 code units (a typing limit holds no other program back)"
set_text $ENTRY long20000
live_and_off long20000 Return Escape

for name in plain37 long20000 emoji combining arabic hebrew controls spaced lone; do
    note "handed to the first slot: $name"
    set_text $SLOT1 "$name"
    live_and_off "$name" F3 F3
done

note "control characters are drawn as spaces: the line looks as with spaces typed"
python3 "$E2E_ROOT/bad_input.py" same-ink "$E2E_TEST_OUT/controls-live.png" \
    "$E2E_TEST_OUT/spaced-live.png" | sed 's/^/    /'
[ "${PIPESTATUS[0]}" = 0 ] || fail "control characters change how the line looks"

# Typed control characters arrive as characters (as from an on-screen
# keyboard), not as keys: whatever the edit keeps must be what goes out.
note "typed into the entry line: the control characters' line"
probe mouse "$hwnd" $ENTRY && probe type-units "$(win_path "$cases/controls.u16")" ||
    fail "cannot type into the entry line"
sleep 1
keep_what_is_held $ENTRY typed
live_and_off typed Return Escape "$cases/typed.u16"

note "pasted into the entry line: the control characters' line"
probe paste "$hwnd" $ENTRY "$(win_path "$cases/controls.u16")" || fail "cannot paste"
sleep 1
keep_what_is_held $ENTRY pasted
live_and_off pasted Return Escape "$cases/pasted.u16"
