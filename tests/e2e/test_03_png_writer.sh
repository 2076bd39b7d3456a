#!/usr/bin/env bash
# ndi-monitor's PNG files as a decoder other than the platform's reads them
# (check_frame.py's, which every frame check uses): each channel and alpha
# exactly as the frame held them, padded rows skipped, alpha made opaque for a
# frame sent without it; and a write that cannot succeed reports an error and
# leaves no file.
source "$(dirname "$0")/lib.sh"

probe=$BUILD_DIR/tests/win/png-writer/png-writer-probe.exe
[ -f "$probe" ] || fail "not built: $probe"
out=$E2E_TEST_OUT/files
mkdir -p "$out"
log=$E2E_TEST_OUT/probe.log
run_win 60 "$probe" "$(win_path "$out")" >"$log"
status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "png-writer-probe exited with $status"

expect_eq 2 "$(grep -c '^saved ' "$log")" "frames saved"
expect_eq 3 "$(grep -c '^refused .* file-left=0$' "$log")" "writes refused without leaving a file"

while read -r _ file size rgba; do
    python3 - "$E2E_ROOT" "$out/$file" "$size" "${rgba#rgba=}" <<'PY' || fail "$file does not hold the frame"
import sys
sys.path.insert(0, sys.argv[1])
import check_frame

path, size, expected = sys.argv[2], sys.argv[3], sys.argv[4]
width, height, rows = check_frame.read_png(path)
got = b"".join(rows).hex()
print("%s: %dx%d rgba=%s" % (path.rsplit("/", 1)[-1], width, height, got))
if "%dx%d" % (width, height) != size or got != expected:
    print("FAIL: expected %s rgba=%s" % (size, expected))
    sys.exit(1)
PY
done < <(grep '^saved ' "$log")
