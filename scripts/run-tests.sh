#!/usr/bin/env bash
# Builds everything and runs all tests under Wine, inside a virtual X display.
#   bash scripts/run-tests.sh [ctest arguments...]
# BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"

# The build's own Wine prefix; the user's is never touched.
export WINEPREFIX="$PWD/$BUILD_DIR/wineprefix"
mkdir -p "$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"

# One X display for the whole run, so that the wineserver and every test share it.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  # One persistent server for all tests: each Wine start then costs about a second.
  wineserver -k 2>/dev/null || true
  wineserver -p
  wineboot -i >/dev/null 2>&1 || true
  cd "$0"
  set +e
  ctest --output-on-failure --timeout 600 "$@"
  rc=$?
  wineserver -k || true
  exit $rc
' "$BUILD_DIR" "$@"
