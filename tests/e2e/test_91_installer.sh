#!/usr/bin/env bash
# e2e-timeout: 900
# The MSI as a studio deploys it, each install in a fresh Wine prefix of its
# own. Per user: an older build first, then this one over it (one product, new
# files), the older one refused afterwards with its message; the files, the
# Start-menu shortcut and the uninstall entry; the program started from the
# shortcut's target numbers itself and publishes a frame with the NDI runtime
# found through the vendor's variable alone; a silent uninstall leaves no file,
# shortcut or registry value of Cuewire. Per machine (ALLUSERS=1): the files in
# Program Files, removed again by an uninstall that does not repeat ALLUSERS.
source "$(dirname "$0")/copies.sh"

repo=$(cd "$E2E_ROOT/../.." && pwd)
version=$(sed -n 's/^project(Cuewire VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
help_url=$(sed -n 's/^CUEWIRE_URL_HELP:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
[ -n "$version" ] && [ -n "$help_url" ] || fail "no version or help address in the build"
older_version=0.9.0
msi=$BUILD_DIR/cuewire-$version-win64.msi
older_msi=$E2E_TEST_OUT/older/cuewire-$older_version-win64.msi

# Shortcuts must not reach the host's desktop menus (winemenubuilder writes
# .desktop files into the home folder).
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

note "building the release, and an older one from the same build"
cmake --build "$BUILD_DIR" --target release >"$E2E_TEST_OUT/build.log" 2>&1 ||
    fail "the release target failed (see $E2E_TEST_OUT/build.log)"
[ -f "$msi" ] || fail "no $msi"
# An earlier release date gives the older program other bytes, so that an
# upgrade that kept the old files would show.
SOURCE_DATE_EPOCH=978307200 python3 "$repo/cmake/release/make_release.py" \
    --inputs "$BUILD_DIR/release-inputs.json" --version "$older_version" \
    --out-dir "$E2E_TEST_OUT/older" >>"$E2E_TEST_OUT/build.log" 2>&1 ||
    fail "cannot build the older release (see $E2E_TEST_OUT/build.log)"
program=$BUILD_DIR/release/cuewire.exe
older_program=$E2E_TEST_OUT/older/release/cuewire.exe
cmp -s "$program" "$older_program" && fail "the older build's program has the same bytes"
echo "figure: MSI size $(stat -c %s "$msi") bytes"

# msiexec_message MSI: the message of the package's launch condition.
msiexec_message() {
    msiinfo export "$1" LaunchCondition | tr -d '\r' | tail -n +4 | cut -f2
}
property() { # MSI NAME
    msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v n="$2" '$1 == n { print $2 }'
}
product=$(property "$msi" ProductCode)
older_product=$(property "$older_msi" ProductCode)
expect_eq "$(property "$older_msi" UpgradeCode)" "$(property "$msi" UpgradeCode)" "both builds' upgrade code"
[ -n "$product" ] && [ "$product" != "$older_product" ] || fail "product codes '$product' and '$older_product'"
# The zip's files and the licence text; never the NDI runtime.
expected_files="cuewire.exe gcc-runtime-licence.txt LibreFranklin-OFL.txt licence.rtf mingw-w64-runtime-licence.txt operator-guide.md "
expect_eq "$expected_files" "$(msiinfo export "$msi" File | tr -d '\r' | tail -n +4 | cut -f3 | sort -f | tr '\n' ' ')" \
    "the files in the MSI"

# --- fresh prefixes, each stopped and removed when the test ends ------------

PREFIXES=()
stop_prefixes() {
    local prefix
    for prefix in "${PREFIXES[@]}"; do
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        WINEPREFIX=$prefix wineserver -w 2>/dev/null
        remove_wineserver_folder "$prefix"
        rm -rf "$prefix"
    done
}
trap stop_prefixes EXIT
trap 'exit 143' TERM INT

# fresh_prefix NAME: a new prefix made with the display on; WINEPREFIX names it.
fresh_prefix() {
    export WINEPREFIX=$E2E_TEST_OUT/$1-prefix
    rm -rf "$WINEPREFIX"
    PREFIXES+=("$WINEPREFIX")
    wineboot -i >"$E2E_TEST_OUT/$1-wineboot.log" 2>&1 && wineserver -w ||
        fail "wineboot failed for $1 (see $E2E_TEST_OUT/$1-wineboot.log)"
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    USER_DIR=$WINEPREFIX/drive_c/users/$(id -un)
    [ -d "$USER_DIR" ] || fail "no user folder $USER_DIR"
}

# msiexec_quiet LOG ARGS...: msiexec with no UI and a verbose log; its exit
# status (truncated to 8 bits by Wine: 1603 reads as 67) in MSI_STATUS and its
# time in MSI_SECONDS.
msiexec_quiet() {
    local log=$1 started
    shift
    started=$(date +%s.%N)
    run_win 300 msiexec "$@" /qn /l*v "$(win_path "$log")"
    MSI_STATUS=$?
    MSI_SECONDS=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
}

# uninstall_value CODE NAME: a value of the product's uninstall entry (Wine
# writes per-user entries under HKLM too); nothing when there is none.
uninstall_value() {
    wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" 2>/dev/null |
        tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# cuewire_entries: how many uninstall entries are named Cuewire.
cuewire_entries() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | grep -c '^ *DisplayName *REG_SZ *Cuewire$'
}

# installed_files DIR: the names in DIR, sorted, on one line.
installed_files() {
    ls "$1" 2>/dev/null | sort -f | tr '\n' ' '
}

# --- per user -----------------------------------------------------------------

note "per user, in a fresh prefix"
fresh_prefix user
find "$WINEPREFIX/drive_c" | sort >"$E2E_TEST_OUT/user-files-before.txt"
install_dir=$USER_DIR/AppData/Local/Programs/Cuewire
shortcut="$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Cuewire.lnk"

note "the older build"
msiexec_quiet "$E2E_TEST_OUT/user-older-install.log" /i "$(win_path "$older_msi")"
expect_eq 0 "$MSI_STATUS" "msiexec's status for the older build"
echo "figure: per-user install ${MSI_SECONDS} s"
expect_eq "$older_version" "$(uninstall_value "$older_product" DisplayVersion)" "the older build's entry"
cmp -s "$older_program" "$install_dir/cuewire.exe" || fail "the older program is not installed"

note "this build over it"
msiexec_quiet "$E2E_TEST_OUT/user-install.log" /i "$(win_path "$msi")"
expect_eq 0 "$MSI_STATUS" "msiexec's status for the upgrade"
echo "figure: per-user upgrade install ${MSI_SECONDS} s"
expect_eq 1 "$(cuewire_entries)" "uninstall entries named Cuewire after the upgrade"
[ -z "$(uninstall_value "$older_product" DisplayName)" ] || fail "the older product is still registered"
expect_eq "$expected_files" "$(installed_files "$install_dir")" "the installed files"
cmp -s "$program" "$install_dir/cuewire.exe" || fail "the upgrade did not replace cuewire.exe"
grep -q 'registered trademark of Vizrt NDI AB' "$install_dir/licence.rtf" || fail "the licence text lacks the NDI notice"

note "the uninstall entry"
for pair in "DisplayName=Cuewire" "DisplayVersion=$version" "Publisher=Bryvo" "HelpLink=$help_url" \
    "InstallLocation=C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Cuewire\\"; do
    expect_eq "${pair#*=}" "$(uninstall_value "$product" "${pair%%=*}")" "the entry's ${pair%%=*}"
done
# The entry's icon: Windows Installer keeps the package's ARPPRODUCTICON as the
# product's icon file.
icon=$(wine reg query 'HKCU\Software\Microsoft\Installer\Products' /s 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *ProductIcon *REG_SZ *//p' | head -n 1)
[ -n "$icon" ] || fail "no product icon registered"
cmp -s "$repo/res/art/cuewire.ico" "$(winepath -u "$icon" 2>/dev/null)" ||
    fail "the product icon $icon is not res/art/cuewire.ico"

note "the shortcut"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
link=$(python3 "$E2E_ROOT/lnk_target.py" "$shortcut") || fail "cannot read the shortcut"
echo "$link"
target=$(sed -n 's/^target=//p' <<<"$link")
expect_eq "c:\\users\\$(id -un)\\appdata\\local\\programs\\cuewire\\cuewire.exe" "${target,,}" "the shortcut's target"
expect_eq "c:\\users\\$(id -un)\\appdata\\local\\programs\\cuewire\\" \
    "$(sed -n 's/^workdir=//p' <<<"$link" | tr 'A-Z' 'a-z' | sed 's/[^\\]$/&\\/')" "the shortcut's working folder"

note "the installed program, from the shortcut's target, with the runtime named by NDI_RUNTIME_DIR_V3"
runtime_dir=$E2E_TEST_OUT/ndi-runtime
mkdir -p "$runtime_dir" && cp "$NDI_DLL" "$runtime_dir/" || fail "cannot place the runtime"
ls "$install_dir"/*.dll 2>/dev/null && fail "a DLL was installed beside the program"
# Started in its working folder, as the shortcut starts it.
pushd "$install_dir" >/dev/null || fail "no $install_dir"
NDI_RUNTIME_DIR_V3=$(win_path "$runtime_dir") start_win_bg "$E2E_TEST_OUT/installed.log" "$target"
pid=$BG_PID
popd >/dev/null
hwnd=$(panel 1) || exit 1
sleep 2
line=$(grab_frame installed) || exit 1
echo "$line"
grep -q ' 1280x720 BGRA ' <<<"$line" || fail "not the default mode: $line"
exit_copy "$hwnd" 1
wait_for 20 process_ended "$pid" || fail "the installed program did not end after a confirmed Exit"

note "the older build again: refused"
msiexec_quiet "$E2E_TEST_OUT/user-downgrade.log" /i "$(win_path "$older_msi")"
expect_eq 67 "$MSI_STATUS" "msiexec's status for the downgrade (1603, truncated)"
grep -aq "WIX_DOWNGRADE_DETECTED = $product" "$E2E_TEST_OUT/user-downgrade.log" ||
    fail "the downgrade's log does not name the newer product"
expect_eq "$version" "$(uninstall_value "$product" DisplayVersion)" "the installed version after the refused downgrade"
cmp -s "$program" "$install_dir/cuewire.exe" || fail "the refused downgrade changed cuewire.exe"
# Windows writes the refusal's message into the log; Wine's msiexec writes it
# nowhere when there is no UI, and shows it in a box with any UI at all.
message=$(msiexec_message "$older_msi")
grep -q 'newer version of Cuewire' <<<"$message" || fail "the package's downgrade message: '$message'"
start_win_bg "$E2E_TEST_OUT/downgrade-basic-ui.log" msiexec /i "$(win_path "$older_msi")" /qb
pid=$BG_PID
wait_for 60 find_window "Install Failed" || fail "no box for the refused downgrade"
expect_eq "$message" "$(probe text "$FOUND" 65535)" "the refusal's box"
probe click "$FOUND" 1 || fail "cannot close the refusal's box"
wait "$pid"
expect_eq 67 "$?" "msiexec's status for the downgrade with basic UI"

note "uninstall"
msiexec_quiet "$E2E_TEST_OUT/user-uninstall.log" /x "$(win_path "$msi")"
expect_eq 0 "$MSI_STATUS" "msiexec's status for the uninstall"
echo "figure: per-user uninstall ${MSI_SECONDS} s"
expect_eq 0 "$(cuewire_entries)" "uninstall entries named Cuewire after the uninstall"
[ -e "$install_dir" ] && fail "the install folder remains: $(installed_files "$install_dir")"
[ -e "$shortcut" ] && fail "the shortcut remains"

# Wine writes its registry to the prefix's files when its server ends.
wineserver -w
find "$WINEPREFIX/drive_c" | sort >"$E2E_TEST_OUT/user-files-after.txt"
comm -13 "$E2E_TEST_OUT/user-files-before.txt" "$E2E_TEST_OUT/user-files-after.txt" >"$E2E_TEST_OUT/user-files-new.txt"
echo "what the install, the program and the uninstall left in drive_c ($(wc -l <"$E2E_TEST_OUT/user-files-new.txt") paths):"
sed "s|^$WINEPREFIX/||" "$E2E_TEST_OUT/user-files-new.txt"
grep -i 'cuewire' "$E2E_TEST_OUT/user-files-new.txt" && fail "a file or folder of Cuewire remains"
# Only empty folders may remain: the programs folder the install created
# (there is no RemoveFolder in wixl's packages) and msiexec's own caches.
while read -r path; do
    [ -d "$path" ] && [ -z "$(ls -A "$path")" ] || fail "left behind, not an empty folder: $path"
done <"$E2E_TEST_OUT/user-files-new.txt"
packed() { # the registry's form of a GUID: each part reversed, the last two bytewise
    python3 -c 'import sys, uuid; h = uuid.UUID(sys.argv[1]).hex.upper()
print(h[7::-1] + h[11:7:-1] + h[15:11:-1] + "".join(h[i + 1] + h[i] for i in range(16, 32, 2)))' "$1"
}
for word in Cuewire Bryvo "${product//[\{\}]/}" "$(packed "$product")" "$(packed "$(property "$msi" UpgradeCode)")"; do
    grep -il -- "$word" "$WINEPREFIX"/*.reg && fail "the registry still holds '$word'"
done

# --- per machine --------------------------------------------------------------

note "per machine (ALLUSERS=1), in another fresh prefix"
fresh_prefix machine
install_dir="$WINEPREFIX/drive_c/Program Files/Cuewire"
msiexec_quiet "$E2E_TEST_OUT/machine-install.log" /i "$(win_path "$msi")" ALLUSERS=1
expect_eq 0 "$MSI_STATUS" "msiexec's status for the per-machine install"
echo "figure: per-machine install ${MSI_SECONDS} s"
expect_eq "$expected_files" "$(installed_files "$install_dir")" "the files in Program Files"
cmp -s "$program" "$install_dir/cuewire.exe" || fail "Program Files holds another cuewire.exe"
expect_eq 'C:\Program Files\Cuewire\' "$(uninstall_value "$product" InstallLocation)" "the entry's InstallLocation"
# Windows puts a per-machine shortcut into the common Start menu; Wine's
# msiexec keeps ProgramMenuFolder the user's own.
for menu in "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" \
    "$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"; do
    [ -f "$menu/Cuewire.lnk" ] && echo "the per-machine shortcut: ${menu#"$WINEPREFIX/"}/Cuewire.lnk" && break
done || fail "no Start-menu shortcut for the per-machine install"

note "uninstall by product code, as the entry's UninstallString does, without ALLUSERS"
msiexec_quiet "$E2E_TEST_OUT/machine-uninstall.log" /x "$product"
expect_eq 0 "$MSI_STATUS" "msiexec's status for the per-machine uninstall"
echo "figure: per-machine uninstall ${MSI_SECONDS} s"
[ -e "$install_dir" ] && fail "Program Files\\Cuewire remains: $(installed_files "$install_dir")"
expect_eq 0 "$(cuewire_entries)" "uninstall entries named Cuewire after the per-machine uninstall"
exit 0
