# Helpers for the end-to-end tests; source it from a test_*.sh script.
# run-all.sh provides BUILD_DIR, WINEPREFIX, DISPLAY, NDI_DLL, E2E_OUT,
# E2E_TEST_OUT (this test's own artefact folder), E2E_ROOT and E2E_PIDFILE.

: "${BUILD_DIR:?run the tests through tests/e2e/run-all.sh}"
E2E_TEST_OUT=${E2E_TEST_OUT:-$E2E_OUT}

# fail MESSAGE: ends the test as failed.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# note MESSAGE: a line for the test's log.
note() {
    echo "--- $*"
}

# expect_eq EXPECTED ACTUAL WHAT
expect_eq() {
    [ "$1" == "$2" ] || fail "$3: expected '$1', got '$2'"
}

# stage_program EXE DIR: copies EXE beside the NDI runtime into DIR (created)
# and prints the staged program's path. The runtime is found beside the program.
stage_program() {
    local exe=$1 dir=$2
    [ -f "$exe" ] || fail "not built: $exe"
    [ -f "$NDI_DLL" ] || fail "no NDI runtime at $NDI_DLL (run tools/setup.sh)"
    mkdir -p "$dir"
    cp "$exe" "$NDI_DLL" "$dir/" || fail "cannot stage $exe in $dir"
    echo "$dir/$(basename "$exe")"
}

# win_path PATH: the Windows form of an absolute Unix path (Wine's Z: drive).
win_path() {
    local p=$1
    echo "Z:${p//\//\\}"
}

# start_bg LOGFILE CMD...: starts CMD in the background with its output in
# LOGFILE; its PID is in BG_PID and recorded for the runner's cleanup.
start_bg() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    BG_PID=$!
    echo "$BG_PID" >>"$E2E_PIDFILE"
}

# start_win_bg LOGFILE EXE ARGS...: a Windows program under Wine, in the
# background, its console output (CR removed) in LOGFILE.
# Wine's own messages go to LOGFILE.err. BG_PID is Wine's PID.
start_win_bg() {
    local log=$1
    shift
    wine "$@" > >(sed -u 's/\r$//' >"$log") 2>"$log.err" &
    BG_PID=$!
    echo "$BG_PID" >>"$E2E_PIDFILE"
}

# stop_bg PID: stops one process started by start_bg and waits for it.
stop_bg() {
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

# run_win SECONDS EXE ARGS...: runs a Windows console program under Wine in the
# foreground, prints its stdout (CR removed) and returns its exit status
# (124 when it ran out of time). Wine's own complaints go to stderr.
run_win() {
    local seconds=$1
    shift
    timeout --kill-after=5 "$seconds" wine "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# wait_for SECONDS CMD...: polls CMD every 0.2 s until it succeeds; false when
# it has not within SECONDS.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
    return 0
}

# log_has FILE PATTERN [COUNT]: FILE has at least COUNT (default 1) lines
# matching the grep -E PATTERN. Handy with wait_for.
log_has() {
    local count
    count=$(grep -Ec -- "$2" "$1" 2>/dev/null)
    [ "${count:-0}" -ge "${3:-1}" ]
}
