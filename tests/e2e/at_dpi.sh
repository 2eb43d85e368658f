#!/usr/bin/env bash
# The setup on a display of another DPI. Wine reads the DPI from the prefix's
# registry when its server starts: one prefix per DPI, made once per build.
#   at_dpi.sh prepare SOURCE_DIR PREFIX DPI | at_dpi.sh walk SOURCE_DIR PREFIX PROGRAM ARGS...
set -euo pipefail
mode=$1 marker=$3/.logpixels
export WINEPREFIX=$3
source "$2/scripts/wine-env.sh"
shift 3
if [ "$mode" = walk ]; then
  rc=0
  timeout 240 "$WINE" "$@" || rc=$?
  wineserver -k 2>/dev/null || true
  exit $rc
fi
[ "$(cat "$marker" 2>/dev/null)" = "$1" ] && exit 0
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
wine_prefix_isolate
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
done
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine_prefix_fonts
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
echo "$1" >"$marker"
