#!/usr/bin/env bash
# The go-live composition's cost per frame beside ffmpeg drawing the same box
# and line on a 1920 x 1080 BGRA frame, in one run, as a table. Run by hand:
#
#   tests/bench/composition-vs-ffmpeg.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/windows (cmake --preset windows && cmake --build
# --preset windows). With BEFORE_BUILD_DIR set to another build of the program
# (an absolute path), its benchmark runs in the same run and its rows are
# marked "before", so that two versions are compared under the same load. BENCH_FRAMES and BENCH_REPEATS set the compositions per
# batch and the batches per case (default 300 and 5); FFMPEG_FRAMES and
# FFMPEG_REPEATS the frames per ffmpeg run and the runs per pipeline (default
# 1000 and 5). Every figure is a median. The table is printed at the end and
# kept with the logs in BUILD_DIR/bench-out/composition-vs-ffmpeg/ (or $E2E_OUT).
#
# It runs through the end-to-end runner, which gives it an X server, a Wine
# prefix and a loopback-only network namespace of its own and stops everything
# afterwards.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
bench_through_runner composition-vs-ffmpeg 3600 table.txt "${1:-}"

repo=$(cd "$E2E_ROOT/../.." && pwd)
source "$E2E_ROOT/lib.sh"

frames=${BENCH_FRAMES:-300}
repeats=${BENCH_REPEATS:-5}
ffmpeg_frames=${FFMPEG_FRAMES:-1000}
ffmpeg_repeats=${FFMPEG_REPEATS:-5}
font=${CUEWIRE_THIRD_PARTY_DIR:-$repo/.cache/third_party}/LibreFranklin_500Medium.ttf
bench=$BUILD_DIR/tests/bench/win/gdi_composition_bench.exe
out=$E2E_TEST_OUT
[ -f "$bench" ] || fail "not built: $bench"
[ -f "$font" ] || fail "no font at $font (run tools/setup.sh)"
command -v ffmpeg >/dev/null || fail "no ffmpeg (run tools/setup.sh)"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

note "gdi_composition_bench --frames $frames --repeats $repeats"
run_win 3000 "$bench" --frames "$frames" --repeats "$repeats" | tee "$out/gdi_composition_bench.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "gdi_composition_bench failed"
if [ -n "${BEFORE_BUILD_DIR:-}" ]; then
    # A build from before the benchmarks had their one folder keeps the program in tools/bench.
    before_bench=$BEFORE_BUILD_DIR/tests/bench/win/gdi_composition_bench.exe
    [ -f "$before_bench" ] || before_bench=$BEFORE_BUILD_DIR/tools/bench/gdi_composition_bench.exe
    [ -f "$before_bench" ] || fail "not built: $before_bench"
    note "before: $before_bench --frames $frames --repeats $repeats"
    run_win 3000 "$before_bench" --frames "$frames" --repeats "$repeats" |
        tee "$out/before_composition_bench.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "the before build's benchmark failed"
fi
text=$(sed -n 's/^text: //p' "$out/gdi_composition_bench.log")
[ -n "$text" ] || fail "the benchmark named no text"

# The box at 1920 x 1080 and the em size that gives our cell height: a font
# asked for by a positive height gets ascent plus descent (the OS/2 table's
# Windows metrics) of that many pixels, while ffmpeg's size is the em.
box_x=137 box_y=828 box_w=1645 box_h=180 cell=126
em=$(python3 - "$font" "$cell" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
tables = {}
for i in range(struct.unpack(">H", data[4:6])[0]):
    tag, _, offset, _ = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
    tables[tag] = offset
units = struct.unpack(">H", data[tables[b"head"] + 18:tables[b"head"] + 20])[0]
ascent, descent = struct.unpack(">HH", data[tables[b"OS/2"] + 74:tables[b"OS/2"] + 78])
print(round(int(sys.argv[2]) * units / (ascent + descent)))
EOF
) || fail "cannot read the font's metrics"
printf '%s' "$text" >"$out/text.txt"
source_graph="color=c=0x00000000:s=1920x1080:r=30000/1001,format=bgra"
box="drawbox=x=$box_x:y=$box_y:w=$box_w:h=$box_h:color=0x000000af:t=fill"
line="drawtext=fontfile=$font:textfile=$out/text.txt:fontcolor=white:fontsize=$em"
line+=":x=(w-text_w)/2:y=$box_y+($box_h-line_h)/2"
# replace=1 writes the box's alpha as ours does. Some ffmpeg builds (5.1 among
# them) crash with it on packed RGB; there the box's colour is blended and its
# alpha left alone, which is no less work a pixel.
box_mode="replace=1, colour and alpha written"
if ffmpeg -hide_banner -nostdin -loglevel quiet -f lavfi -i "$source_graph" \
    -vf "$box:replace=1" -frames:v 2 -f null - >/dev/null 2>&1; then
    box+=":replace=1"
else
    box_mode="replace=1 crashes this ffmpeg: colour blended, alpha left"
fi
filters="$box,$line"
note "ffmpeg filters ($box_mode): $filters"

# ffmpeg_run FRAMES [FILTERS]: prints "user+system real" seconds of one run.
ffmpeg_run() {
    local n=$1 vf=${2:-}
    local args=(-hide_banner -nostdin -benchmark -filter_threads 1 -f lavfi -i "$source_graph")
    [ -n "$vf" ] && args+=(-vf "$vf")
    ffmpeg "${args[@]}" -frames:v "$n" -f null - 2>&1 |
        sed -n 's/.*bench: utime=\([0-9.]*\)s stime=\([0-9.]*\)s rtime=\([0-9.]*\)s.*/\1 \2 \3/p' |
        awk '{ printf "%.6f %.6f\n", $1 + $2, $3 }'
}

# The same box and line, so that the comparison is like for like: over opaque
# grey the box darkens exactly its rectangle and the line lights part of it.
note "ffmpeg frame check"
ffmpeg -hide_banner -nostdin -loglevel error -f lavfi -i "color=c=0x808080:s=1920x1080,format=bgra" \
    -vf "$filters" -frames:v 1 -f rawvideo -pix_fmt bgra "$out/ffmpeg-frame.bgra" ||
    fail "ffmpeg cannot draw the frame"
python3 - "$out/ffmpeg-frame.bgra" $box_x $box_y $box_w $box_h <<'EOF' || fail "ffmpeg drew another frame"
import sys
frame = open(sys.argv[1], "rb").read()
x, y, w, h = map(int, sys.argv[2:])
def red(px, py):
    return frame[(py * 1920 + px) * 4 + 2]
corners = [red(x, y), red(x + w - 1, y), red(x, y + h - 1), red(x + w - 1, y + h - 1)]
outside = [red(x - 1, y), red(x, y - 1), red(x + w, y + h - 1), red(x, y + h)]
light = sum(1 for py in range(y, y + h) for px in range(x, x + w) if red(px, py) > 0x80)
print("box corners", corners, "outside", outside, "light pixels in the box", light)
sys.exit(0 if max(corners) < 0x40 and set(outside) == {0x80} and light > 1000 else 1)
EOF

# Per frame: (run of N frames - run of 1 frame) / (N - 1), so start-up drops out.
ffmpeg_case() {
    local label=$1 vf=${2:-}
    local i one long
    : >"$out/ffmpeg-$label.txt"
    for i in $(seq "$ffmpeg_repeats"); do
        one=$(ffmpeg_run 1 "$vf")
        long=$(ffmpeg_run "$ffmpeg_frames" "$vf")
        [ -n "$one" ] && [ -n "$long" ] || fail "ffmpeg gave no benchmark figures ($label)"
        echo "$one $long" | awk -v n="$ffmpeg_frames" \
            '{ printf "%.4f %.4f\n", 1000 * ($3 - $1) / (n - 1), 1000 * ($4 - $2) / (n - 1) }' \
            >>"$out/ffmpeg-$label.txt"
    done
}
note "ffmpeg: $ffmpeg_repeats runs of $ffmpeg_frames frames, with and without the filters"
ffmpeg_case filters "$filters"
ffmpeg_case plain

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

median_of() {  # COLUMN FILE
    sort -g -k"$1","$1" "$2" | awk -v c="$1" '{ v[NR] = $c } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
f_cpu=$(median_of 1 "$out/ffmpeg-filters.txt")
f_wall=$(median_of 2 "$out/ffmpeg-filters.txt")
p_cpu=$(median_of 1 "$out/ffmpeg-plain.txt")
p_wall=$(median_of 2 "$out/ffmpeg-plain.txt")

field() {  # LINE NAME
    sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<"$1"
}
{
    echo "Composition per frame, milliseconds (medians); load average $load_before before, $load_after after, $(nproc) cores"
    printf '%-44s %10s %10s %10s\n' "" "wall" "CPU" "text"
    for log in before_composition_bench gdi_composition_bench; do
        [ -f "$out/$log.log" ] || continue
        label=Cuewire
        [ "$log" = before_composition_bench ] && label="before: Cuewire"
        grep '^result ' "$out/$log.log" | while read -r line; do
            printf '%-44s %10.3f %10.3f %10.3f\n' \
                "$label $(field "$line" width)x$(field "$line" height) $(field "$line" content)" \
                "$(field "$line" wall_ms)" "$(field "$line" cpu_ms)" "$(field "$line" canvas_ms)"
        done
    done
    echo "ffmpeg drawbox: $box_mode"
    printf '%-44s %10.3f %10.3f\n' "ffmpeg 1920x1080 drawbox+drawtext pipeline" "$f_wall" "$f_cpu"
    printf '%-44s %10.3f %10.3f\n' "ffmpeg 1920x1080 same pipeline, no filters" "$p_wall" "$p_cpu"
    printf '%-44s %10.3f %10.3f\n' "ffmpeg 1920x1080 the two filters alone" \
        "$(awk -v a="$f_wall" -v b="$p_wall" 'BEGIN { print a - b }')" \
        "$(awk -v a="$f_cpu" -v b="$p_cpu" 'BEGIN { print a - b }')"
    for log in before_composition_bench gdi_composition_bench; do
        [ -f "$out/$log.log" ] || continue
        label=Cuewire
        [ "$log" = before_composition_bench ] && label="before: Cuewire"
        ours=$(grep '^result width=1920 height=1080 content=text ' "$out/$log.log")
        awk -v w="$(field "$ours" wall_ms)" -v c="$(field "$ours" cpu_ms)" -v label="$label" \
            -v fw="$f_wall" -v fc="$f_cpu" -v pw="$p_wall" -v pc="$p_cpu" 'BEGIN {
            printf "%s 1920x1080 text / ffmpeg pipeline:      wall %.2f  CPU %.2f\n", label, w / fw, c / fc
            if (fw - pw > 0 && fc - pc > 0)
                printf "%s 1920x1080 text / ffmpeg filters alone: wall %.2f  CPU %.2f\n", label, w / (fw - pw), c / (fc - pc)
        }'
    done
} | tee "$out/table.txt"
