# Sourced by the benchmarks that run under Wine. Started by hand, such a
# benchmark hands itself to the end-to-end runner, which gives it a
# loopback-only network namespace, a virtual display and a Wine prefix of its
# own and stops everything afterwards; the report is printed at the end.

# bench_through_runner SCRIPT OUT_NAME TIMEOUT REPORT_FILE [BUILD_DIR]
# Runs SCRIPT through the runner with its artefacts in
# BUILD_DIR/bench-out/OUT_NAME (or $E2E_OUT), then prints its REPORT_FILE.
# Returns the runner's status.
bench_through_runner() {
    local script=$1 out_name=$2 timeout=$3 report=$4 build=${5:-build/windows}
    local here repo out status
    here=$(cd "$(dirname "$script")" && pwd)
    repo=$(cd "$here/../.." && pwd)
    case $build in /*) ;; *) build=$repo/$build ;; esac
    out=${E2E_OUT:-$build/bench-out/$out_name}
    E2E_SUITE_DIR=$here E2E_SUITE_GLOB=$(basename "$script") E2E_OUT=$out \
        E2E_TIMEOUT=${E2E_TIMEOUT:-$timeout} "$repo/tests/e2e/run-all.sh" "$build" >&2
    status=$?
    cat "$out/$(basename "$script" .sh)/$report" 2>/dev/null
    return $status
}
