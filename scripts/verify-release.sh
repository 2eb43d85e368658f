#!/usr/bin/env bash
# Checks that a signed setup is the build of its commit and nothing else:
# rebuilds the commit from a clean `git archive`, attaches the published
# signature of vlm.exe to the rebuilt vlm.exe before it is packed (as the
# release signed it there), attaches the published signature of the setup to
# the rebuilt setup, and compares the result with the given file byte for byte.
# Only the key holder can make the signatures; anyone can make the bytes.
#   bash scripts/verify-release.sh SIGNED.exe [--commit COMMIT] [--signatures DIR] [--work DIR]
# The commit is the one dist/BUILDINFO beside the file names; the signatures
# are those of signatures/ beside it. --work keeps the rebuild in DIR, and a
# later check of the same commit there builds only what the signatures change.
# Exit 0: "matches commit ..."; exit 1: what differs.
set -euo pipefail
fail() { echo "verify-release: $*" >&2; exit 1; }
usage="usage: verify-release.sh SIGNED.exe [--commit COMMIT] [--signatures DIR] [--work DIR]"
signed="" commit="" sigdir="" keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --commit|--signatures|--work) [ $# -ge 2 ] || fail "$1 needs a value ($usage)" ;;&
    --commit) commit=$2; shift 2 ;;
    --signatures) sigdir=$(realpath "$2"); shift 2 ;;
    --work) keep=$(realpath -m "$2"); shift 2 ;;
    -*) fail "unknown argument $1 ($usage)" ;;
    *) [ -z "$signed" ] || fail "$usage"; signed=$(realpath "$1"); shift ;;
  esac
done
[ -n "$signed" ] || fail "$usage"
cd "$(dirname "$0")/.."
[ -f "$signed" ] || fail "no file at $signed"
dist=$(dirname "$signed")
name=$(basename "$signed")
buildinfo=$dist/BUILDINFO
if [ -z "$commit" ]; then
  [ -f "$buildinfo" ] || fail "no BUILDINFO beside $name: name the commit with --commit"
  commit=$(sed -n 's/^commit //p' "$buildinfo")
fi
commit=$(git rev-parse --verify -q "$commit^{commit}") || fail "commit $commit is not in this repository: fetch it first"
sigdir=${sigdir:-$dist/signatures}
vlmsig=$sigdir/vlm.exe.sig
setupsig=$sigdir/$name.sig
[ -f "$vlmsig" ] || fail "no published signature of vlm.exe at $vlmsig"
[ -f "$setupsig" ] || fail "no published signature of the setup at $setupsig"

bash scripts/install-deps.sh >/dev/null
if [ -f "$buildinfo" ]; then
  # Another toolchain builds other bytes: say so up front, it explains a mismatch.
  if ! d=$(diff <(grep -E '^(package|libpng-source|libpng-config) ' "$buildinfo") <(bash tools/release/buildinfo.sh --toolchain)); then
    echo "verify-release: this machine's toolchain differs from BUILDINFO's (< release, > here):"
    grep '^[<>]' <<<"$d" | sed 's/^/  /'
  fi
fi

if [ -n "$keep" ]; then
  work=$keep
  mkdir -p "$work"
  # Another commit's build is of no use.
  if [ "$(cat "$work/commit" 2>/dev/null)" != "$commit" ]; then rm -rf "$work/src" "$work/build"; fi
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
# Sources as the commit has them (git archive gives every file the commit's
# time, so an unchanged tree leaves a kept build up to date).
rm -rf "$work/src"
mkdir -p "$work/src" "$work/sig"
git archive "$commit" | tar -x -C "$work/src"
echo "$commit" > "$work/commit"
# Named by content, so that another signature is a changed build option.
vsig=$work/sig/vlm-$(sha256sum < "$vlmsig" | cut -c1-16).sig
cp "$vlmsig" "$vsig"

echo "verify-release: rebuilding commit $commit"
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_VLM_SIGNATURE="$vsig" \
      >"$work/build.log" 2>&1 \
  && cmake --build "$work/build" -j"$(nproc)" --target setup >>"$work/build.log" 2>&1 \
  || { tail -n 30 "$work/build.log" >&2; fail "the rebuild failed"; }
cp "$work/build/setup/setup.exe" "$work/rebuilt.exe"
bash tools/release/attach.sh "$work/rebuilt.exe" "$setupsig"

if cmp -s "$work/rebuilt.exe" "$signed"; then
  echo "verify-release: $name matches commit $commit"
  exit 0
fi
# What differs, from the outside in.
echo "verify-release: $name is NOT the build of commit $commit with the published signatures" >&2
rm -f "$work/own.sig" "$work"/*.payload "$work/their-vlm.exe"
osslsigncode extract-signature -in "$signed" -out "$work/own.sig" >/dev/null 2>&1 || true
if [ ! -s "$work/own.sig" ]; then
  echo "  - it carries no signature" >&2
elif ! cmp -s <(python3 tools/release/sigformat.py "$work/own.sig" /dev/stdout --der) \
              <(python3 tools/release/sigformat.py "$setupsig" /dev/stdout --der); then
  echo "  - its own signature is not the published one ($setupsig)" >&2
fi
if python3 tools/release/payload.py "$signed" --extract vlm.exe "$work/their-vlm.exe" 2>/dev/null; then
  cmp -s "$work/their-vlm.exe" "$work/build/product/vlm/vlm.exe" \
    || echo "  - the vlm.exe it carries differs from the rebuilt one with the published signature" >&2
else
  echo "  - its payload cannot be read" >&2
fi
python3 tools/release/payload.py "$signed" --archive "$work/their.payload" 2>/dev/null || true
python3 tools/release/payload.py "$work/rebuilt.exe" --archive "$work/our.payload"
[ ! -f "$work/their.payload" ] || cmp -s "$work/their.payload" "$work/our.payload" \
  || echo "  - its payload differs from the rebuilt one" >&2
# The PE checksum (bytes 217-220 counted from 1) differs whenever anything does.
first=$(cmp -l "$signed" "$work/rebuilt.exe" 2>/dev/null | awk '$1 < 217 || $1 > 220 { print $1; exit }' || true)
echo "  - sizes: $(stat -c %s "$signed") bytes, rebuilt $(stat -c %s "$work/rebuilt.exe");" \
     "first byte that differs beyond the checksum: ${first:-none within the shorter file}" >&2
exit 1
