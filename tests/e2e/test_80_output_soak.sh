#!/usr/bin/env bash
# The output's resources over many text compositions, with the real text canvas,
# the program's pictures and the NDI runtime sending every frame; only the
# panel's waits are taken out. Under Wine the system's resource counters are
# stubs, so the proof is: every GDI object created is deleted and every delete
# succeeds; every drawing got its canvas and was drawn (the canvas keeps its
# buffers and a glyph cache of fixed size, so a drawing that leaked its layout
# would show in memory); every sent frame carries the keyed box; and resident memory stays
# flat once the first 100 compositions have filled the caches.
#
# SOAK_COMPOSITIONS (default 2000) sets the length; tools/soak.sh runs 20,000.
source "$(dirname "$0")/lib.sh"

compositions=${SOAK_COMPOSITIONS:-2000}
sample_every=$(((compositions + 19) / 20))
# Resident memory may move by this much after the 100th composition. The
# baseline already holds the output's fixed buffers (two 35 MB frames, five
# 8 MB surfaces, the preview) and both sizes' canvases, so what can still move
# is heap fragmentation and the pages Wine's and the runtime's allocators
# return or take again: samples stayed within about 3 MB of the baseline over
# thousands of compositions. A leak of 4.5 KB or more per composition exceeds
# this within the short run.
tolerance_kib=8192

run=$E2E_TEST_OUT/run
soak=$(stage_program "$BUILD_DIR/tests/win/output-soak/output-soak.exe" "$run") || exit 1
cd "$run" || fail "no run folder"

log=$E2E_TEST_OUT/output-soak.log
note "$compositions compositions"
outside=$E2E_TEST_OUT/outside-rss.txt
start_win_bg "$log" "$soak" --compositions "$compositions" --sample-every "$sample_every"
pid=$BG_PID
# The same figure seen from outside, by the Wine process's PID, beside the
# program's latest line: a cross-check for the record, taken mid-composition
# as often as not, so it is not judged.
while kill -0 "$pid" 2>/dev/null; do
    kib=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status" 2>/dev/null)
    echo "${kib:-gone} KiB; program at: $(tail -n 1 "$log")" >>"$outside"
    sleep 2
done
wait "$pid"
status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "output-soak exited with $status"
grep -q '^done$' "$log" || fail "output-soak did not finish"

# value KEY: the number after KEY on the line that starts with it.
value() {
    awk -v key="$1" '$1 == key { print $2; exit }' "$log"
}
# field NAME: the number after the word NAME anywhere in the log.
field() {
    awk -v name="$1" '{ for (i = 1; i < NF; ++i) if ($i == name) { print $(i + 1); exit } }' "$log"
}

note "every composition drew its text on a canvas, and every frame went out keyed"
expect_eq "$compositions" "$(field compositions)" "compositions run"
expect_eq "$compositions" "$(field drawings)" "drawings"
expect_eq 0 "$(field canvases-missed)" "drawings that found no canvas"
expect_eq 0 "$(field incomplete)" "drawings not fully read back"
expect_eq 0 "$(value frames-unkeyed)" "sent frames without the keyed box"
# One send per composition, and one after the sender of the start comes back.
expect_eq $((compositions + 1)) "$(field frames-sent)" "frames sent"
expect_eq 0 "$(field create-failed)" "senders that could not be created"
expect_eq "$(field senders-created)" "$(field destroyed)" "senders destroyed"

note "every GDI object created was deleted, and every delete succeeded"
# Lines: "gdi <kind>: created N, released M, failed releases F".
unbalanced=$(sed -n 's/^gdi \(.*\): created \([0-9]*\), released \([0-9]*\), failed releases \([0-9]*\)$/\1 \2 \3 \4/p' "$log" |
    awk '{ f = $NF; r = $(NF - 1); c = $(NF - 2); if (c != r || f != 0) print }')
[ -z "$unbalanced" ] || fail "GDI objects not all released: $unbalanced"
expect_eq 5 "$(grep -c '^gdi ' "$log")" "GDI kinds reported"
expect_eq "$compositions" "$(field drawn)" "drawings drawn and read back whole"

note "resident memory is flat after the first 100 compositions"
settled=$(value rss-after-100)
# The two frame buffers alone, zero-filled, keep 67.5 MiB resident: a smaller
# figure is some other process's.
[ "${settled:-0}" -gt 69120 ] || fail "resident memory after 100 compositions: '$settled' KiB"
for key in rss-end rss-max; do
    kib=$(value $key)
    [ "$kib" -le $((settled + tolerance_kib)) ] ||
        fail "$key $kib KiB is $((kib - settled)) KiB above the $settled KiB after 100 compositions"
done

# The figures for the record (measured, not asserted).
{
    grep -E '^(compositions|rss-|ndi|ms-each|threads|gdi|drawings)' "$log"
    echo "rss samples (compositions KiB): $(awk '$1 == "rss" { printf "%s:%s ", $2, $3 }' "$log")"
} | tee "$E2E_TEST_OUT/figures.txt"
