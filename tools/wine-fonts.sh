#!/usr/bin/env bash
# Gives the Wine prefix $WINEPREFIX the Tahoma that Wine ships, so that dialogs
# measure their units as on Windows.
#
# Dialog templates name "MS Shell Dlg", which Wine, like Windows, maps to
# Tahoma (the prefix's FontSubstitutes). Wine 8 looks for its own fonts only in
# the prefix's C:\windows\Fonts and in fontconfig's folders, and Debian puts
# them in /usr/share/wine/fonts (package fonts-wine), where it never looks. So
# "Tahoma" is missing, the font mapper falls back to Liberation Sans, and 8
# points give base units of 6 x 12 pixels: a template 266 units high is 399
# pixels, not the 432 of Windows. Wine's Tahoma has Tahoma's vertical metrics
# and gives Windows' 6 x 13. Safe to run again.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix}"

source_dir=${WINE_FONTS_DIR:-/usr/share/wine/fonts}
fonts=$WINEPREFIX/drive_c/windows/Fonts
[ -d "$fonts" ] || { echo "wine-fonts: $WINEPREFIX is not a Wine prefix" >&2; exit 1; }
for face in tahoma.ttf tahomabd.ttf; do
    [ -f "$source_dir/$face" ] || { echo "wine-fonts: no $source_dir/$face (install fonts-wine)" >&2; exit 1; }
    cmp -s "$source_dir/$face" "$fonts/$face" || cp "$source_dir/$face" "$fonts/"
done
