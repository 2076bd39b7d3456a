#!/usr/bin/env bash
# Go-lives by key in the real program, many of them, with the resident memory
# of the Wine process that runs cuewire.exe read from /proc: it stays flat once
# the first batch has warmed up. F3 and F4 put two different slot texts live
# in turn, so every key press is a text composition; "Kyx Link" is ticked, so
# that the link monitor counts each one as its transfer arrives.
#
# SOAK_GO_LIVES (default 40) sets the length; tools/soak.sh runs 200.
source "$(dirname "$0")/copies.sh"

go_lives=${SOAK_GO_LIVES:-40}
batch=10
# Allowed growth after the first batch. The panel's fixed buffers are resident
# from the start; what still moves is the heap and Wine's caches, and a sample
# may catch a composition's canvas in use: within about 3 MB over 200 go-lives
# in our runs. A leak of a text canvas per go-live (0.5 MB) exceeds this
# within 20 go-lives.
tolerance_kib=8192
[ $((go_lives % batch)) -eq 0 ] && [ "$go_lives" -ge $((2 * batch)) ] ||
    fail "SOAK_GO_LIVES must be a multiple of $batch, at least $((2 * batch))"

start_copy
pid=$COPY_PID
hwnd=$(panel 1) || exit 1

link=$E2E_TEST_OUT/link.log
start_link_monitor "$link"
# Before the start-up period ends and puts the focus on the entry line.
probe click "$hwnd" $IDC_LINK || fail "cannot tick Kyx Link"

texts_received() {
    grep -c '^text ' "$link" | tr -d '\r'
}
resident_kib() {
    awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status"
}

wait_until_typing_works "$hwnd"
first="Soak one"
second="Soak two: the weather with Anna"
type_into "$hwnd" $IDC_SLOT_EDIT_1 "$first"
type_into "$hwnd" $IDC_SLOT_EDIT_2 "$second"
probe foreground "$hwnd" || fail "cannot bring the panel to the front"
# The end of the start-up period may have composed too: count from here.
sleep 1
before=$(texts_received)

note "$go_lives go-lives by F3 and F4, $batch a batch"
samples=$E2E_TEST_OUT/rss-samples.txt
echo "0 $(resident_kib)" >"$samples"
keys=()
for _ in $(seq $((batch / 2))); do
    keys+=(F3 F4)
done
start=$SECONDS
for done in $(seq "$batch" "$batch" "$go_lives"); do
    # Each composition holds the panel half a second; the keys wait in its queue.
    probe keys "${keys[@]}" || fail "cannot press the keys"
    wait_for 60 log_has "$link" '^text ' $((before + done)) ||
        fail "only $(($(texts_received) - before)) of $done go-lives arrived"
    echo "$done $(resident_kib)" >>"$samples"
done
took=$((SECONDS - start))
cat "$samples"

note "every key press put its slot's text live, in turn, and the panel is still there"
sleep 2
expect_eq "$go_lives" "$(($(texts_received) - before))" "texts the link carried"
received=$(grep '^text ' "$link" | tr -d '\r' | tail -n "$go_lives" | sort | uniq -c |
    awk '{ $1 = $1; print }')
expect_eq "$((go_lives / 2)) text $first
$((go_lives / 2)) text $second" "$received" "texts put live"
find_window "$TITLE_PREFIX" || fail "the panel is gone"

note "resident memory of cuewire.exe is flat after the first $batch go-lives"
settled=$(awk -v n="$batch" '$1 == n { print $2 }' "$samples")
# The panel's two frame buffers alone keep 67.5 MiB resident: a smaller figure
# is some other process's.
[ "${settled:-0}" -gt 69120 ] || fail "resident memory after $batch go-lives: '$settled' KiB"
max=$(awk -v n="$batch" '$1 >= n && $2 > m { m = $2 } END { print m }' "$samples")
end=$(tail -n 1 "$samples" | cut -d' ' -f2)
[ "$max" -le $((settled + tolerance_kib)) ] ||
    fail "resident memory rose to $max KiB from $settled KiB after $batch go-lives"

# The figures for the record (measured, not asserted).
{
    echo "go-lives $go_lives in ${took}s"
    echo "rss after $batch: $settled KiB, end: $end KiB, max: $max KiB"
    echo "rss samples (go-lives KiB): $(tr ' ' ':' <"$samples" | tr '\n' ' ')"
} | tee "$E2E_TEST_OUT/figures.txt"
