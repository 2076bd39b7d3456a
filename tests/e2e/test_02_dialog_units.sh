#!/usr/bin/env bash
# The test prefix measures dialog units as Windows does: the program's dialog
# font, "MS Shell Dlg" 8 with DS_SHELLFONT, gives base units of 6 x 13 pixels
# at 96 DPI (Tahoma), so a template 266 units high is 432 pixels, as on an
# operator's desktop, and pixel-placed content lines up with template controls
# as it does there. Without the prefix's Tahoma, Wine gives 6 x 12 (399 pixels).
source "$(dirname "$0")/lib.sh"

probe=$BUILD_DIR/tests/win/desktop-probe/desktop-probe.exe
[ -f "$probe" ] || fail "not built: $probe"

for face in "MS Shell Dlg" "MS Shell Dlg 2"; do
    out=$(run_win 60 "$probe" dialog-units "$face" 8) || fail "the probe failed for $face"
    note "$face 8: $out"
    units=$(sed -n 's/.*base=\([0-9x]*\) .*/\1/p' <<<"$out")
    height=$(sed -n 's/.*units266=\([0-9]*\).*/\1/p' <<<"$out")
    expect_eq "6x13" "$units" "$face 8: dialog base units"
    expect_eq "432" "$height" "$face 8: pixels of 266 units"
done
