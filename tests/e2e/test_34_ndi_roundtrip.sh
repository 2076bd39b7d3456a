#!/usr/bin/env bash
# The output as a receiver sees it: the real composition, canvas and pictures
# sent through the real NDI runtime, received by a fresh ndi-monitor per
# phase, at both sizes: format, frame rate, aspect, the product description,
# and the picture itself (start-up frame, text box, empty frame), then the
# text once more sent without alpha.
source "$(dirname "$0")/lib.sh"

run=$E2E_TEST_OUT/run
sender=$(stage_program "$BUILD_DIR/tests/win/ndi-roundtrip/ndi-roundtrip.exe" "$run") || exit 1
monitor=$(stage_program "$BUILD_DIR/tools/ndi-monitor/ndi-monitor.exe" "$run") || exit 1
cd "$run" || fail "no run folder"

gap=$(printf '%14s' '')
product="<ndi_product long_name=\"Bryvo Stillo - signal generator\"${gap}short_name=\"Bryvo Stillo\"${gap}manufacturer=\"Bryvo\"${gap}version=\"1.0.3\"${gap}session=\"default\"${gap}model_name=\"B1\"${gap}serial=\"00001\"/>"

log=$E2E_TEST_OUT/roundtrip.log
start_win_bg "$log" "$sender" --wait-receiver-ms 60000 --max-hold-ms 30000
roundtrip=$BG_PID

failures=0
for phase in 1 2 3 4 5 6 7; do
    wait_for 90 log_has "$log" "^phase $phase .* ready\$" || fail "phase $phase never came (see $log)"
    read -r _ _ size content _ < <(grep "^phase $phase " "$log" | head -n 1)
    width=${size%x*}
    dir=$E2E_TEST_OUT/$phase-$content-$size
    mkdir -p "$dir"
    received=$dir/monitor.log
    run_win 60 "$monitor" --address 127.0.0.1:5961 --frames 2 --seconds 40 \
        --save-dir "$(win_path "$dir")" >"$received" ||
        fail "phase $phase ($content $size): no frames received (see $received)"
    note "phase $phase: $content at $size: $(grep -c '^frame' "$received") frames"

    fourcc=BGRA
    [ "$content" = text-bgrx ] && fourcc=BGRX
    frame=$(grep '^frame 2 ' "$received")
    [[ $frame == "frame 2 $size $fourcc 30000/1200 aspect=1.777778 stride=$((width * 4)) file="* ]] ||
        fail "phase $phase: frame line '$frame'"
    grep -qxF "metadata $product" "$received" ||
        fail "phase $phase: product description not received: $(grep '^metadata' "$received" | head -n 1)"
    if ! python3 "$E2E_ROOT/check_frame.py" "$dir/frame-0002.png" "$content"; then
        failures=$((failures + 1))
    fi
    wait_for 40 log_has "$log" "^phase $phase done" || fail "phase $phase did not end"
done

wait_for 30 log_has "$log" '^shutdown ' || fail "the sender did not shut down"
wait "$roundtrip" || fail "ndi-roundtrip failed"
grep '^shutdown ' "$log"
[ "$failures" -eq 0 ] || fail "$failures received frames were not as sent (pictures in $E2E_TEST_OUT)"
