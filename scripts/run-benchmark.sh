#!/usr/bin/env bash
# Builds the setup and prints the payload benchmark's figures (run under Wine).
#   bash scripts/run-benchmark.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target payload_bench >/dev/null
export WINEPREFIX="$PWD/$BUILD_DIR/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
wine "$BUILD_DIR/bench/payload_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe" "${1:-15}"
