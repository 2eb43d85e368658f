#!/usr/bin/env bash
# What a release is built from: the commit, its date, and the exact Debian
# package versions of the toolchain and libraries, so that a rebuild years
# later can install the same ones (apt-get install NAME=VERSION, from
# snapshot.debian.org when the archive has moved on).
#   buildinfo.sh COMMIT      the whole record (dist/BUILDINFO)
#   buildinfo.sh --toolchain only the package lines, to compare with a record
set -euo pipefail
cd "$(dirname "$0")/../.."
toolchain() {
  local p
  # The compilers and runtime of the shipped 32-bit build (win32 thread model),
  # the host side that packs the payload and draws the pictures, the signer.
  for p in gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32-runtime gcc-mingw-w64-base \
           binutils-mingw-w64-i686 mingw-w64-i686-dev mingw-w64-common libz-mingw-w64-dev \
           cmake g++ python3 osslsigncode; do
    echo "package $(dpkg-query -W -f='${Package}=${Version}' "$p" 2>/dev/null || echo "$p=(not installed)")"
  done
  # libpng is cross-built by install-deps.sh from Debian's source package.
  local record=/opt/vellumar-deps/share/vellumar-libpng-source
  if [ -f "$record" ]; then
    echo "libpng-source $(cat "$record")"
  else
    local v
    v=$(sed -n 's/^#define PNG_LIBPNG_VER_STRING "\(.*\)"/\1/p' /opt/vellumar-deps/include/png.h)
    echo "libpng-source libpng1.6_$v.orig.tar.gz (Debian revision not recorded by this machine's install)"
  fi
  # Built with only what the picture reader uses: the options file it was built with.
  local config=/opt/vellumar-deps/share/vellumar-libpng-config
  if [ -f "$config" ]; then
    echo "libpng-config $(cat "$config")"
  else
    echo "libpng-config default (every option; built before the options file was recorded)"
  fi
}
if [ "${1:-}" = --toolchain ]; then toolchain; exit 0; fi
commit=$(git rev-parse --verify "${1:?usage: buildinfo.sh COMMIT}^{commit}")
when=$(git log -1 --format=%ct "$commit")
version=$(bash tools/release/version.sh "$commit")
echo "commit $commit"
echo "source-date $when $(date -u -d "@$when" '+%Y-%m-%dT%H:%M:%SZ')"
echo "version $version"
echo "built-on $(. /etc/os-release && echo "$PRETTY_NAME") $(dpkg --print-architecture)"
toolchain
