#!/usr/bin/env bash
# The real setup on a display of another DPI. Wine takes the DPI from the
# prefix's registry when it starts, so each DPI has a prefix of its own, made
# once per build (a new prefix's first start takes about 20 s).
#   at_dpi.sh prepare SOURCE_DIR PREFIX DPI
#   at_dpi.sh walk SOURCE_DIR PREFIX WALKER SETUP CLIENT_WIDTH CLIENT_HEIGHT
set -euo pipefail
mode=$1
export WINEPREFIX=$3
cd "$2"
source scripts/wine-env.sh
cd - >/dev/null
shift 3

if [ "$mode" = prepare ]; then
  dpi=$1
  marker="$WINEPREFIX/.logpixels-$dpi"
  [ -e "$marker" ] && exit 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  wine_prefix_isolate
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine_prefix_fonts
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  touch "$marker"
  exit 0
fi

rc=0
timeout 240 "$WINE" "$@" || rc=$?
wineserver -k 2>/dev/null || true
exit $rc
