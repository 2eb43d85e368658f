#!/usr/bin/env bash
# Builds the setup and runs it under Wine (in a virtual display when there is
# no X display), with a Wine prefix of the build's own.
#   bash scripts/build-and-run.sh [setup arguments, e.g. -d "C:\Program Files\Vellumar"]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/wine-env.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target setup
echo "Built build/setup/setup.exe ($(stat -c %s build/setup/setup.exe) bytes)"

if [ "$VELLUMAR_ARCH" != i686 ]; then
  echo "This machine cannot run 32-bit programs; running a 64-bit build of the same sources instead."
  cmake -S . -B "$RUN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" >/dev/null
  cmake --build "$RUN_BUILD_DIR" -j"$(nproc)" --target setup
fi

export WINEPREFIX="$PWD/$RUN_BUILD_DIR/wineprefix"
mkdir -p "$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
[ -d "$WINEPREFIX/drive_c/windows/Fonts" ] || "$WINE" wineboot -i >/dev/null 2>&1 || true
wine_prefix_isolate
wine_prefix_fonts
set +e
if [ -n "${DISPLAY:-}" ]; then
  "$WINE" "$RUN_BUILD_DIR/setup/setup.exe" "$@"
else
  echo "No X display: the setup now waits in a virtual display where nobody can see or answer it;" \
       "Ctrl+C ends it. bash scripts/take-pictures.sh shows every page."
  xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" "$RUN_BUILD_DIR/setup/setup.exe" "$@"
fi
echo "setup.exe ended with exit code $?"
