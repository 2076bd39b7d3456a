#!/usr/bin/env bash
# The full resource soak under Wine: 20,000 text compositions through the
# output with the real GDI canvas, pictures and NDI runtime, then 200
# go-lives by key in the real program, with resident memory watched in both.
# The main end-to-end suite runs the same two tests, shorter.
#
#   tools/soak.sh [BUILD_DIR]
#
# SOAK_COMPOSITIONS and SOAK_GO_LIVES change the lengths. Artefacts (logs,
# figures.txt per test) go to BUILD_DIR/soak-out. Build first:
# cmake --preset windows && cmake --build --preset windows
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/windows}
export SOAK_COMPOSITIONS=${SOAK_COMPOSITIONS:-20000}
export SOAK_GO_LIVES=${SOAK_GO_LIVES:-200}
# A composition took 50 to 90 ms on a busy two-core machine; allow 200 ms.
export E2E_TIMEOUT=${E2E_TIMEOUT:-$((300 + SOAK_COMPOSITIONS / 5))}
export E2E_OUT=${E2E_OUT:-$PWD/$build/soak-out}
exec tests/e2e/run-all.sh "$build" '^test_[0-9]+_(output|go_live)_soak$'
