#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages only.
# Idempotent: a second run with everything present only checks and returns.
set -euo pipefail

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: run as root (it installs Debian packages)" >&2
    exit 1
  fi
}

PKGS=(cmake make g++ zlib1g-dev pkg-config ca-certificates
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev
      wine wine64 xvfb xauth x11-utils imagemagick
      googletest python3 tzdata osslsigncode openssl wamerican wbritish hyphen-en-us icoutils
      fonts-liberation2 fonts-wine
      clang-14 libclang-rt-14-dev nsis)

# A mirror caught mid-sync fails one index; try again, and go on with the
# indexes apt already has rather than fail the whole run on one of them.
apt_update() {
  local i
  for i in 1 2 3 4; do
    apt-get update -qq && return 0
    echo "install-deps: apt-get update failed (try $i), retrying" >&2
    sleep $((i * 10))
  done
  echo "install-deps: going on with the package lists apt has" >&2
}

apt_install() {
  local i
  for i in 1 2 3; do
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null && return 0
    echo "install-deps: apt-get install failed (try $i), retrying" >&2
    sleep $((i * 10))
    apt_update
  done
  return 1
}

# Whether the kernel runs 32-bit x86 code: a 52+32+12-byte ELF that exits 0.
# Where it cannot (no IA-32 emulation), Wine's 32-bit half is of no use and
# the tests run the 64-bit build; its i386 packages are then not installed.
runs_32bit() {
  local probe
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00''\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00''\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00''\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08''\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00''\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\x90\x90\x90\xcd\x80' > "$probe"
  chmod +x "$probe"
  local ok=1
  "$probe" 2>/dev/null && ok=0
  rm -f "$probe"
  return $ok
}

missing=()
if runs_32bit; then
  PKGS+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || missing=(arch)
else
  echo "install-deps: this machine cannot run 32-bit code; leaving out Wine's 32-bit half"
fi
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  need_root
  echo "install-deps: installing: ${missing[*]}"
  if [ "${missing[0]}" = arch ]; then dpkg --add-architecture i386; fi
  apt_update
  apt_install "${PKGS[@]}"
fi

# The win32 thread model: its runtime needs nothing newer than Windows 2000.
test -x /usr/bin/i686-w64-mingw32-g++-win32
test -x /usr/bin/x86_64-w64-mingw32-g++-win32

# libpng has no MinGW package: cross-build it once from Debian's source package,
# for the 32-bit setup and for the 64-bit test build (machines without IA-32
# emulation cannot run 32-bit code), with only what the setup's picture reader
# uses (the options file). A changed options file builds both again.
here=$(cd "$(dirname "$0")/.." && pwd)
libpng_options=$here/cmake/libpng-reader.dfa
libpng_config="$(basename "$libpng_options") sha256:$(sha256sum "$libpng_options" | cut -d' ' -f1)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

libpng_source() {
  if [ -z "${srcdir:-}" ]; then
    if ! grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ ; then
      # Derive the source entry from the machine's own Debian entry, with the same
      # signing key (apt refuses two entries for one mirror that differ in it).
      mirror=$(grep -rhoE 'https?://[^ ]+' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null \
               | grep -E "/debian/?$" | grep -v security | head -n1 || true)
      [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
      signed=$(grep -rh -A6 -F "$mirror" /etc/apt/sources.list.d/*.sources 2>/dev/null \
               | sed -n 's/^Signed-By: *//p' | head -n1 || true)
      {
        echo "Types: deb-src"
        echo "URIs: $mirror"
        echo "Suites: bookworm bookworm-updates"
        echo "Components: main"
        if [ -n "$signed" ]; then echo "Signed-By: $signed"; fi
      } > /etc/apt/sources.list.d/vellumar-src.sources
      apt_update
    fi
    (cd "$work" && apt-get source --download-only -qq libpng1.6 >/dev/null)
    tar -xzf "$work"/libpng1.6_*.orig.tar.gz -C "$work"
    srcdir=$(find "$work" -maxdepth 1 -type d -name 'libpng-*' | head -n1)
  fi
}

build_libpng() {  # toolchain file, install prefix
  local toolchain=$1 prefix=$2
  local record=$prefix/share/vellumar-libpng-config
  if [ -f "$prefix/lib/libpng16.a" ] && [ "$(cat "$record" 2>/dev/null)" = "$libpng_config" ]; then
    return 0
  fi
  need_root
  echo "install-deps: building libpng into $prefix ($libpng_config)"
  rm -f "$record"  # until the new build is installed
  libpng_source
  local b="$work/build-$(basename "$toolchain" .cmake)"
  cmake -S "$srcdir" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DDFA_XTRA="$libpng_options" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$b" -j"$(nproc)" >/dev/null
  cmake --install "$b" >/dev/null
  # Which source went in, for the release's BUILDINFO.
  local dsc
  dsc=$(basename "$(ls "$work"/libpng1.6_*.dsc)" .dsc)
  mkdir -p "$prefix/share"
  echo "libpng1.6=${dsc#libpng1.6_} $(basename "$work"/libpng1.6_*.orig.tar.gz)" \
       "sha256:$(sha256sum "$work"/libpng1.6_*.orig.tar.gz | cut -d' ' -f1)" > "$prefix/share/vellumar-libpng-source"
  echo "$libpng_config" > "$record"
}

build_libpng mingw-i686.cmake /opt/vellumar-deps
build_libpng mingw-x86_64.cmake /opt/vellumar-deps-x86_64
echo "install-deps: all present"
