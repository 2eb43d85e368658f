#!/usr/bin/env bash
# Builds the setup and prints the benchmarks' figures (run under Wine): the
# payload's inflate-and-parse, an install run against plain file writes, and
# start-up to the first painted page against a program with one empty window.
#   bash scripts/run-benchmark.sh [ROUNDS]
# BUILD_DIR picks the build folder (default: as for the tests, see wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
source scripts/wine-env.sh
BUILD_DIR=$RUN_BUILD_DIR
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target payload_bench install_bench startup_bench >/dev/null
export WINEPREFIX="$PWD/$BUILD_DIR/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
mkdir -p "$WINEPREFIX"
"$WINE" "$BUILD_DIR/bench/payload_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe" "${1:-15}"
"$WINE" "$BUILD_DIR/bench/install_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe" "${1:-15}"
# Start-up needs a display; a virtual one unless there is one already. A Wine
# server started without it must be gone first, or the programs get no windows.
wineserver -w || true
startup=("$WINE" "$BUILD_DIR/bench/startup_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe"
         "$PWD/$BUILD_DIR/bench/empty_window.exe" "${1:-15}")
if [ -n "${DISPLAY:-}" ]; then
  "${startup[@]}" 2>&1 | grep -v '^wine: Read access denied'
else
  xvfb-run -a -s "-screen 0 1024x768x24" "${startup[@]}" 2>&1 | grep -v '^wine: Read access denied'
fi
