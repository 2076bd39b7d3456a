#!/usr/bin/env bash
# Resident memory of copies at rest under Wine, no receiver connected:
#   1. one copy at 1280 x 720, once the start-up period and the support dialog
#      are over;
#   2. the same copy with a line in Chinese, Japanese and Korean live (fonts
#      the system's fallback finds), then after switching to 1920 x 1080, which
#      draws that line again;
#   3. eight copies at 1280 x 720 side by side, summed.
# Each figure is split as at-rest.sh splits it (VmRSS = RssAnon + RssFile,
# with VmHWM the peak), plus the proportional share (Pss), which counts the
# pages the copies share (Wine's and the runtime's files) once in the sum.
#
#   tests/bench/memory-at-rest.sh [BUILD_DIR]        (default build/windows)
#
# It runs through the end-to-end runner, which gives it a loopback-only network
# namespace, a virtual display and a Wine prefix of its own; the figures are
# printed at the end and kept in <BUILD_DIR>/bench-out/memory-at-rest/. Memory
# hardly depends on the machine's load, but the load average is printed beside
# the figures.
# e2e-timeout: 900
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bench_through_runner memory-at-rest 900 report.txt "${1:-}"

source "$E2E_ROOT/copies.sh"
report=$E2E_TEST_OUT/report.txt
SPACING=3    # seconds between launches, so that each copy numbers itself in turn
SETTLE=5     # seconds of rest before a reading

# kb FIELD PID: one field of /proc/PID/status (or Pss of smaps_rollup), in kB.
kb() {
    if [ "$1" = Pss ]; then
        awk '/^Pss:/ { print $2 }' "/proc/$2/smaps_rollup" 2>/dev/null
    else
        awk -v f="$1:" '$1 == f { print $2 }' "/proc/$2/status" 2>/dev/null
    fi
}

FIELDS="VmRSS RssAnon RssFile VmHWM Pss"

# reading LABEL PID...: one line per process and, for several, their sum.
reading() {
    local label=$1 pid field line
    shift
    local -A total
    say ""
    say "== $label (load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores)"
    for pid in "$@"; do
        line="  pid $pid:"
        for field in $FIELDS; do
            local value
            value=$(kb "$field" "$pid")
            total[$field]=$((${total[$field]:-0} + ${value:-0}))
            line+=" $field ${value:-?} kB"
        done
        say "$line  threads $(ls "/proc/$pid/task" | wc -l)"
    done
    if [ "$#" -gt 1 ]; then
        line="  sum of $#:"
        for field in $FIELDS; do
            line+=" $field ${total[$field]} kB"
        done
        say "$line"
        say "  sum VmRSS $(awk -v k="${total[VmRSS]}" 'BEGIN { printf "%.1f MB (%.3f GB)", k / 1024, k / 1024 / 1024 }'), sum Pss $(awk -v k="${total[Pss]}" 'BEGIN { printf "%.1f MB", k / 1024 }')"
    else
        say "  VmRSS $(awk -v k="${total[VmRSS]}" 'BEGIN { printf "%.1f MB", k / 1024 }')"
    fi
}

# The Wine process that runs the copy started last (Wine names it after the program).
copy_process() {
    local pid
    for pid in $(pgrep -x cuewire.exe); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            echo "$pid"
    done
}

# at_rest HWND: the start-up period and every support dialog are over.
at_rest() {
    wait_for 60 control_is_enabled "$1" 1008 || fail "the edits never became usable"
    wait_for 60 window_gone "$SUPPORT_TITLE" || fail "a support dialog stayed"
    sleep "$SETTLE"
}

say "Cuewire's resident memory at rest, $(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), build $(basename "$BUILD_DIR")"

# 1 and 2: one copy, then the same copy at 1080 lines.
start_first_copy
first_launch=$COPY_PID
hwnd=$FOUND
at_rest "$hwnd"
pid=$(copy_process)
[ "$(wc -w <<<"$pid")" = 1 ] || fail "not one cuewire.exe process: '$pid'"
reading "one copy, 1280 x 720" "$pid"

cjk=$E2E_TEST_OUT/cjk.u16
printf '%s' '東京の天気 서울 北京' | iconv -f UTF-8 -t UTF-16LE >"$cjk"
probe settext "$hwnd" 1008 "$(win_path "$cjk")" || fail "cannot set the entry line"
probe foreground "$hwnd" && probe keys Return || fail "cannot put the line live"
sleep "$SETTLE"
reading "one copy, 1280 x 720, a CJK line live" "$pid"

probe click "$hwnd" 1057 || fail "cannot choose 1080"
expect_text "$hwnd" 1002 "1920 x 1080 - 25.00 fps"
sleep "$SETTLE"
reading "one copy after switching to 1920 x 1080, the CJK line live" "$pid"

exit_copy "$hwnd" 1
wait_for 60 process_ended "$pid" || fail "the first copy did not end"
wait_for 30 process_ended "$first_launch" || true

# 3: eight fresh copies at 720 lines.
declare -a pids hwnds
for n in 1 2 3 4 5 6 7 8; do
    start_copy
    wait_for 120 find_window "$TITLE_PREFIX$n" || fail "copy $n was not numbered $n"
    hwnds[$n]=$FOUND
    sleep "$SPACING"
done
for n in 1 2 3 4 5 6 7 8; do
    at_rest "${hwnds[$n]}"
done
pids=($(copy_process))
[ "${#pids[@]}" = 8 ] || fail "not eight cuewire.exe processes: '${pids[*]}'"
reading "eight copies, 1280 x 720" "${pids[@]}"

wineserver_pid=$(pgrep -f '/wineserver(64)? ' | while read -r p; do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
done)
[ -n "$wineserver_pid" ] && say "  (not counted: wineserver VmRSS $(kb VmRSS "$wineserver_pid") kB, shared by all copies)"
