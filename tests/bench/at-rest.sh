#!/usr/bin/env bash
# A copy of cuewire.exe at rest: CPU time (user + system) and resident memory
# over a quiet stretch, first with no receiver, then with one ndi-monitor
# connected. The CPU time is split by thread of the Wine process that runs
# cuewire.exe (its user-interface thread, the NDI runtime's threads, Wine's
# own), with wineserver, Wine's helper processes and the receiver apart.
#
#   tests/bench/at-rest.sh [BUILD_DIR]        (default build/windows)
#
# $BENCH_SECONDS sets the length of each stretch (default 60). It runs through
# the end-to-end runner, which gives it a loopback-only network namespace, a
# virtual display and a Wine prefix of its own; the figures are printed at the
# end and kept in <BUILD_DIR>/bench-out/at-rest/. Noisy on a shared machine:
# the load average is printed beside the figures.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bench_through_runner at-rest $((4 * ${BENCH_SECONDS:-60} + 240)) report.txt "${1:-}"

source "$E2E_ROOT/copies.sh"
seconds=${BENCH_SECONDS:-60}
report=$E2E_TEST_OUT/report.txt
tick=$(getconf CLK_TCK)
page_kb=$(($(getconf PAGESIZE) / 1024))

# prefix_processes NAME: PIDs of this prefix's Wine processes running the
# Windows program NAME (Wine names the process after the program).
prefix_processes() {
    local pid
    for pid in $(pgrep -x "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

# wine_processes: every Wine process of this prefix (services, devices, explorer...).
wine_processes() {
    local pid
    for pid in $(pgrep -f '\.exe'); do
        case $(cat "/proc/$pid/comm" 2>/dev/null) in *.exe) ;; *) continue ;; esac
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

# thread_times PID: one line per thread: tid, clock ticks used (user +
# system), start time in ticks after boot, name.
thread_times() {
    local task line rest
    for task in /proc/"$1"/task/*; do
        line=$(cat "$task/stat" 2>/dev/null) || continue
        rest=${line##*) }
        read -r -a f <<<"$rest"
        echo "${task##*/} $((f[11] + f[12])) ${f[19]} $(tr ' ' '_' <"$task/comm")"
    done
}

# process_ticks PID: ticks of the whole process, threads that ended included.
process_ticks() {
    local line rest
    line=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    rest=${line##*) }
    read -r -a f <<<"$rest"
    echo $((f[11] + f[12]))
}

# sum_ticks PID...: ticks of several processes together.
sum_ticks() {
    local total=0 pid
    for pid in "$@"; do
        total=$((total + $(process_ticks "$pid")))
    done
    echo "$total"
}

# percent TICKS: share of one core over the stretch.
percent() {
    awk -v t="$1" -v hz="$tick" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * t / hz / s }'
}

rss_line() {
    awk '/^(VmRSS|RssAnon|RssFile|VmHWM):/ { printf "%s %s kB  ", $1, $2 }' "/proc/$1/status"
}

start_first_copy
hwnd=$FOUND
wait_until_typing_works "$hwnd"
# The support dialog draws and counts down for about twenty seconds; at rest
# means after it.
wait_for 40 window_gone "$SUPPORT_TITLE" || fail "the support dialog stayed"
sleep 3

cuewire_pids=$(prefix_processes cuewire.exe)
[ "$(wc -w <<<"$cuewire_pids")" = 1 ] || fail "not one cuewire.exe process: '$cuewire_pids'"
pid=$cuewire_pids
wineserver_pids=$(pgrep -f '/wineserver(64)? ' | while read -r p; do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
done)
helper_pids=$(wine_processes | grep -vx "$pid")
note "cuewire.exe is process $pid; wineserver $wineserver_pids; helpers:" \
    $(for p in $helper_pids; do tr '\0' ' ' <"/proc/$p/cmdline" | awk '{ print $1 }'; done)

# measure LABEL EXTRA_PIDS: one stretch; EXTRA_PIDS (the receiver) apart.
measure() {
    local label=$1 extra=$2
    local before=$E2E_TEST_OUT/$label.before after=$E2E_TEST_OUT/$label.after
    local p0 s0 h0 x0 p1 s1 h1 x1 load0 load1 helper
    local -A helper0
    for helper in $helper_pids; do helper0[$helper]=$(process_ticks "$helper"); done
    thread_times "$pid" >"$before"
    p0=$(process_ticks "$pid")
    s0=$(sum_ticks $wineserver_pids)
    h0=$(sum_ticks $helper_pids)
    x0=$(sum_ticks $extra)
    load0=$(cut -d' ' -f1 /proc/loadavg)
    sleep "$seconds"
    thread_times "$pid" >"$after"
    p1=$(process_ticks "$pid")
    s1=$(sum_ticks $wineserver_pids)
    h1=$(sum_ticks $helper_pids)
    x1=$(sum_ticks $extra)
    load1=$(cut -d' ' -f1 /proc/loadavg)

    say ""
    say "== $label: ${seconds} s, load average ${load0} -> ${load1} on $(nproc) cores"
    say "cuewire.exe process: $(percent $((p1 - p0)))% of one core ($((p1 - p0)) ticks at ${tick}/s)"
    # By thread; one that began within the stretch counts from 0, one that
    # ended is only in the process total above.
    join -a 2 -e 0 -o 0,1.2,2.2,2.4 <(sort "$before") <(sort "$after") |
        while read -r tid t0 t1 name; do
            echo "$tid $((t1 - t0)) $name $(thread_role "$tid" "$name")"
        done |
        awk -v hz="$tick" -v s="$seconds" '
            { t = $2; r = $4; sum[r] += t; n[r]++
              detail = detail sprintf("    tid %s %-18s %-12s %5d ticks\n", $1, $3, r, t) }
            END { for (r in sum) printf "  %-14s %2d threads  %7.3f%%\n", r, n[r], 100 * sum[r] / hz / s
                  printf "%s", detail }' | tee -a "$report"
    say "wineserver: $(percent $((s1 - s0)))%   Wine helper processes: $(percent $((h1 - h0)))%:"
    for helper in $helper_pids; do
        say "    $(cat "/proc/$helper/comm" 2>/dev/null) $(percent $(($(process_ticks "$helper") - helper0[$helper])))%"
    done
    [ -n "$extra" ] && say "receiver (ndi-monitor.exe, not part of Cuewire): $(percent $((x1 - x0)))%"
    say "memory of cuewire.exe: $(rss_line "$pid")"
    # Wine loads the runtime's image into anonymous memory, as it does its heap:
    # its share cannot be told apart from the program's here.
    # The large blocks are zero pages until written: of the two frame buffers
    # (4096 x 2160 each) only the current frame's pages are resident.
    say "  of which the two frame buffers, as written at 1280 x 720: $((2 * 1280 * 720 * 4 / 1024)) kB"
    say "  threads: $(ls /proc/$pid/task | wc -l)"
}

# A thread's role. The user-interface thread is the process's first thread.
# Wine 8 names its own threads after what they do (wine_threadpool, ...); the
# program starts no threads of its own, so the unnamed rest, which carry the
# program's name, are the NDI runtime's. Measured: a copy without the runtime
# has no thread besides the first (Wine 8.0).
thread_role() {
    if [ "$1" = "$pid" ]; then
        echo ui-thread
    elif [[ $2 == wine* ]]; then
        echo "wine"
    else
        echo ndi-runtime
    fi
}

say "Cuewire at rest, $(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version)"
measure "no receiver" ""

monitor_log=$E2E_TEST_OUT/monitor.log
start_receiver "$monitor_log"
sleep 3
monitor_pid=$(prefix_processes ndi-monitor.exe)
helper_pids=$(wine_processes | grep -vx -e "$pid" -e "$monitor_pid")
measure "one receiver" "$monitor_pid"
say "frames the receiver got: $(grep -c '^frame ' "$monitor_log")"
