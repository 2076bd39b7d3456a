# Helpers for the benchmarks that run under Wine; source it first, before and
# inside the runner. Started by hand, such a benchmark hands itself to the
# end-to-end runner, which gives it a loopback-only network namespace, a
# virtual display and a Wine prefix of its own and stops everything afterwards;
# the report is printed at the end.

# bench_through_runner OUT_NAME TIMEOUT REPORT_FILE [BUILD_DIR]: when this
# benchmark ($0) was started by hand, runs it through the runner with its
# artefacts in BUILD_DIR/bench-out/OUT_NAME (or $E2E_OUT), prints its
# REPORT_FILE and exits with the runner's status; under the runner, returns.
bench_through_runner() {
    [ -z "${E2E_PIDFILE:-}" ] || return 0
    local out_name=$1 timeout=$2 report=$3 build=${4:-build/windows}
    local here repo out status
    here=$(cd "$(dirname "$0")" && pwd)
    repo=$(cd "$here/../.." && pwd)
    case $build in /*) ;; *) build=$repo/$build ;; esac
    out=${E2E_OUT:-$build/bench-out/$out_name}
    E2E_SUITE_DIR=$here E2E_SUITE_GLOB=$(basename "$0") E2E_OUT=$out \
        E2E_TIMEOUT=${E2E_TIMEOUT:-$timeout} "$repo/tests/e2e/run-all.sh" "$build" >&2
    status=$?
    cat "$out/$(basename "$0" .sh)/$report" 2>/dev/null
    exit $status
}

# say LINE: one line of the benchmark's report ($report), also in its log.
say() {
    echo "$*" | tee -a "$report"
}

# start_first_copy: starts a copy and waits for its panel, numbered 1, whose
# handle it leaves in FOUND. Wine starts slowly on a loaded machine, so the
# panel gets longer than the tests give it.
start_first_copy() {
    start_copy
    wait_for 90 find_window "${TITLE_PREFIX}1" || fail "no panel numbered 1"
}
