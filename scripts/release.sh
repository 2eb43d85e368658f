#!/usr/bin/env bash
# Builds the release of the committed sources into dist/:
#   dist/VellumarSetup-<version>.exe   the setup (signed when a certificate is given)
#   dist/unsigned/...                  with a certificate: the unsigned setup of the same commit
#   dist/SHA256SUMS                    checksums of both
# The unsigned setup is the one the reproducibility check built twice, from two
# clean folders, with identical bytes: anyone can rebuild it from the commit.
# Signing signs the word processor before it is packed, then the setup, at the
# commit's time, and verifies both; a timestamp server is asked only when named.
#   bash scripts/release.sh [--sign CERT.p12 --password-file FILE] [--timestamp-url URL]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() { echo "release: $*" >&2; exit 1; }
cert="" passfile="" url=""
while [ $# -gt 0 ]; do
  case $1 in
    --sign) [ $# -ge 2 ] || fail "--sign needs a file"; cert=$(realpath "$2"); shift 2 ;;
    --password-file) [ $# -ge 2 ] || fail "--password-file needs a file"; passfile=$(realpath "$2"); shift 2 ;;
    --timestamp-url) [ $# -ge 2 ] || fail "--timestamp-url needs an address"; url=$2; shift 2 ;;
    *) fail "unknown argument $1 (usage: release.sh [--sign CERT.p12 --password-file FILE] [--timestamp-url URL])" ;;
  esac
done
if [ -n "$cert" ]; then
  [ -f "$cert" ] || fail "no certificate at $cert"
  [ -n "$passfile" ] && [ -f "$passfile" ] || fail "--sign needs --password-file with the certificate's password"
fi
[ -z "$url" ] || [ -n "$cert" ] || fail "--timestamp-url needs --sign"

bash scripts/install-deps.sh >/dev/null
git diff --quiet HEAD -- && [ -z "$(git ls-files --others --exclude-standard)" ] \
  || fail "the work tree differs from the last commit: a release is of a commit, commit first"
version=$(sed -n 's/^#define VELLUMAR_VERSION_TEXT "\(.*\)"/\1/p' resources/Version.h)
[ -n "$version" ] || fail "no version in resources/Version.h"
name="VellumarSetup-$version.exe"
when=$(git log -1 --format=%ct)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf dist
mkdir -p dist

echo "release: $name of commit $(git rev-parse --short HEAD)"
bash scripts/check-reproducible.sh "$work/unsigned.exe"

if [ -z "$cert" ]; then
  cp "$work/unsigned.exe" "dist/$name"
  echo "release: no certificate given: dist/$name is unsigned"
else
  mkdir -p "$work/src" dist/unsigned
  git archive HEAD | tar -x -C "$work/src"
  cmake -S "$work/src" -B "$work/signed" -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_SIGN_PKCS12="$cert" \
        -DVELLUMAR_SIGN_PASSWORD_FILE="$passfile" -DVELLUMAR_SIGN_TIME="$when" \
        -DVELLUMAR_SIGN_TIMESTAMP_URL="$url" >"$work/build.log" 2>&1 \
    && cmake --build "$work/signed" -j"$(nproc)" --target setup >>"$work/build.log" 2>&1 \
    || { tail -n 30 "$work/build.log" >&2; fail "the signed build failed"; }
  grep '^signed and verified' "$work/build.log" | sed "s|$work/signed/||"
  cp "$work/signed/setup/setup.exe" "dist/$name"
  cp "$work/unsigned.exe" "dist/unsigned/$name"
  echo "release: dist/$name is signed at $(date -u -d "@$when" '+%Y-%m-%d %H:%M:%S') UTC (the commit's time)"
fi

# Nothing of the build machine or the tests goes out.
for f in dist/"$name" dist/unsigned/*.exe; do
  [ -f "$f" ] || continue
  for leak in "$work" "$root" "WorkerGate" "setup_gated" "PRIVATE KEY"; do
    if grep -qaF "$leak" "$f"; then fail "$f contains \"$leak\""; fi
  done
done
(cd dist && find . -name '*.exe' -type f | sed 's|^\./||' | sort | xargs sha256sum > SHA256SUMS)
cat dist/SHA256SUMS
