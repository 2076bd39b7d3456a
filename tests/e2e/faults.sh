# Helpers for the tests of a copy whose NDI side fails: one that cannot start
# says why in a message box and stays open but inert, and every copy still
# leaves cleanly by Exit. Source it instead of copies.sh.
source "$(dirname "${BASH_SOURCE[0]}")/copies.sh"

RECORDING_RUNTIME=$BUILD_DIR/tests/win/recording-runtime/Processing.NDI.Lib.x64.dll
INERT_WAIT=6  # seconds the inert panel is watched: well past the numbering delay

# stage_beside NAME EXE [DLL]: copies EXE (and DLL, if given) into a folder of
# this test named NAME and prints the staged program's path. The folder's name
# also finds the program's processes (see processes_of).
stage_beside() {
    local dir=$E2E_TEST_OUT/$1
    shift
    rm -rf "$dir" && mkdir -p "$dir" || fail "cannot make $dir"
    local file
    for file in "$@"; do
        [ -f "$file" ] || fail "not built: $file"
        cp "$file" "$dir/" || fail "cannot stage $file"
    done
    echo "$dir/$(basename "$1")"
}

# start_watched LOG EXE: a link monitor first, so that a discovery request the
# program posts is seen, then EXE; its PID in PROGRAM_PID, the monitor's
# output in $LOG.link.
start_watched() {
    local log=$1 exe=$2
    start_link_monitor "$log.link"
    start_win_bg "$log" "$exe"
    PROGRAM_PID=$BG_PID
}

# processes_of FOLDER: PIDs of running processes whose command line names a
# file in this test's staged FOLDER (the Unix or the Windows form of its path).
# Other test runs on this machine stage theirs elsewhere.
processes_of() {
    local folder=$E2E_TEST_OUT/$1/ file
    for file in /proc/[0-9]*/cmdline; do
        { tr '\0\\' ' /' <"$file" | grep -qiF -- "$folder"; } 2>/dev/null &&
            basename "$(dirname "$file")"
    done
    return 0
}

# expect_inert_panel LOG MESSAGE: the box says MESSAGE; after OK the panel stays
# open for INERT_WAIT seconds with no copy number, +Alpha and the edits
# disabled, and no discovery request reached the link. The panel in INERT_PANEL.
expect_inert_panel() {
    local log=$1 message=$2 box
    wait_for 30 find_window "Cuewire" || fail "no '$message' box"
    box=$FOUND
    expect_eq "$message" "$(probe text "$box" 65535)" "message"
    note "message box: $(probe text "$box" 65535)"
    probe click "$box" 1 || fail "cannot press OK"

    wait_for 10 find_window "NDI Cuewire" || fail "the panel did not stay open"
    INERT_PANEL=$FOUND
    sleep "$INERT_WAIT"
    process_ended "$PROGRAM_PID" && fail "the program ended by itself"
    local title
    title=$(probe text "$INERT_PANEL" 0)
    note "title after ${INERT_WAIT} s: $title"
    expect_eq "NDI Cuewire" "$title" "title: no numbering step may run"
    local id
    for id in $IDC_ALPHA $IDC_ENTRY $IDC_SLOT_EDIT_1 $IDC_SLOT_EDIT_8; do
        control_is_disabled "$INERT_PANEL" $id || fail "control $id is usable in the inert panel"
    done
    local requests
    requests=$(grep -c '^code 2 ' "$log.link")
    note "discovery requests on the link: $requests"
    expect_eq 0 "$requests" "discovery requests from the inert panel"
}

# expect_clean_exit HWND FOLDER: Exit, then OK, ends the program of panel HWND
# (in PROGRAM_PID) within 10 s with exit status 0, and nothing started from the
# staged FOLDER is left running.
expect_clean_exit() {
    local folder=$2 running
    # The search must see the program while it runs, or its silence proves nothing.
    running=$(processes_of "$folder" | paste -sd ' ')
    note "processes from $folder before Exit: ${running:-none}"
    [ -n "$running" ] || fail "cannot find the program's processes by their folder"
    exit_copy "$1" 1
    local asked
    asked=$(date +%s%N)
    wait_for 10 process_ended "$PROGRAM_PID" || fail "the program did not end within 10 s of OK"
    local took=$((($(date +%s%N) - asked) / 1000000))
    wait "$PROGRAM_PID"
    local status=$?
    note "ended ${took} ms after OK with exit status $status"
    expect_eq 0 "$status" "exit status"
    sleep 1
    local left
    left=$(processes_of "$folder" | paste -sd ' ')
    note "processes from $folder after Exit: ${left:-none}"
    [ -z "$left" ] || fail "processes of $folder left behind: $left"
}
