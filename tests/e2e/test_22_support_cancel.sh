#!/usr/bin/env bash
# The support dialog cancelled early: it hides at once and stays hidden while
# its two timers run out, and the panel keeps its place.
source "$(dirname "$0")/lib.sh"

out=$E2E_TEST_OUT
need_built "$WIN_PROBE" "$VISUAL_PROBE"

exe=$(stage_program "$BUILD_DIR/app/win/cuewire.exe" "$out/program") || exit 1
start_win_bg "$out/cuewire.log" "$exe"
wait_for 60 is_shown "$SUPPORT_TITLE" || fail "the support dialog never appeared"
shown_at=$SECONDS
support=$(window_of "$SUPPORT_TITLE")
sleep 3

note "Cancel hides the dialog at once"
win_probe click "$support" 2 || fail "cannot click Cancel"
wait_for 2 support_hidden || fail "the support dialog did not hide on Cancel"
panel=$(panel_window) || fail "no panel window"
panel_rect=$(visual_probe rect "$panel" 0)

note "it stays hidden while both timers run out"
while [ $((SECONDS - shown_at)) -lt 23 ]; do
    support_hidden || fail "the support dialog came back $((SECONDS - shown_at)) s after it appeared"
    sleep 1
done
expect_eq "$panel_rect" "$(visual_probe rect "$panel" 0)" "panel rectangle"
# The window itself lives on, hidden, until the application ends.
[ -n "$(visual_probe top-level "$SUPPORT_TITLE")" ] || fail "the support dialog's window was destroyed"
note "cancelled support dialog stayed hidden"
