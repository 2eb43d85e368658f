#!/usr/bin/env bash
# Builds the setup and runs it under Wine (in a virtual display when there is
# no X display), with a Wine prefix of the build's own.
#   bash scripts/build-and-run.sh [setup arguments, e.g. -d "C:\Program Files\Vellumar"]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target setup
echo "Built $BUILD_DIR/setup/setup.exe ($(stat -c %s "$BUILD_DIR/setup/setup.exe") bytes)"

export WINEPREFIX="$PWD/$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
if [ -n "${DISPLAY:-}" ]; then
  wine "$BUILD_DIR/setup/setup.exe" "$@"
else
  xvfb-run -a -s "-screen 0 1024x768x24" wine "$BUILD_DIR/setup/setup.exe" "$@"
fi
echo "setup.exe ended with exit code $?"
