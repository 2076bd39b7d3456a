#!/usr/bin/env bash
# The release zip as an operator gets it: exactly the program, the operator's
# guide and the licences of what the program bundles, named after the
# program's own file version, without the NDI runtime, and packed the same way
# twice. Unpacked to a fresh folder with the runtime put beside the program, it
# opens its panel, publishes "Bryvo Cuewire 1" and exits cleanly.
source "$(dirname "$0")/copies.sh"

repo=$(cd "$E2E_ROOT/../.." && pwd)
version=$(sed -n 's/^project(Cuewire VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"
folder=cuewire-$version-win64
zip=$BUILD_DIR/$folder.zip

# Built here, or found up to date, so that it holds the program just built.
note "building $folder.zip"
cmake --build "$BUILD_DIR" --target release-zip >"$E2E_TEST_OUT/build.log" 2>&1 ||
    fail "the release-zip target failed (see $E2E_TEST_OUT/build.log)"
[ -f "$zip" ] || fail "no $zip"
ls -l "$zip"

note "the listing"
listing=$(python3 -c '
import sys, zipfile
for entry in zipfile.ZipFile(sys.argv[1]).infolist():
    print(entry.filename, entry.file_size)' "$zip") || fail "cannot read $zip"
echo "$listing"
expected="$folder/cuewire.exe
$folder/operator-guide.md
$folder/LibreFranklin-OFL.txt
$folder/mingw-w64-runtime-licence.txt
$folder/gcc-runtime-licence.txt"
expect_eq "$expected" "$(cut -d' ' -f1 <<<"$listing")" "files in the zip"
grep -qi '\.dll ' <<<"$listing" && fail "a DLL in the zip"
awk '$2 == 0 { exit 1 }' <<<"$listing" || fail "an empty file in the zip"

note "the same inputs give the same zip"
cp "$zip" "$E2E_TEST_OUT/first.zip"
rm "$zip"
cmake --build "$BUILD_DIR" --target release-zip >>"$E2E_TEST_OUT/build.log" 2>&1 ||
    fail "the release-zip target failed the second time"
cmp "$E2E_TEST_OUT/first.zip" "$zip" || fail "packing twice gave two different zips"

note "unpacked as an operator would"
unpacked=$E2E_TEST_OUT/operator
rm -rf "$unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
    "$zip" "$unpacked" || fail "cannot unpack $zip"
program=$unpacked/$folder/cuewire.exe

file_version=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
# VS_FIXEDFILEINFO: signature, structure version 1.0, then the file version.
# Both words together: the program reads its own version resource, so its code
# also holds the signature alone.
at = data.find(struct.pack("<II", 0xFEEF04BD, 0x00010000))
if at < 0:
    sys.exit("no version resource")
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")' "$program") ||
    fail "cannot read the program's file version"
expect_eq "$version" "$file_version" "the program's file version against the zip's name"

# Statically linked: no mingw-w64 or GCC runtime DLL is needed beside it.
imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
echo "imports: $(tr '\n' ' ' <<<"$imports")"
[ -n "$imports" ] || fail "cannot read the program's imports"
grep -i '^lib' <<<"$imports" && fail "the program needs a runtime DLL that is not in the zip"

grep -q 'SIL OPEN FONT LICENSE' "$unpacked/$folder/LibreFranklin-OFL.txt" ||
    fail "LibreFranklin-OFL.txt is not the font's licence"
grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$unpacked/$folder/gcc-runtime-licence.txt" ||
    fail "gcc-runtime-licence.txt lacks the GCC Runtime Library Exception"
grep -q 'mingw-w64-crt' "$unpacked/$folder/mingw-w64-runtime-licence.txt" ||
    fail "mingw-w64-runtime-licence.txt is not the mingw-w64 runtime's licence"

note "the runtime beside the unpacked program; start it"
cp "$NDI_DLL" "$unpacked/$folder/" || fail "cannot put the runtime beside the program"
start_win_bg "$E2E_TEST_OUT/operator.log" "$program"
pid=$BG_PID
hwnd=$(panel 1) || exit 1

# The numbering step re-creates its sender once; connect after that.
sleep 2
line=$(grab_frame published) || exit 1
echo "$line"
grep -q ' 1280x720 BGRA 30000/1200 ' <<<"$line" || fail "not the default mode: $line"

exit_copy "$hwnd" 1
wait_for 20 process_ended "$pid" || fail "the process did not end after a confirmed Exit"
wait "$pid"
expect_eq 0 "$?" "the program's exit status"
