#!/usr/bin/env bash
# The README's run command on a fresh machine: no display and no Wine prefix.
# tools/run.sh must start its own display before it creates the prefix, and the
# panel must open on that display (numbered, with the real NDI runtime) and
# close on Exit, after which the command ends and takes its display with it.
# e2e-timeout: 500
source "$(dirname "$0")/lib.sh"

repo=$(cd "$E2E_ROOT/../.." && pwd)
probe=$BUILD_DIR/tests/win/win-probe/win-probe.exe
[ -f "$probe" ] || fail "not built: $probe"

fresh=$(mktemp -d /tmp/cuewire-run-command.XXXXXX)
prefix=$fresh/prefix
display=
run_pid=
cleanup() {
    [ -n "$run_pid" ] && stop_bg "$run_pid"
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    WINEPREFIX=$prefix wineserver -w 2>/dev/null
    # run.sh stops its display itself; this is only for a run cut short.
    local lock=/tmp/.X${display:-none}-lock xvfb
    if [ -n "$display" ] && [ -f "$lock" ]; then
        xvfb=$(tr -d ' ' <"$lock")
        [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" = Xvfb ] && kill "$xvfb"
    fi
    rm -rf "$fresh"
}
trap cleanup EXIT

note "tools/run.sh with no DISPLAY and the fresh prefix $prefix"
log=$E2E_TEST_OUT/run.log
start_bg "$log" env -u DISPLAY WINEPREFIX="$prefix" "$repo/tools/run.sh"
run_pid=$BG_PID

started_display() { log_has "$log" 'started a virtual one \(Xvfb :[0-9]+\)'; }
wait_for 300 started_display || fail "run.sh started no display of its own"
display=$(sed -n 's/.*(Xvfb :\([0-9]*\)).*/\1/p' "$log" | head -n 1)
note "run.sh's display :$display"

# Nothing may touch the prefix while run.sh creates it: a probe's process
# would keep its first server alive, which run.sh waits to end.
starting() { log_has "$log" '^run: NDI sources stay on this machine'; }
wait_for 300 starting || { cat "$log"; fail "run.sh did not get as far as starting Cuewire"; }

# The probe talks to the program through the run's own display and prefix.
export DISPLAY=:$display WINEPREFIX=$prefix
numbered() { run_win 20 "$probe" find "Bryvo Cuewire for NDI® - No 1" >"$E2E_TEST_OUT/panel.hwnd"; }
if ! wait_for 120 numbered; then
    kill -0 "$run_pid" 2>/dev/null || note "run.sh has ended; its output:"
    cat "$log"
    fail "the panel did not open and number itself"
fi
panel=$(cat "$E2E_TEST_OUT/panel.hwnd")
note "panel $panel"
# Wine's server knows the window even on a desktop without a display (what a
# prefix created before the display gives): it must be on the X display.
on_display() { xdotool search --name "Bryvo Cuewire" >/dev/null 2>&1; }
wait_for 10 on_display || fail "the panel is not on run.sh's display :$display"

run_win 20 "$probe" click "$panel" 1 >/dev/null || fail "cannot click Exit"
question() { run_win 20 "$probe" find "Quit Cuewire" >"$E2E_TEST_OUT/box.hwnd"; }
wait_for 15 question || fail "Exit did not ask before leaving"
run_win 20 "$probe" click "$(cat "$E2E_TEST_OUT/box.hwnd")" 1 >/dev/null || fail "cannot press OK"

ended() { ! kill -0 "$run_pid" 2>/dev/null; }
wait_for 30 ended || fail "run.sh did not end after a confirmed exit"
wait "$run_pid"
status=$?
run_pid=
cat "$log"
expect_eq 0 "$status" "run.sh's exit status"
grep -q "without showing a window" "$log" && fail "run.sh reported a run without a window"
display_gone() { [ ! -e "/tmp/.X$display-lock" ]; }
wait_for 10 display_gone || fail "run.sh left its display :$display running"

# Stopped from outside (a closed terminal, a service manager, timeout), run.sh
# ends Cuewire and its display too, and says it was stopped by its exit status.
cuewire_processes() {
    local p
    for p in /proc/[0-9]*; do
        tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$prefix" || continue
        tr '\0' ' ' 2>/dev/null <"$p/cmdline" | grep -q 'cuewire\.exe' && echo "${p#/proc/}"
    done
    return 0
}
note "a second run, stopped by SIGTERM once numbered"
log=$E2E_TEST_OUT/run-stopped.log
unset DISPLAY
start_bg "$log" env WINEPREFIX="$prefix" "$repo/tools/run.sh"
run_pid=$BG_PID
wait_for 120 started_display || fail "the second run started no display of its own"
display=$(sed -n 's/.*(Xvfb :\([0-9]*\)).*/\1/p' "$log" | head -n 1)
export DISPLAY=:$display
wait_for 120 numbered || { cat "$log"; fail "the second run's panel did not open and number itself"; }
[ -n "$(cuewire_processes)" ] || fail "no cuewire.exe process found for the prefix $prefix"

kill -TERM "$run_pid"
wait_for 30 ended || fail "run.sh did not end on SIGTERM"
wait "$run_pid"
status=$?
run_pid=
cat "$log"
expect_eq 143 "$status" "run.sh's exit status after SIGTERM"
no_cuewire() { [ -z "$(cuewire_processes)" ]; }
wait_for 15 no_cuewire || fail "cuewire.exe still runs after run.sh was stopped: $(cuewire_processes)"
wait_for 10 display_gone || fail "run.sh left its display :$display running after SIGTERM"
grep -q "without showing a window" "$log" && fail "run.sh reported a stopped run as one without a window"
true
