#!/usr/bin/env bash
# Signing the release. Without a certificate the build says in one line that
# nothing is signed, and nothing is. With a throwaway certificate made here
# (and removed again), osslsigncode accepts the program and the MSI, and the zip and
# the MSI carry exactly the signed program. A wrong password stops the release
# before any program, zip or MSI is written.
source "$(dirname "$0")/lib.sh"

repo=$(cd "$E2E_ROOT/../.." && pwd)
version=$(sed -n 's/^project(Cuewire VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
name=cuewire-$version-win64
make_release=$repo/cmake/release/make_release.py
inputs=$BUILD_DIR/release-inputs.json

note "without a certificate"
env -u CUEWIRE_SIGN_PFX -u CUEWIRE_SIGN_PASSWORD cmake --build "$BUILD_DIR" --target release \
    >"$E2E_TEST_OUT/unsigned.log" 2>&1 || fail "the release target failed (see $E2E_TEST_OUT/unsigned.log)"
grep 'signed' "$E2E_TEST_OUT/unsigned.log"
expect_eq 1 "$(grep -c 'NOT signed' "$E2E_TEST_OUT/unsigned.log")" "lines saying the release is not signed"
for file in "$BUILD_DIR/release/cuewire.exe" "$BUILD_DIR/$name.msi"; do
    osslsigncode verify -in "$file" >/dev/null 2>&1 && fail "$(basename "$file") carries a signature"
done

note "a throwaway certificate"
cert=$E2E_TEST_OUT/certificate
mkdir -p "$cert"
trap 'rm -rf "$cert"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Cuewire test signer" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$cert/key.pem" -out "$cert/cert.pem" \
    >"$cert/openssl.log" 2>&1 || fail "openssl cannot make a certificate (see $cert/openssl.log)"
password="test-$RANDOM-$RANDOM"
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/signer.pfx" \
    -passout "pass:$password" >>"$cert/openssl.log" 2>&1 || fail "openssl cannot pack the certificate"

note "signed"
signed=$E2E_TEST_OUT/signed
CUEWIRE_SIGN_PFX=$cert/signer.pfx CUEWIRE_SIGN_PASSWORD=$password \
    python3 "$make_release" --inputs "$inputs" --out-dir "$signed" >"$E2E_TEST_OUT/signed.log" 2>&1 ||
    fail "the signed release failed: $(tail -n 1 "$E2E_TEST_OUT/signed.log")"
cat "$E2E_TEST_OUT/signed.log"
grep -q 'NOT signed' "$E2E_TEST_OUT/signed.log" && fail "a signed release says it is not signed"
for file in "$signed/release/cuewire.exe" "$signed/$name.msi"; do
    verdict=$(osslsigncode verify -CAfile "$cert/cert.pem" -in "$file" 2>&1)
    echo "$(basename "$file"): $(grep -E 'Subject:|Succeeded|Failed' <<<"$verdict" | head -n 3 | tr '\n' ' ')"
    grep -q '^Succeeded' <<<"$verdict" || fail "osslsigncode rejects $(basename "$file")"
    grep -q 'CN=Cuewire test signer' <<<"$verdict" || fail "$(basename "$file") is not signed by the test certificate"
done
# The packs hold the program exactly as signed.
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' \
    "$signed/$name.zip" "$name/cuewire.exe" >"$E2E_TEST_OUT/from-zip.exe" || fail "cannot read the signed zip"
cmp "$signed/release/cuewire.exe" "$E2E_TEST_OUT/from-zip.exe" || fail "the zip holds another program"
mkdir -p "$E2E_TEST_OUT/from-msi"
(cd "$E2E_TEST_OUT/from-msi" && msiextract "$signed/$name.msi" >/dev/null) || fail "cannot unpack the signed MSI"
from_msi=$(find "$E2E_TEST_OUT/from-msi" -name cuewire.exe)
[ -n "$from_msi" ] || fail "no cuewire.exe in the signed MSI"
cmp "$signed/release/cuewire.exe" "$from_msi" || fail "the MSI holds another program"

note "a wrong password"
refused=$E2E_TEST_OUT/refused
CUEWIRE_SIGN_PFX=$cert/signer.pfx CUEWIRE_SIGN_PASSWORD=not-$password \
    python3 "$make_release" --inputs "$inputs" --out-dir "$refused" >"$E2E_TEST_OUT/refused.log" 2>&1 &&
    fail "the release went on with a wrong password"
cat "$E2E_TEST_OUT/refused.log"
left=$(find "$refused" -type f | sed "s|^$refused/||")
[ -z "$left" ] || fail "a refused release left: $left"
