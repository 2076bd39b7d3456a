#!/usr/bin/env bash
# A copy's start as a receiver sees it: a receiver that connects as soon as the
# copy has its number keeps the source from the first frame on, and the
# start-up frame stays the same picture however many compositions make it (two
# Escapes during the start-up period).
source "$(dirname "$0")/copies.sh"

# The source's life as the host sees it: each change of the sender's listening
# port, polled from before the copy starts. A sender made and destroyed at the
# numbering step would show as a port that opens, closes and opens again.
ports=$E2E_TEST_OUT/port.log
: >"$ports"
watch_port() {
    local was=0 is
    while :; do
        ss -Hltn 'sport = :5961' | grep -q . && is=1 || is=0
        [ "$is" = "$was" ] || echo "$(date +%s%3N) $is" >>"$ports"
        was=$is
        sleep 0.02
    done
}
start_bg /dev/null watch_port
watcher=$BG_PID

start_copy
titled() { find_window "${TITLE_PREFIX}1"; }
wait_for 30 titled || fail "the copy never took number 1"
hwnd=$FOUND
titled_at=$(date +%s%3N)

note "a receiver connects right after the title appears"
frames=$E2E_TEST_OUT/frames
mkdir -p "$frames"
received=$E2E_TEST_OUT/received.log
start_win_bg "$received" "$NDI_MONITOR" --address 127.0.0.1:5961 --seconds 24 \
    --save-dir "$(win_path "$frames")"
receiver=$BG_PID

note "two Escapes compose the start-up frame twice more"
# Pressed at once: they wait in the panel's queue behind the numbering step's
# own composition, and the start-up period leaves room for all three.
probe foreground "$hwnd" || fail "cannot bring the panel to the front"
keys=$(probe timed-keys Escape Escape) || fail "cannot press Escape"
escaped_at=$(awk '/^sent Escape/ { sub("at=", "", $3); t = $3 } END { print t }' <<<"$keys")
note "Escapes sent $((escaped_at - titled_at)) ms after the title was seen"
# The receiver runs on past the start-up period, which ends with an empty frame.
wait "$receiver"
cat "$received"

first_at=$(awk '$1 == "frame" { for (i = 2; i <= NF; i++) if ($i ~ /^at=/) print substr($i, 4); exit }' "$received")
[ -n "$first_at" ] || fail "the receiver got no frame"
note "first frame $((first_at - titled_at)) ms after the title was seen"

# Each start-up composition holds the panel 2 s and the second Escape waits for
# the first, so a start-up frame that arrives 4 s after the keys comes from the
# second Escape's composition or from the re-sends of it.
read -r first_file first_covered < <(awk '$1 == "frame" {
    for (i = 2; i <= NF; i++) { if ($i ~ /^file=/) f = substr($i, 6); if ($i ~ /^covered=/) c = substr($i, 9) }
    print f, c; exit }' "$received")
read -r last_file last_at < <(awk -v after=$((escaped_at + 4000)) '$1 == "frame" {
    for (i = 2; i <= NF; i++) { if ($i ~ /^file=/) f = substr($i, 6); if ($i ~ /^at=/) t = substr($i, 4); if ($i ~ /^covered=/) c = substr($i, 9) }
    if (t + 0 > after && c + 0 > 0) { lf = f; lt = t } } END { print lf, lt }' "$received")
[ -n "$last_file" ] || fail "no start-up frame arrived after the two Escapes"
unix_of() { local p=${1#Z:}; echo "${p//\\//}"; }
first_png=$(unix_of "$first_file")
last_png=$(unix_of "$last_file")
note "first frame $(basename "$first_png") (covered $first_covered), after the Escapes $(basename "$last_png") at +$((last_at - escaped_at)) ms"
python3 "$E2E_ROOT/check_frame.py" "$first_png" startup || fail "the first frame is not the start-up frame"
python3 "$E2E_ROOT/check_frame.py" "$last_png" startup || fail "the frame after the Escapes is not the start-up frame"
python3 "$E2E_ROOT/check_frame.py" "$last_png" same --like "$first_png" ||
    fail "the start-up frame changed with the Escapes"

note "the receiver kept the source: a frame at least every few seconds to the end"
gaps=$(awk '$1 == "frame" { for (i = 2; i <= NF; i++) if ($i ~ /^at=/) t = substr($i, 4)
    if (n++) printf "%d ", t - last; last = t }' "$received")
note "gaps between frames (ms): $gaps"
count=$(grep -c '^frame ' "$received")
[ "$count" -ge 12 ] || fail "only $count frames in the receiver's 24 s"
for gap in $gaps; do
    [ "$gap" -le 4000 ] || fail "the receiver went $gap ms without a frame"
done
grep '^frame ' "$received" | tail -n 1 | grep -q ' covered=0 ' ||
    fail "the receiver did not see the start-up period end"

note "the source appeared once and stayed"
stop_bg "$watcher"
cat "$ports"
expect_eq 1 "$(awk '$2 == 1' "$ports" | wc -l)" "times the sender's port opened"
expect_eq 0 "$(awk '$2 == 0' "$ports" | wc -l)" "times the sender's port closed"
