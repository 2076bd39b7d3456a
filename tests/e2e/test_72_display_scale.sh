#!/usr/bin/env bash
# At a display scale of 150 % (the prefix's LogPixels at 144) on a 1280 x 1024
# screen: the panel's step to the left stops at the screen's edge and the
# support dialog opens inside the screen; nothing in the panel, the support
# dialog or the About box is cut off, and the pictures are drawn whole at their
# scaled sizes. Keeps pictures of the three windows; with CUEWIRE_UPDATE_DOCS=1
# it puts the panel, with a line live, into docs/panel-144dpi.png.
source "$(dirname "$0")/lib.sh"

repo=$(cd "$E2E_ROOT/../.." && pwd)
art=$repo/res/art
out=$E2E_TEST_OUT
check=$E2E_ROOT/visual_check.py
need_built "$WIN_PROBE" "$VISUAL_PROBE"
at_most() { awk -v v="$1" -v l="$2" 'BEGIN { exit !(v <= l) }'; }

screen_width=1280
screen_height=1024
dpi=144

# --- A screen of the size under test, and the prefix at 150 % -----------------
# Wine takes the screen's size and the scale when its server starts, so the
# runner's server goes first and ours starts on our display; both settings are
# taken back, and our server ended, for the tests after us.
for n in $(seq 20 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -nolisten tcp -screen 0 ${screen_width}x${screen_height}x24 >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -S "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ] && break
    xvfb_pid=
done
[ -n "${xvfb_pid:-}" ] || fail "could not start a ${screen_width}x${screen_height} display"
echo "$xvfb_pid" >>"$E2E_PIDFILE"
desktop_key='HKCU\Control Panel\Desktop'
x11_key='HKCU\Software\Wine\X11 Driver'
restore() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    wine reg delete "$desktop_key" /v LogPixels /f >/dev/null 2>&1
    wine reg delete "$x11_key" /v Decorated /f >/dev/null 2>&1
    wineserver -w 2>/dev/null
    wineserver -k 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
}
trap restore EXIT
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
export DISPLAY=":$n"
wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
# Title bars drawn by Wine itself, for the pictures (no window manager here).
wine reg add "$x11_key" /v Decorated /d N /f >/dev/null 2>&1
wineserver -w

# inside "L T R B" "L T R B": the first rectangle lies within the second.
inside() {
    read -r al at ar ab <<<"$1"
    read -r bl bt br bb <<<"$2"
    [ "$al" -ge "$bl" ] && [ "$at" -ge "$bt" ] && [ "$ar" -le "$br" ] && [ "$ab" -le "$bb" ]
}
# children_inside WINDOW NAME: every visible control lies within the window's
# client area. Prints the controls' list into NAME-controls.txt.
children_inside() {
    local client line id rect
    client=$(visual_probe client "$1" 0)
    visual_probe children "$1" >"$out/$2-controls.txt"
    [ -s "$out/$2-controls.txt" ] || fail "$2: no controls listed"
    while read -r line; do
        id=${line%% *}
        rect=$(awk '{ print $3, $4, $5, $6 }' <<<"$line")
        inside "$rect" "$client" || fail "$2: control $id at $rect is cut off by the client area $client"
    done <"$out/$2-controls.txt"
    note "$2: $(wc -l <"$out/$2-controls.txt") controls inside the client area $client"
}
# size_of NAME ID [CLASS]: "width height" of the first listed control with ID.
size_of() {
    awk -v id="$2" '$1 == id { print $5 - $3, $6 - $4; exit }' "$out/$1-controls.txt"
}

# --- Start ---------------------------------------------------------------------
exe=$(stage_program "$BUILD_DIR/app/win/cuewire.exe" "$out/program") || exit 1
start_win_bg "$out/cuewire.log" "$exe"
wait_for 60 is_shown "$SUPPORT_TITLE" || fail "the support dialog never appeared"
shot=$out/1-start.png
import -window root "$shot" || fail "screenshot failed"
support=$(window_of "$SUPPORT_TITLE")
panel=$(panel_window) || fail "no panel window"
read -r window_dpi system_dpi shown_width shown_height <<<"$(visual_probe dpi "$panel")"
note "panel at $window_dpi DPI (system $system_dpi), screen $shown_width x $shown_height"
expect_eq "$screen_width $screen_height" "$shown_width $shown_height" "the screen Wine reports"
expect_eq $dpi "$window_dpi" "the panel's DPI"

note "the panel stops at the screen's left edge; the support dialog stays on the screen"
read -r pl pt pr pb <<<"$(visual_probe rect "$panel" 0)"
read -r sl st sr sb <<<"$(visual_probe rect "$support" 0)"
note "panel $pl $pt $pr $pb ($((pr - pl)) x $((pb - pt))), support dialog $sl $st $sr $sb ($((sr - sl)) x $((sb - st)))"
echo "panel_rect $pl $pt $pr $pb" >>"$out/figures.txt"
echo "support_rect $sl $st $sr $sb" >>"$out/figures.txt"
# Centred, the panel's step of 675 pixels would have taken it past the edge.
[ $(((screen_width - (pr - pl)) / 2 - 675)) -lt 0 ] || fail "the panel would fit: no case for this test"
expect_eq 0 "$pl" "the panel's left edge"
inside "$pl $pt $pr $pb" "0 0 $screen_width $screen_height" || fail "the panel leaves the screen"
inside "$sl $st $sr $sb" "0 0 $screen_width $screen_height" || fail "the support dialog leaves the screen"
# Beside the panel, 15 pixels from it, as far as the screen allows.
beside=$((pr + 15))
[ $((beside + sr - sl)) -le $screen_width ] || beside=$((screen_width - (sr - sl)))
expect_eq "$beside" "$sl" "the support dialog's left edge"

note "the support dialog: its controls whole, the picture 960 x 540 at (15, 15), logos 57 x 45"
children_inside "$support" support
read -r cl ct _ _ <<<"$(visual_probe client "$support" 0)"
picture=$(awk '$1 == 0 { print $3, $4, $5, $6; exit }' "$out/support-controls.txt")
expect_eq "$((cl + 15)) $((ct + 15)) $((cl + 975)) $((ct + 555))" "$picture" "the support picture's place"
expect_eq "57 45" "$(size_of support $IDC_SUPPORT_SOCIAL)" "the social logo's size"
expect_eq "57 45" "$(size_of support $IDC_SUPPORT_VIDEO)" "the video logo's size"
difference=$(python3 "$check" rmse "$shot" $picture "$art/shop.bmp")
note "support picture against bitmap 190 scaled by ImageMagick: $difference"
echo "support_picture_rmse $difference" >>"$out/figures.txt"
at_most "$difference" 6 || fail "the support picture is not bitmap 190 whole at 960 x 540 ($difference)"
python3 "$check" crop "$shot" "$sl" "$st" "$sr" "$sb" "$out/support-144dpi.png"
win_probe click "$support" 2
wait_for 10 support_hidden || fail "the support dialog did not close with Cancel"

note "the panel: its controls whole, the small logos 57 x 41"
children_inside "$panel" panel
expect_eq "57 41" "$(size_of panel $IDC_LINK_SOCIAL)" "the small social logo's size"
expect_eq "57 41" "$(size_of panel $IDC_LINK_VIDEO)" "the small video logo's size"
if [ "${CUEWIRE_UPDATE_DOCS:-}" = 1 ]; then
    edits_enabled() { win_probe state "$panel" $IDC_SLOT_EDIT_1 | grep -q "^1 "; }
    wait_for 30 edits_enabled || fail "the slot edits never became usable"
    win_probe mouse "$panel" $IDC_SLOT_EDIT_1
    win_probe type "Cuewire on air"
    win_probe keys F3
    sleep 2
fi
import -window root "$out/2-panel.png" || fail "screenshot failed"
python3 "$check" crop "$out/2-panel.png" "$pl" "$pt" "$pr" "$pb" "$out/panel-144dpi.png"

note "the About box: its controls whole, the logo 96 x 72"
visual_probe syscommand "$panel" 16
wait_for 20 is_shown "About NDI" || fail "the About box did not open"
about=$(window_of "About NDI")
sleep 0.5
children_inside "$about" about
expect_eq "96 72" "$(size_of about -1)" "the maker's logo's size"
import -window root "$out/3-about.png" || fail "screenshot failed"
python3 "$check" crop "$out/3-about.png" $(visual_probe rect "$about" 0) "$out/about-144dpi.png"
win_probe click "$about" 1

if [ "${CUEWIRE_UPDATE_DOCS:-}" = 1 ]; then
    cp "$out/panel-144dpi.png" "$repo/docs/"
    note "docs/panel-144dpi.png updated"
fi
note "all display-scale checks passed"
