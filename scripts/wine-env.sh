# Sourced by the build and test scripts: which Windows build this machine can
# run under Wine. The setup that ships is always the 32-bit build; a machine
# whose kernel cannot execute 32-bit code (no IA-32 emulation) runs the tests
# on a 64-bit build of the same sources instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  VELLUMAR_ARCH=i686
  WINE=/usr/bin/wine
  RUN_BUILD_DIR=${BUILD_DIR:-build}
else
  VELLUMAR_ARCH=x86_64
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
  RUN_BUILD_DIR=${BUILD_DIR:-build-x64}
fi
RUN_TOOLCHAIN=$PWD/cmake/mingw-$VELLUMAR_ARCH.cmake
export WINE

# Some Wine builds never look into their own font folder: dialogs then fall
# back to Liberation Sans and the caption buttons' glyphs to letters. Tahoma
# (the dialog font) and Marlett go where every Wine looks, the prefix's Fonts
# folder. Call with WINEPREFIX set, after the prefix exists.
wine_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$fonts" ] && [ -d /usr/share/wine/fonts ] || return 0
  cp -u /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
}

# Wine links a new prefix's Desktop, Documents and similar folders to the host
# user's home folders: shortcuts a test writes would land in the host's home,
# and two prefixes would see each other's files. Plain folders inside the
# prefix instead. Wine must not run meanwhile, so this stops the prefix's
# server when there is anything to change. Call with WINEPREFIX set, after
# the prefix exists.
wine_prefix_isolate() {
  local users="$WINEPREFIX/drive_c/users" link
  [ -n "$(find "$users" -mindepth 2 -maxdepth 2 -type l 2>/dev/null)" ] || return 0
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  find "$users" -mindepth 2 -maxdepth 2 -type l -print0 | while IFS= read -r -d '' link; do
    rm -f "$link" && mkdir -p "$link"
  done
}
