# Helpers for the tests that run cuewire.exe: start copies, find their panels,
# press real keys through win-probe, and look at what an NDI receiver gets.
# Source it instead of lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

TITLE_PREFIX="Bryvo Cuewire for NDI® - No "
STAGE=$E2E_TEST_OUT/stage
CUEWIRE=$(stage_program "$BUILD_DIR/app/win/cuewire.exe" "$STAGE") || exit 1
NDI_MONITOR=$(stage_program "$BUILD_DIR/tools/ndi-monitor/ndi-monitor.exe" "$STAGE") || exit 1
PROBE=$WIN_PROBE
LINK_MONITOR=$BUILD_DIR/tools/link-monitor/link-monitor.exe
COPIES=0

# probe ARGS...: runs win-probe (see its usage) and prints what it prints.
probe() {
    run_win 30 "$PROBE" "$@"
}

# find_window PREFIX: sets FOUND to the first visible top-level window whose
# title starts with PREFIX; false when there is none.
find_window() {
    FOUND=$(probe find "$1") && [ -n "$FOUND" ]
}

# window_gone PREFIX: no visible top-level window's title starts with PREFIX.
# Only find's own "none" (exit 1) counts: a probe that failed proves nothing.
window_gone() {
    probe find "$1" >/dev/null
    [ $? = 1 ]
}

# count_windows PATTERN: how many of the visible top-level windows' lines
# ("<hwnd> <pid> <title>") match the grep PATTERN. Prints nothing and fails
# when the probe fails, so that a failed probe never reads as "none".
count_windows() {
    local list
    list=$(probe windows) || return 1
    grep -c -- "$1" <<<"$list"
    return 0
}

# start_copy: starts one more copy of cuewire.exe; its PID in COPY_PID.
start_copy() {
    COPIES=$((COPIES + 1))
    start_win_bg "$E2E_TEST_OUT/copy$COPIES.log" "$CUEWIRE"
    COPY_PID=$BG_PID
}

# panel N: prints the handle of the panel numbered N, waiting up to 60 s for it.
# A copy numbers itself about 3 s after its start on an idle machine; on one
# loaded by a parallel build (load 15 to 20) the first copy in a new prefix was
# not numbered after 27 s, while each poll took 3 to 14 s.
panel() {
    wait_for 60 find_window "$TITLE_PREFIX$1" || fail "no panel numbered $1"
    echo "$FOUND"
}

# enabled_word HWND ID: the probe's word on whether the control is enabled,
# 1 or 0; nothing when the probe fails.
enabled_word() {
    probe state "$1" "$2" | cut -d' ' -f1
}

# control_is_enabled HWND ID / control_is_disabled HWND ID: each true only on
# the probe's word, so that a failed probe reads as neither.
control_is_enabled() {
    [ "$(enabled_word "$1" "$2")" = 1 ]
}
control_is_disabled() {
    [ "$(enabled_word "$1" "$2")" = 0 ]
}

# wait_until_typing_works HWND: the edits open once the start-up period is over.
wait_until_typing_works() {
    wait_for 30 control_is_enabled "$1" "$IDC_ENTRY" || fail "the edits never became usable"
}

# expect_text HWND ID EXPECTED: the control reads EXPECTED within 10 s. Keys
# and clicks reach the panel through its queue, after the probe has returned.
expect_text() {
    local deadline=$((SECONDS + 10)) actual
    while :; do
        actual=$(probe text "$1" "$2")
        [ "$actual" = "$3" ] && return 0
        [ "$SECONDS" -ge "$deadline" ] && break
        sleep 0.3
    done
    expect_eq "$3" "$actual" "text of control $2"
}

# exit_copy HWND ANSWER: clicks Exit and answers "OK to exit?" with ANSWER (1 OK, 2 Cancel).
exit_copy() {
    probe click "$1" 1 || fail "cannot click Exit"
    wait_for 10 find_window "Quit Cuewire" || fail "no 'Quit Cuewire' box"
    probe click "$FOUND" "$2" || fail "cannot answer the box"
}

# process_ended PID
process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# grab_frame NAME [ADDRESS]: a fresh receiver takes one frame; prints the frame
# line (frame <n> <W>x<H> <FourCC> <N>/<D> ...) and leaves it in $E2E_TEST_OUT/NAME.png.
grab_frame() {
    local dir=$E2E_TEST_OUT/$1 line
    mkdir -p "$dir"
    # The receiver must end well too: one that hangs after its frame line would
    # otherwise pass here and hold up the next step for its whole limit.
    line=$(run_win 40 "$NDI_MONITOR" --address "${2:-127.0.0.1:5961}" --frames 1 --seconds 30 \
        --save-dir "$(win_path "$dir")") || fail "no frame for $1"
    line=$(grep '^frame ' <<<"$line") || fail "no frame line for $1"
    mv "$dir"/frame-*.png "$E2E_TEST_OUT/$1.png" && rmdir "$dir"
    echo "$line"
}

# box_alpha PNG: the alpha of a point inside the text box's area of a 1280 x 720
# frame: about 175 when the box is there, 0 when the frame shows no text.
box_alpha() {
    convert "$1" -format '%[fx:int(255*p{100,560}.a+0.5)]' info:
}

# expect_text_shown NAME / expect_no_text NAME: a fresh receiver's view.
expect_text_shown() {
    grab_frame "$1" >/dev/null
    local alpha
    alpha=$(box_alpha "$E2E_TEST_OUT/$1.png")
    [ "$alpha" -ge 160 ] && [ "$alpha" -le 190 ] || fail "$1: no text box (alpha $alpha)"
}
expect_no_text() {
    grab_frame "$1" >/dev/null
    local alpha
    alpha=$(box_alpha "$E2E_TEST_OUT/$1.png")
    [ "$alpha" -le 5 ] || fail "$1: the frame still shows a text box (alpha $alpha)"
}

# A 1280 x 720 frame with the box has over 100,000 pixels with alpha; one with
# at least this many shows text.
TEXT_PIXELS=10000

# frame_after LOG MS WANT: the arrival time of the first frame in ndi-monitor's
# LOG received at or after MS that shows text (WANT text) or nothing (WANT
# empty); fails if none yet.
frame_after() {
    awk -v since="$2" -v want="$3" -v limit="$TEXT_PIXELS" '
        $1 == "frame" {
            at = 0; covered = -1
            for (i = 2; i <= NF; i++) {
                if ($i ~ /^at=/) at = substr($i, 4) + 0
                if ($i ~ /^covered=/) covered = substr($i, 9) + 0
            }
            if (at < since || covered < 0) next
            if ((want == "text" && covered >= limit) || (want == "empty" && covered == 0)) {
                printf "%.0f\n", at; found = 1; exit
            }
        }
        END { exit !found }' "$1"
}

# timed_key KEY: presses KEY for real and prints when win-probe handed it over
# (ms since 1970, the clock ndi-monitor stamps frames with).
timed_key() {
    local sent
    sent=$(probe timed-keys "$1" | awk '$1 == "sent" { sub(/^at=/, "", $3); print $3 }')
    [ -n "$sent" ] || fail "win-probe did not press $1"
    echo "$sent"
}

# type_into HWND ID TEXT: a real click into the edit, then real typing; the
# edit must read TEXT (see expect_text).
type_into() {
    probe mouse "$1" "$2" && probe type "$3" || fail "cannot type into $2"
    expect_text "$1" "$2" "$3"
}

# start_link_monitor LOG: link-monitor in the background, its lines in LOG;
# returns once it listens.
start_link_monitor() {
    start_bg "$1" wine "$LINK_MONITOR"
    wait_for 20 log_has "$1" '^listening' || fail "the link monitor did not start"
}

# start_receiver LOG: ndi-monitor in the background on copy 1's source, its
# lines in LOG; returns once the first frame has arrived.
start_receiver() {
    start_win_bg "$1" "$NDI_MONITOR" --address 127.0.0.1:5961
    wait_for 30 log_has "$1" '^frame ' || fail "the receiver got no frame"
}
