#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test:
#   the portable core's unit tests natively, again under AddressSanitizer and
#   UBSan, then the Windows build with the release zip and the end-to-end
#   tests under Wine (inside a loopback-only network namespace, with their own
#   X server and Wine prefix).
# Works on a fresh Debian 12 machine as root or as a user: the setup raises
# itself with sudo only to install missing packages.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/setup.sh

echo "== native build and unit tests"
cmake --preset native -DCUEWIRE_WERROR=ON
cmake --build --preset native
ctest --preset native

echo "== unit tests under AddressSanitizer and UBSan"
cmake --preset asan -DCUEWIRE_WERROR=ON
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan

echo "== Windows build (mingw-w64)"
cmake --preset windows -DCUEWIRE_WERROR=ON
cmake --build --preset windows
cmake --build --preset windows --target release

# They run the Windows GoogleTest programs as well; ctest --test-dir build/windows
# runs those alone, for a quick loop, and is left out here so none runs twice.
echo "== end-to-end tests under Wine"
tests/e2e/run-all.sh build/windows
