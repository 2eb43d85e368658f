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
      wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick
      googletest python3 tzdata osslsigncode openssl wamerican wbritish hyphen-en-us icoutils
      fonts-liberation2 fonts-wine
      clang-14 libclang-rt-14-dev nsis)

missing=()
dpkg --print-foreign-architectures | grep -qx i386 || missing=(arch)
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  need_root
  echo "install-deps: installing: ${missing[*]}"
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${PKGS[@]}" >/dev/null
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
      apt-get update -qq
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
