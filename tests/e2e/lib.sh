# Helpers for the end-to-end tests; source it from a test_*.sh script.
# run-all.sh provides BUILD_DIR, WINEPREFIX, DISPLAY, NDI_DLL, E2E_OUT,
# E2E_TEST_OUT (this test's own artefact folder), E2E_ROOT and E2E_PIDFILE.

: "${BUILD_DIR:?run the tests through tests/e2e/run-all.sh}"
source "$(dirname "${BASH_SOURCE[0]}")/isolation.sh"
E2E_TEST_OUT=${E2E_TEST_OUT:-$E2E_OUT}

# Where run_win records its last call, so that a failing test can say why.
E2E_LAST_WIN_CALL=$E2E_TEST_OUT/last-win-call
WIN_PROBE=$BUILD_DIR/tests/win/win-probe/win-probe.exe
# The program's resource and control identifiers, by the names its code uses.
CONTROL_IDS=$BUILD_DIR/generated/res/control-ids.sh
[ -f "$CONTROL_IDS" ] || { echo "FAIL: not built: $CONTROL_IDS" >&2; exit 1; }
source "$CONTROL_IDS"
# A line Wine writes of its own on a program's stderr: a debug channel's
# message ("0024:err:module:import_dll ...") or the loader's ("wine: ...").
WINE_OWN_LINE='^([0-9a-f]{4}:)?(err|fixme|warn|trace):|^wine: |^wineserver: '

# fail MESSAGE: ends the test as failed, with one line that says why: the
# message, how the last Windows helper ended when it failed (its status, a
# timeout named as one, and the last line it wrote to stderr), and which window
# had the keyboard focus.
fail() {
    echo "FAIL: $*$(failed_call)$(focus_now)" >&2
    exit 1
}

# failed_call: " [win-probe keys F3: timed out after 30 s; stderr: ...; from Wine: ...]"
# when the last helper run by run_win failed; nothing when it succeeded. The
# part from Wine is its own error line, when it wrote one: a DLL the loader
# could not find, a server it could not reach, a crash before main.
failed_call() {
    [ -f "$E2E_LAST_WIN_CALL" ] || return 0
    local status limit command stderr wine_error
    {
        read -r status
        read -r limit
        read -r command
        read -r stderr
        read -r wine_error
    } <"$E2E_LAST_WIN_CALL"
    [ "$status" = 0 ] && return 0
    echo " [$command: $(describe_status "$status" "$limit" "$stderr $wine_error"); stderr: ${stderr:-nothing}${wine_error:+; from Wine: $wine_error}]"
}

# describe_status STATUS LIMIT [STDERR-LINE]: how a helper run under timeout
# ended. Wine writes "wine: Unhandled ..." for a crash and ends the process with
# the exception's low byte (5 for an access violation); a Wine process killed
# by a signal ends with 128 + its number, which timeout passes on.
describe_status() {
    local crashed=
    case $3 in
        *"wine: Unhandled "*) crashed="crashed, " ;;
    esac
    case $1 in
        124) echo "${crashed}timed out after $2 s" ;;
        137) echo "${crashed}killed $2 s + 5 s after it was told to stop" ;;
        129 | 13[0-68-9] | 1[4-5][0-9]) echo "${crashed}ended by SIG$(kill -l $(($1 - 128)))" ;;
        *) echo "${crashed}exit $1" ;;
    esac
}

# focus_now: " [focus: foreground <hwnd> pid <pid> '<title>' focus <hwnd> id <id> <class>]".
focus_now() {
    [ -f "$WIN_PROBE" ] || return 0
    local focus
    focus=$(timeout --kill-after=2 10 wine "$WIN_PROBE" focus 2>/dev/null | tr -d '\r')
    echo " [focus: ${focus:-unknown}]"
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
# (124 when it ran out of time). Its stderr, Wine's complaints included, goes
# to stderr too, and the call is recorded for fail() to quote.
run_win() {
    local seconds=$1
    shift
    local err status started
    err=$(mktemp "$E2E_TEST_OUT/.win-stderr.XXXXXX")
    started=$(date +%s.%N)
    timeout --kill-after=5 "$seconds" wine "$@" 2>"$err" | tr -d '\r'
    status=${PIPESTATUS[0]}
    tr -d '\r' <"$err" >&2
    record_win_call "$status" "$seconds" "$err" "$@"
    # Every call's time and status, to see which helpers come near their limit.
    CALL="$(basename "$1") ${*:2}" awk -v a="$started" -v b="$(date +%s.%N)" -v t="$(date +%T)" \
        -v s="$status" 'BEGIN { printf "%s %5.1fs status %s %s\n", t, b - a, s, substr(ENVIRON["CALL"], 1, 120) }' \
        >>"$E2E_TEST_OUT/win-calls.log"
    rm -f "$err"
    return "$status"
}

# record_win_call STATUS SECONDS STDERR-FILE EXE ARGS...: five lines: the
# status, the time limit, the command (program name and its first arguments),
# the last non-empty line the program itself wrote to stderr, and the line of
# Wine's own that best says why it failed (run-all.sh keeps Wine's error
# channel on).
record_win_call() {
    local status=$1 seconds=$2 err=$3
    shift 3
    local command
    command="$(basename "$1") ${*:2}"
    {
        echo "$status"
        echo "$seconds"
        echo "${command:0:120}"
        # One line each, empty when there is none.
        echo "$(tr -d '\r' <"$err" | grep -v '^[[:space:]]*$' | grep -Ev "$WINE_OWN_LINE" | tail -n 1 | cut -c1-200)"
        echo "$(wine_error_line "$err" | cut -c1-400)"
    } >"$E2E_LAST_WIN_CALL.new" && mv "$E2E_LAST_WIN_CALL.new" "$E2E_LAST_WIN_CALL"
}

# wine_error_line STDERR-FILE: the loader's own complaint ("wine: Unhandled
# page fault", "wine: could not load ...") when there is one, else the first
# error of the module loader (it names the DLL that was missing; the lines
# after it only repeat the status), else Wine's last line of its own.
wine_error_line() {
    local lines
    lines=$(tr -d '\r' <"$1" | grep -E "$WINE_OWN_LINE")
    [ -n "$lines" ] || return 0
    grep -m 1 '^wine: ' <<<"$lines" || grep -m 1 ':err:module:' <<<"$lines" || tail -n 1 <<<"$lines"
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

# now_ms: the wall clock in ms since 1970. seconds_since_ms MS: the seconds
# from MS (of now_ms) until now, to a tenth.
now_ms() { date +%s%3N; }
seconds_since_ms() {
    awk -v from="$1" -v to="$(now_ms)" 'BEGIN { printf "%.1f", (to - from) / 1000 }'
}

# run_gtest SECONDS EXE: a GoogleTest program under Wine, its report and output
# kept as artefacts (NAME.xml, NAME.log); fails the test when it fails.
run_gtest() {
    local name status
    name=$(basename "$2" .exe)
    need_built "$2"
    run_win "$1" "$2" --gtest_output="xml:$(win_path "$E2E_TEST_OUT/$name.xml")" | tee "$E2E_TEST_OUT/$name.log"
    status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] || fail "$name exited with $status"
}

# log_has FILE PATTERN [COUNT]: FILE has at least COUNT (default 1) lines
# matching the grep -E PATTERN. Handy with wait_for.
log_has() {
    local count
    count=$(grep -Ec -- "$2" "$1" 2>/dev/null)
    [ "${count:-0}" -ge "${3:-1}" ]
}

# --- Windows on the screen ------------------------------------------------
VISUAL_PROBE=$BUILD_DIR/tests/win/visual-probe/visual-probe.exe
SUPPORT_TITLE="How you can support"

# need_built FILE...: fails the test on the first FILE the build did not make.
need_built() {
    local file
    for file; do
        [ -f "$file" ] || fail "not built: $file"
    done
}

# win_probe ARGS... / visual_probe ARGS...: win-probe and visual-probe with
# their stderr left out, for the tests that poll windows in loops: a poll that
# fails says enough by its status (copies.sh's probe keeps stderr).
win_probe() { run_win 20 "$WIN_PROBE" "$@" 2>/dev/null; }
visual_probe() { run_win 20 "$VISUAL_PROBE" "$@" 2>/dev/null; }

# window_of TITLE: the handle of the first top-level window whose title starts
# with TITLE; is_shown TITLE: that window is visible.
window_of() { visual_probe top-level "$1" | awk 'NR == 1 { print $1 }'; }
is_shown() { [ "$(visual_probe top-level "$1" | awk 'NR == 1 { print $2 }')" = 1 ]; }
support_hidden() { ! is_shown "$SUPPORT_TITLE"; }

# panel_window: the handle of the one panel, titled "NDI Cuewire ..." until it
# has its number and "Bryvo Cuewire ..." after; fails when there is none.
panel_window() {
    local hwnd
    hwnd=$(window_of "NDI Cuewire")
    [ -n "$hwnd" ] || hwnd=$(window_of "Bryvo Cuewire")
    [ -n "$hwnd" ] && echo "$hwnd"
}
