#!/usr/bin/env bash
# Builds the release of the committed sources into dist/:
#   dist/VellumarSetup-<version>.exe   the setup (signed when a certificate is given)
#   dist/unsigned/...                  with a certificate: the unsigned setup of the same commit
#   dist/signatures/vlm.exe.sig        with a certificate: the detached signatures of the
#   dist/signatures/<setup>.sig          word processor and of the setup
#   dist/BUILDINFO                     the commit, its date and the toolchain's package versions
#   dist/SHA256SUMS                    checksums of the files above
# The unsigned setup is the one the reproducibility check built twice, from two
# clean folders, with identical bytes: anyone can rebuild it from the commit.
# The signed one is that build with two signatures attached, which
# scripts/verify-release.sh re-attaches to a rebuild to tie it to the commit.
# Signing signs the word processor before it is packed, then the setup, and
# verifies both offline against the certificate's own chain (or --ca-file).
#   bash scripts/release.sh [--sign CERT.p12 --password-file FILE
#                            (--timestamp-url URL | --no-timestamp)
#                            [--ca-file ROOT.pem] [--crl-file CRL.pem]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

fail() { echo "release: $*" >&2; exit 1; }
usage="usage: release.sh [--sign CERT.p12 --password-file FILE (--timestamp-url URL | --no-timestamp) [--ca-file ROOT.pem] [--crl-file CRL.pem]]"
cert="" passfile="" url="" notime="" cafile="" crlfile=""
while [ $# -gt 0 ]; do
  case $1 in
    --sign) [ $# -ge 2 ] || fail "--sign needs a file"; cert=$(realpath "$2"); shift 2 ;;
    --password-file) [ $# -ge 2 ] || fail "--password-file needs a file"; passfile=$(realpath "$2"); shift 2 ;;
    --timestamp-url) [ $# -ge 2 ] || fail "--timestamp-url needs an address"; url=$2; shift 2 ;;
    --no-timestamp) notime=1; shift ;;
    --ca-file) [ $# -ge 2 ] || fail "--ca-file needs a file"; cafile=$(realpath "$2"); shift 2 ;;
    --crl-file) [ $# -ge 2 ] || fail "--crl-file needs a file"; crlfile=$(realpath "$2"); shift 2 ;;
    *) fail "unknown argument $1 ($usage)" ;;
  esac
done
if [ -n "$cert" ]; then
  [ -f "$cert" ] || fail "no certificate at $cert"
  [ -n "$passfile" ] && [ -f "$passfile" ] || fail "--sign needs --password-file with the certificate's password"
  # A signature without a timestamp dies with the certificate: never by default.
  [ -n "$url" ] || [ -n "$notime" ] || fail "--sign needs a timestamp choice: --timestamp-url URL (a time-stamping" \
    "server countersigns, and the signature stays valid after the certificate expires) or --no-timestamp" \
    "(the signature is valid only until the certificate expires)"
  [ -z "$url" ] || [ -z "$notime" ] || fail "--timestamp-url and --no-timestamp exclude each other"
  [ -z "$cafile" ] || [ -f "$cafile" ] || fail "no CA file at $cafile"
  [ -z "$crlfile" ] || [ -f "$crlfile" ] || fail "no CRL file at $crlfile"
else
  [ -z "$url$notime$cafile$crlfile" ] || fail "--timestamp-url, --no-timestamp, --ca-file and --crl-file need --sign"
fi

cd "$root"
bash scripts/install-deps.sh >/dev/null
git diff --quiet HEAD -- && [ -z "$(git ls-files --others --exclude-standard)" ] \
  || fail "the work tree differs from the last commit: a release is of a commit, commit first"
version=$(bash tools/release/version.sh HEAD)
name="VellumarSetup-$version.exe"
commit=$(git rev-parse HEAD)
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
  opts=()
  [ -z "$url" ] || opts+=(--timestamp-url "$url")
  [ -z "$cafile" ] || opts+=(--ca-file "$cafile")
  [ -z "$crlfile" ] || opts+=(--crl-file "$crlfile")
  bash tools/release/signed-build.sh "$commit" "$work/signed" dist "$name" "$cert" "$passfile" "${opts[@]}"
  mkdir -p dist/unsigned
  cp "$work/unsigned.exe" "dist/unsigned/$name"
  if [ -n "$url" ]; then
    echo "release: dist/$name is signed and timestamped by $url"
  else
    echo "release: dist/$name is signed at $(date -u -d "@$when" '+%Y-%m-%d %H:%M:%S') UTC (the commit's time)" \
         "WITHOUT a timestamp: its signature is valid only until the certificate expires;" \
         "after that, Windows shows every copy as from an unknown publisher"
  fi
fi
bash tools/release/buildinfo.sh "$commit" > dist/BUILDINFO

# Nothing of the build machine or the tests goes out, in the files or in the
# payload they carry (the reproducibility check looked at its own two builds).
shopt -s nullglob
bash tools/release/check-leaks.sh dist/"$name" dist/unsigned/*.exe -- \
  "$work" "$root" "WorkerGate" "setup_gated" "PRIVATE KEY" || fail "build paths or test code in the release"
(cd dist && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort | xargs sha256sum > SHA256SUMS)
cat dist/SHA256SUMS
