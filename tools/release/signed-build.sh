#!/usr/bin/env bash
# Builds a commit from a clean `git archive`, signing vlm.exe before it is
# packed and then the setup (through the build's vellumar_sign step), and
# publishes the signed setup and both detached signatures:
#   OUT/NAME, OUT/signatures/vlm.exe.sig, OUT/signatures/NAME.sig
#   signed-build.sh COMMIT WORK OUT NAME CERT.p12 PASSWORD-FILE
#                   [--timestamp-url URL] [--ca-file ROOT.pem] [--crl-file CRL.pem]
# The signing time is the commit's. WORK may hold an earlier build of the
# same tree: only the two signed programs are then made again.
set -euo pipefail
fail() { echo "release: $*" >&2; exit 1; }
commit=$1 work=$(realpath -m "$2") out=$(realpath -m "$3") name=$4 cert=$(realpath "$5") passfile=$(realpath "$6")
shift 6
url="" cafile="" crlfile=""
while [ $# -gt 0 ]; do
  case $1 in
    --timestamp-url) url=$2 ;;
    --ca-file) cafile=$(realpath "$2") ;;
    --crl-file) crlfile=$(realpath "$2") ;;
    *) fail "unknown argument $1" ;;
  esac
  shift 2
done
cd "$(dirname "$0")/../.."
when=$(git log -1 --format=%ct "$commit")
rm -rf "$work/src"
mkdir -p "$work/src" "$out/signatures"
git archive "$commit" | tar -x -C "$work/src"
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_SIGN_PKCS12="$cert" \
      -DVELLUMAR_SIGN_PASSWORD_FILE="$passfile" -DVELLUMAR_SIGN_TIME="$when" -DVELLUMAR_SIGN_TIMESTAMP_URL="$url" \
      -DVELLUMAR_SIGN_CA_FILE="$cafile" -DVELLUMAR_SIGN_CRL_FILE="$crlfile" >"$work/build.log" 2>&1 \
  || { tail -n 30 "$work/build.log" >&2; fail "the signed build failed to configure"; }
# Signed in place after linking: a kept program would keep an older signature.
rm -f "$work/build/product/vlm/vlm.exe" "$work/build/setup/setup.exe"
cmake --build "$work/build" -j"$(nproc)" --target setup >>"$work/build.log" 2>&1 \
  || { tail -n 30 "$work/build.log" >&2; fail "the signed build failed"; }
grep '^signed and verified' "$work/build.log" | sed "s|$work/build/||"
cp "$work/build/setup/setup.exe" "$out/$name"
# Published in the bare DER form, whichever osslsigncode extracts them.
for pair in "$work/build/product/vlm/vlm.exe:vlm.exe.sig" "$out/$name:$name.sig"; do
  rm -f "$work/extracted.sig"
  osslsigncode extract-signature -in "${pair%%:*}" -out "$work/extracted.sig" >/dev/null
  python3 tools/release/sigformat.py "$work/extracted.sig" "$out/signatures/${pair##*:}" --der
done
