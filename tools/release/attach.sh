#!/usr/bin/env bash
# Attaches a detached Authenticode signature (osslsigncode extract-signature)
# to an executable, in place. Whether the signature fits the bytes is not this
# step's question: the result is compared with the published file byte for
# byte. osslsigncode 2.9 also checks the chain against the system's roots and
# reports failure for any private chain, after writing the file; so the verdict
# that counts is whether it wrote one. The signature may be in either form
# (sigformat.py): 2.9 reads the bare one, 2.5 the wrapped one.
#   attach.sh FILE SIGNATURE
set -euo pipefail
file=$1 sig=$2
[ -f "$sig" ] || { echo "attach: no signature at $sig" >&2; exit 1; }
out=$(mktemp "$file.XXXXXX")
trap 'rm -f "$out" "$out".*' EXIT
rm -f "$out"
for form in der wrapped; do
  python3 "$(dirname "$0")/sigformat.py" "$sig" "$out.sig" "--$form"
  "${OSSLSIGNCODE:-osslsigncode}" attach-signature -sigin "$out.sig" -in "$file" -out "$out" >"$out.log" 2>&1 || true
  [ ! -s "$out" ] || break
done
[ -s "$out" ] || { cat "$out.log" >&2; echo "attach: the signature $sig could not be attached to $file" >&2; exit 1; }
chmod --reference="$file" "$out"
mv "$out" "$file"
