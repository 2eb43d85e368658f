#!/usr/bin/env bash
# Takes a picture of every page of the real setup and of its three questions,
# for the README: builds the setup and tools/picturetour, runs them inside a
# Wine desktop on a virtual X display, and writes small PNG files.
#   bash scripts/take-pictures.sh [output folder, default docs/]
# BUILD_DIR picks the build folder (as for run-tests.sh); PICTURES_DISPLAY an X
# display number to use (default: the first free one from 90 on); PICTURES_DPI
# the display's DPI (default 96; e.g. 120 or 144, set in the tour's prefix).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs}")
dpi=${PICTURES_DPI:-96}
# A desktop and a screen that grow with the DPI, so that the window fits.
desktop="$((800 * dpi / 96))x$((600 * dpi / 96))"
screen="$((1024 * dpi / 96))x$((768 * dpi / 96))x24"
bash scripts/install-deps.sh
source scripts/wine-env.sh

cmake -S . -B "$RUN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$RUN_TOOLCHAIN" >/dev/null
cmake --build "$RUN_BUILD_DIR" -j"$(nproc)" --target setup picture_tour

build=$(realpath "$RUN_BUILD_DIR")
shots="$build/pictures"
rm -rf "$shots"
mkdir -p "$shots" "$out"

# A fresh prefix of the tour's own each time: the wizard then shows its
# defaults, and the destination page the same folder tree.
export WINEPREFIX="$build/pictures-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"

display=${PICTURES_DISPLAY:-}
if [ -z "$display" ]; then
  display=90
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
fi
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "take-pictures: Xvfb did not start on $DISPLAY" >&2; exit 1; }

start=$SECONDS
# Everything under the same display as the server (see the platform notes).
timeout 120 "$WINE" wineboot -i >/dev/null 2>&1 || true
wine_prefix_isolate
timeout 60 "$WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
if [ "$dpi" != 96 ]; then
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    timeout 60 "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
  # Wine reads the DPI when its server starts.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
fi
wine_prefix_fonts
# The desktop window draws the frames and captions the pictures show; it
# may outlive the tour, whose log says when it is over.
"$WINE" explorer /desktop=Vellumar,$desktop \
  "Z:$build/tools/picturetour/picture_tour.exe" "Z:$build/setup/setup.exe" "Z:$shots" >/dev/null 2>&1 &
desktop_pid=$!
ended() { tail -n1 "$shots/tour.log" 2>/dev/null | grep -qE '^(done|failed)'; }
for _ in $(seq 3000); do  # five minutes at most
  ended && break
  kill -0 "$desktop_pid" 2>/dev/null || { sleep 1; break; }
  sleep 0.1
done
wineserver -k 2>/dev/null || true
wait "$desktop_pid" 2>/dev/null || true
if ! tail -n1 "$shots/tour.log" 2>/dev/null | grep -qx done; then
  echo "take-pictures: the tour did not finish:" >&2
  cat "$shots/tour.log" >&2 2>/dev/null || echo "(no log)" >&2
  exit 1
fi

# Small files: no metadata, and a palette of 256 colours where nothing the
# eye can tell is lost (only the pictures' gradients have more colours).
count=0
for bmp in "$shots"/*.bmp; do
  png="$out/$(basename "$bmp" .bmp).png"
  convert "$bmp" -strip +dither -colors 256 PNG8:"$png"
  psnr=$(compare -metric PSNR "$bmp" "$png" null: 2>&1 || true)
  if [ "$psnr" != inf ] && ! awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 40) }'; then
    convert "$bmp" -strip "$png"
  fi
  count=$((count + 1))
done
echo "take-pictures: $count pictures in $out ($((SECONDS - start)) s under Wine)"
