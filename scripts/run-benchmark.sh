#!/usr/bin/env bash
# Builds the setup and prints the benchmarks' figures (run under Wine): the
# payload's inflate-and-parse, an install run against plain file writes, and
# start-up to the first page and an install through the wizard against a peer
# installer of the same payload (built here with makensis). The peer is 32-bit
# only: where 32-bit code cannot run, start-up is measured against a program
# with one empty window instead.
#   bash scripts/run-benchmark.sh [ROUNDS]
# BUILD_DIR picks the build folder (default: as for the tests, see wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
source scripts/wine-env.sh
BUILD_DIR=$RUN_BUILD_DIR
ROUNDS=${1:-15}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" \
  --target payload_bench install_bench startup_bench wizard_install_bench >/dev/null
# The same setup with its start-up phase stamps, for the breakdown; never shipped.
MARKED_DIR=$BUILD_DIR/bench-marks
cmake -S . -B "$MARKED_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" \
  -DVELLUMAR_STARTUP_MARKS=ON >/dev/null
cmake --build "$MARKED_DIR" -j"$(nproc)" --target setup >/dev/null

# The peer carries the very files this build packs into the setup.
peer="$BUILD_DIR/bench/peer_setup.exe"
python3 tools/scripts/make_peer_nsi.py product/payload.manifest components/Components.cpp "$BUILD_DIR" \
  "$BUILD_DIR/bench/peer.nsi" "$peer"
makensis -V2 "$BUILD_DIR/bench/peer.nsi"

# A prefix of the benchmark's own: the installs it drives must not stay where
# the tests expect a clean system.
export WINEPREFIX="$PWD/$BUILD_DIR/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
mkdir -p "$WINEPREFIX"
# Set up as the tests' prefix is: user folders of its own, the dialog font, and
# windows destroyed without waiting for a window manager.
"$WINE" wineboot -i >/dev/null 2>&1 || true
wine_prefix_isolate
wine_prefix_fonts
"$WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
wineserver -w || true
"$WINE" "$BUILD_DIR/bench/payload_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe" "$ROUNDS"
"$WINE" "$BUILD_DIR/bench/install_bench.exe" "$PWD/$BUILD_DIR/setup/setup.exe" "$ROUNDS"

# Windows need a display; a virtual one unless there is one already. A Wine
# server started without it must be gone first, or the programs get no windows.
on_display() {
  wineserver -w || true
  if [ -n "${DISPLAY:-}" ]; then
    "$@" 2>&1 | grep -v '^wine: Read access denied'
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@" 2>&1 | grep -v '^wine: Read access denied'
  fi
}
setup="$PWD/$BUILD_DIR/setup/setup.exe"
startup=("$WINE" "$BUILD_DIR/bench/startup_bench.exe" "$setup" "$PWD/$BUILD_DIR/bench/empty_window.exe" "$ROUNDS")
phases=(--phases "$PWD/$MARKED_DIR/setup/setup.exe")
if [ "$VELLUMAR_ARCH" = i686 ]; then
  on_display "${startup[@]}" "$PWD/$peer" "${phases[@]}"
  on_display "$WINE" "$BUILD_DIR/bench/wizard_install_bench.exe" "$setup" "$PWD/$peer" "$ROUNDS"
else
  echo "peer: built ($peer), but its 32-bit stub cannot run on this machine; start-up against the empty window of the 64-bit build instead"
  on_display "${startup[@]}" "${phases[@]}"
fi

# The shipped file is the 32-bit build, whichever build ran above.
if [ "$VELLUMAR_ARCH" != i686 ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j"$(nproc)" --target setup >/dev/null
fi
shipped=build/setup/setup.exe
[ "$VELLUMAR_ARCH" = i686 ] && shipped=$BUILD_DIR/setup/setup.exe
printf 'setup.exe as shipped (i686): %s bytes, at most 1,048,576 (1 MiB): %s\n' \
  "$(stat -c %s "$shipped")" "$([ "$(stat -c %s "$shipped")" -le 1048576 ] && echo within || echo OVER)"
