#!/usr/bin/env bash
# Builds everything and runs all tests under Wine, inside a virtual X display,
# after replaying the fuzz corpus through the native fuzz targets.
#   bash scripts/run-tests.sh [ctest arguments...]
# BUILD_DIR picks the build folder of the tests (default: build, or build-x64
# on a machine that cannot run 32-bit code).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
source scripts/wine-env.sh
# A zone half an hour off any whole-hour zone and far from UTC: a mix-up of
# local and universal time in stored times or stamps cannot pass unseen.
export TZ=Asia/Kolkata

# Natively first, in seconds: every fuzz corpus file through its target once;
# a crash fails the run.
cmake -S fuzz -B "$RUN_BUILD_DIR/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$RUN_BUILD_DIR/fuzz" -j"$(nproc)" >/dev/null
ctest --test-dir "$RUN_BUILD_DIR/fuzz" --output-on-failure

if [ "$VELLUMAR_ARCH" != i686 ]; then
  # The shipped setup must still build, even where it cannot run.
  echo "run-tests: this machine cannot run 32-bit programs; building the 32-bit setup," \
       "then testing a 64-bit build of the same sources in $RUN_BUILD_DIR"
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_WERROR=ON >/dev/null
  cmake --build build -j"$(nproc)" --target setup
fi
cmake -S . -B "$RUN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" -DVELLUMAR_WERROR=ON >/dev/null
cmake --build "$RUN_BUILD_DIR" -j"$(nproc)"

# The build's own Wine prefix; the user's is never touched.
export WINEPREFIX="$PWD/$RUN_BUILD_DIR/wineprefix"
mkdir -p "$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"

# One X display for the whole run, so that the wineserver and every test share it.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  # One persistent server for all tests: each Wine start then costs about a second.
  source scripts/wine-env.sh
  wineserver -k 2>/dev/null || true
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  wine_prefix_isolate
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  # The dialog font the users see, also in the tests.
  wine_prefix_fonts
  # Without a window manager Wine waits two seconds on every window it
  # destroys; unmanaged windows are destroyed at once.
  "$WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  # Keeps Wine'"'"'s services and desktop up, outside every test'"'"'s output pipe.
  ready="$0/wine-keepalive.ready"
  rm -f "$ready"
  "$WINE" "$0/tests/wine_keepalive.exe" "Z:$(realpath "$0")/wine-keepalive.ready" </dev/null >/dev/null 2>&1 &
  for i in $(seq 300); do [ -e "$ready" ] && break; sleep 0.1; done
  cd "$0"
  set +e
  ctest --output-on-failure --timeout 600 "$@"
  rc=$?
  wineserver -k || true
  exit $rc
' "$RUN_BUILD_DIR" "$@"
