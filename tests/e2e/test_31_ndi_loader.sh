#!/usr/bin/env bash
# Where the loader looks for the NDI runtime, in which order, and that a
# missing, broken or incomplete runtime leaves the table incomplete quietly
# (a loader error box would hold the probe until its time runs out). It looks
# beside the program and in the folders the variables name by an absolute
# path, and nowhere else: not the current folder, not PATH.
source "$(dirname "$0")/lib.sh"

probe=$BUILD_DIR/tests/win/ndi-loader/ndi-loader-probe.exe
incomplete=$BUILD_DIR/tests/win/ndi-loader/incomplete/Processing.NDI.Lib.x64.dll
[ -f "$probe" ] && [ -f "$incomplete" ] || fail "not built: $probe, $incomplete"
unset NDI_RUNTIME_DIR_V3 NDI_RUNTIME_DIR_V4 NDI_RUNTIME_DIR_V5 NDI_RUNTIME_DIR_V6
runtime_name=Processing.NDI.Lib.x64.dll

# case NAME EXPECTED_FOLDER LAYOUT... -- VAR=FOLDER...
#   LAYOUT items: FOLDER:real, FOLDER:incomplete or FOLDER:broken, FOLDER one
#   of program, cwd, v3, v4, v5, v6. EXPECTED_FOLDER is where the runtime must come
#   from, or "none". Variables name folders of the case; VAR=@VALUE passes
#   VALUE as it is. The probe starts in cwd.
case_() {
    local name=$1 expected=$2
    shift 2
    local root=$E2E_TEST_OUT/$name
    rm -rf "$root"
    mkdir -p "$root"/{program,cwd,v3,v4,v5,v6}
    cp "$probe" "$root/program/"
    local vars=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        local folder=${1%%:*} kind=${1#*:}
        case $kind in
            real) cp "$NDI_DLL" "$root/$folder/$runtime_name" ;;
            incomplete) cp "$incomplete" "$root/$folder/$runtime_name" ;;
            broken) echo "not a library" >"$root/$folder/$runtime_name" ;;
        esac
        shift
    done
    [ "${1:-}" = -- ] && shift
    for var in "$@"; do
        case ${var#*=} in
            @*) vars+=("${var%%=*}=${var#*=@}") ;;
            *) vars+=("${var%%=*}=$(win_path "$root/${var#*=}")") ;;
        esac
    done

    local out
    out=$(cd "$root/cwd" && env "${vars[@]}" timeout 60 wine "$root/program/ndi-loader-probe.exe" \
        2>/dev/null | tr -d '\r')
    echo "$name: $out"
    if [ "$expected" = none ]; then
        expect_eq "loaded=0 complete=0 patched=0 path=" "$out" "$name"
    else
        local want
        want="loaded=1 complete=1 patched=2 path=$(win_path "$root/$expected/$runtime_name")"
        expect_eq "${want,,}" "${out,,}" "$name"
    fi
}

case_ nothing none
case_ beside program program:real
case_ variable-v3 v3 v3:real -- NDI_RUNTIME_DIR_V3=v3
case_ variable-v5 v5 v5:real -- NDI_RUNTIME_DIR_V5=v5
case_ variable-v6 v6 v6:real -- NDI_RUNTIME_DIR_V6=v6
# Newest first: every installed version present, each one taking over when the
# newer ones are gone or name a folder without a runtime.
all_vars=(NDI_RUNTIME_DIR_V3=v3 NDI_RUNTIME_DIR_V4=v4 NDI_RUNTIME_DIR_V5=v5 NDI_RUNTIME_DIR_V6=v6)
case_ v6-before-older v6 v3:real v4:real v5:real v6:real -- "${all_vars[@]}"
case_ v5-before-older v5 v3:real v4:real v5:real -- "${all_vars[@]}"
case_ v4-before-v3 v4 v3:real v4:real -- "${all_vars[@]}"
case_ v3-last v3 v3:real -- "${all_vars[@]}"
case_ v5-before-v3-when-v4-unset v5 v3:real v5:real -- NDI_RUNTIME_DIR_V3=v3 NDI_RUNTIME_DIR_V5=v5
case_ broken-v6-then-v5 v5 v6:broken v5:real -- NDI_RUNTIME_DIR_V5=v5 NDI_RUNTIME_DIR_V6=v6
case_ beside-before-variable program program:real v6:real -- NDI_RUNTIME_DIR_V6=v6
case_ broken-beside-then-variable v3 program:broken v3:real -- NDI_RUNTIME_DIR_V3=v3
case_ incomplete-beside none program:incomplete
# A file that lacks a function is let go, and the search goes on.
case_ incomplete-beside-then-variable v3 program:incomplete v3:real -- NDI_RUNTIME_DIR_V3=v3
case_ incomplete-v6-then-v5 v5 v6:incomplete v5:real -- NDI_RUNTIME_DIR_V5=v5 NDI_RUNTIME_DIR_V6=v6
# Never the current folder or PATH, however they are reached.
case_ never-current-folder none cwd:real
case_ never-path none v4:real -- WINEPATH=v4
case_ never-relative-variable none cwd:real -- NDI_RUNTIME_DIR_V6=@. NDI_RUNTIME_DIR_V5=@Z:.
# Rooted on the current drive, without the drive: still the current folder.
rooted=$E2E_TEST_OUT/never-rooted-variable/cwd
case_ never-rooted-variable none cwd:real -- "NDI_RUNTIME_DIR_V4=@${rooted//\//\\}"
