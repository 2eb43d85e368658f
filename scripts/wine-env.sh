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
