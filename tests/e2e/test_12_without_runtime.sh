#!/usr/bin/env bash
# Without the NDI runtime the panel says "Cannot run NDI." and stays open but
# inert: it never numbers itself, and Exit still ends it cleanly. A file under
# the runtime's name in the folder the program is started from, and another in
# a folder on PATH, are never loaded: their code would leave a marker.
source "$(dirname "$0")/faults.sh"

planted=$BUILD_DIR/tests/win/planted-runtime/Processing.NDI.Lib.x64.dll
loader_probe=$BUILD_DIR/tests/win/ndi-loader/ndi-loader-probe.exe
[ -f "$planted" ] && [ -f "$loader_probe" ] || fail "not built: $planted, $loader_probe"
unset NDI_RUNTIME_DIR_V3 NDI_RUNTIME_DIR_V4 NDI_RUNTIME_DIR_V5 NDI_RUNTIME_DIR_V6

exe=$(stage_beside alone "$BUILD_DIR/app/win/cuewire.exe") || exit 1
start_folder=$E2E_TEST_OUT/start-folder
on_path=$E2E_TEST_OUT/on-path
rm -rf "$start_folder" "$on_path"
mkdir -p "$start_folder" "$on_path"
cp "$planted" "$start_folder/" && cp "$planted" "$on_path/" || fail "cannot plant the stand-in"
export WINEPATH
WINEPATH=$(win_path "$on_path")
markers() { ls "$start_folder"/planted-runtime-ran.txt "$on_path"/planted-runtime-ran.txt 2>/dev/null; }

# Both plants are within reach of a load by bare name, or their silence below
# proves nothing: from the start folder first, and from PATH without it.
bare_load() { (cd "$1" && run_win 60 "$loader_probe" bare) | sed 's/^path=//'; }
expect_eq "$(win_path "$start_folder/Processing.NDI.Lib.x64.dll")" "$(bare_load "$start_folder")" \
    "a load by bare name from the start folder"
expect_eq "$(win_path "$on_path/Processing.NDI.Lib.x64.dll")" "$(bare_load "$E2E_TEST_OUT")" \
    "a load by bare name with the plant on PATH"
[ -f "$start_folder/planted-runtime-ran.txt" ] && [ -f "$on_path/planted-runtime-ran.txt" ] ||
    fail "a loaded plant left no marker: $(markers)"
rm -f "$start_folder/planted-runtime-ran.txt" "$on_path/planted-runtime-ran.txt"

cd "$start_folder" || fail "cannot start from $start_folder"
start_watched "$E2E_TEST_OUT/alone.log" "$exe"
expect_inert_panel "$E2E_TEST_OUT/alone.log" "Cannot run NDI."
expect_clean_exit "$INERT_PANEL" alone
left=$(markers)
[ -z "$left" ] || fail "a planted runtime ran in the program: $left: $(cat $left)"
note "no planted runtime ran"
