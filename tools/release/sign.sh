#!/usr/bin/env bash
# Signs one Windows executable in place with Authenticode (SHA-256), then
# verifies the signature against the certificate it was made with.
#   sign.sh FILE CERT.p12 PASSWORD-FILE UNIX-TIME [TIMESTAMP-URL]
# The signing time is given, not read from the clock: the same file, key and
# time give the same signed bytes. A timestamp server is asked only when named
# (its countersignature then differs from run to run). The password is only
# ever read from its file.
set -euo pipefail
file=$1 cert=$2 passfile=$3 when=$4 url=${5:-}
[ -f "$cert" ] || { echo "sign: no certificate at $cert" >&2; exit 1; }
[ -f "$passfile" ] || { echo "sign: no password file at $passfile" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=(-pkcs12 "$cert" -readpass "$passfile" -h sha256 -n "Vellumar Word Processor Lite")
if [ -n "$url" ]; then args+=(-ts "$url"); else args+=(-time "$when"); fi
osslsigncode sign "${args[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
# The certificate in PEM, for the check, from the same key store.
openssl pkcs12 -in "$cert" -passin "file:$passfile" -nokeys -clcerts -out "$work/cert.pem" 2>/dev/null \
  || openssl pkcs12 -legacy -in "$cert" -passin "file:$passfile" -nokeys -clcerts -out "$work/cert.pem"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed" >"$work/verify" 2>&1 \
  || { cat "$work/verify" >&2; echo "sign: the signature of $file does not verify" >&2; exit 1; }
mv "$work/signed" "$file"
echo "signed and verified: $file"
