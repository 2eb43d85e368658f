#!/usr/bin/env bash
# Attaches a detached Authenticode signature (osslsigncode extract-signature)
# to an executable, in place. Whether the signature fits the bytes is not this
# step's question: the result is compared with the published file byte for
# byte. osslsigncode 2.9 also checks the chain against the system's roots and
# reports failure for any private chain, after writing the file; so the verdict
# that counts is whether it wrote one.
#   attach.sh FILE SIGNATURE
set -euo pipefail
file=$1 sig=$2
[ -f "$sig" ] || { echo "attach: no signature at $sig" >&2; exit 1; }
out=$(mktemp "$file.XXXXXX")
trap 'rm -f "$out" "$out.log"' EXIT
rm -f "$out"
"${OSSLSIGNCODE:-osslsigncode}" attach-signature -sigin "$sig" -in "$file" -out "$out" >"$out.log" 2>&1 || true
[ -s "$out" ] || { cat "$out.log" >&2; echo "attach: the signature $sig could not be attached to $file" >&2; exit 1; }
chmod --reference="$file" "$out"
mv "$out" "$file"
