#!/usr/bin/env bash
# The support dialog cancelled early: it hides at once and stays hidden while
# its two timers run out, and the panel keeps its place.
source "$(dirname "$0")/lib.sh"

out=$E2E_TEST_OUT
probe=$BUILD_DIR/tests/win/win-probe/win-probe.exe
vprobe=$BUILD_DIR/tests/win/visual-probe/visual-probe.exe
for tool in "$probe" "$vprobe"; do
    [ -f "$tool" ] || fail "not built: $tool"
done
wp() { run_win 20 "$probe" "$@" 2>/dev/null; }
vp() { run_win 20 "$vprobe" "$@" 2>/dev/null; }
support_title="How you can support"
is_shown() { [ "$(vp top-level "$1" | awk 'NR == 1 { print $2 }')" = 1 ]; }
hidden() { ! is_shown "$support_title"; }

exe=$(stage_program "$BUILD_DIR/app/win/cuewire.exe" "$out/program") || exit 1
start_win_bg "$out/cuewire.log" "$exe"
wait_for 60 is_shown "$support_title" || fail "the support dialog never appeared"
shown_at=$SECONDS
support=$(vp top-level "$support_title" | awk 'NR == 1 { print $1 }')
sleep 3

note "Cancel hides the dialog at once"
wp click "$support" 2 || fail "cannot click Cancel"
wait_for 2 hidden || fail "the support dialog did not hide on Cancel"
panel=$(vp top-level "Bryvo Cuewire" | awk 'NR == 1 { print $1 }')
[ -n "$panel" ] || panel=$(vp top-level "NDI Cuewire" | awk 'NR == 1 { print $1 }')
panel_rect=$(vp rect "$panel" 0)

note "it stays hidden while both timers run out"
while [ $((SECONDS - shown_at)) -lt 23 ]; do
    hidden || fail "the support dialog came back $((SECONDS - shown_at)) s after it appeared"
    sleep 1
done
expect_eq "$panel_rect" "$(vp rect "$panel" 0)" "panel rectangle"
# The window itself lives on, hidden, until the application ends.
[ -n "$(vp top-level "$support_title")" ] || fail "the support dialog's window was destroyed"
note "cancelled support dialog stayed hidden"
