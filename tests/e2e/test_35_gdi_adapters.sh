#!/usr/bin/env bash
# The output's adapters where they run: the DirectWrite text canvas (face,
# capital height and place as GDI drew them, antialiasing, centring, scripts by
# fallback, "&", shrinking to fit, cut edges, memory flat, the system's font
# smoothing left alone) and the bitmap resource reader, through their
# GoogleTest program; then the canvas benchmark, whose figures are kept as an
# artefact.
source "$(dirname "$0")/lib.sh"

dir=$BUILD_DIR/tests/win/gdi-adapters
tests=$dir/gdi_adapters_test.exe
bench=$BUILD_DIR/tests/bench/win/gdi_canvas_bench.exe
need_built "$tests" "$bench"
[ -f "$dir/LibreFranklin-OFL.txt" ] || fail "the bundled face's licence is not beside the program"

note "gdi_adapters_test"
run_gtest 240 "$tests"

note "gdi_canvas_bench"
run_win 120 "$bench" 200 | tee "$E2E_TEST_OUT/gdi_canvas_bench.log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || fail "gdi_canvas_bench exited with $status"
grep -q "drawings/s" "$E2E_TEST_OUT/gdi_canvas_bench.log" || fail "no benchmark figures"
