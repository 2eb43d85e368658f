#!/usr/bin/env bash
# Signs one Windows executable in place with Authenticode (SHA-256), embedding
# the certificate's whole chain from the .p12, then verifies the new signature
# offline: its integrity, and that it chains to the .p12's own CA certificates
# (or to the named root). Nothing is fetched: the CRL that a real certificate
# names is taken from a given file or not checked.
#   sign.sh FILE CERT.p12 PASSWORD-FILE UNIX-TIME [--timestamp-url URL]
#           [--ca-file ROOT.pem] [--crl-file CRL.pem]
# The signing time is given, not read from the clock: the same file, key and
# time give the same signed bytes. A timestamp server is asked only when named
# (its countersignature then differs from run to run). The password is only
# ever read from its file. OSSLSIGNCODE picks the program (default: osslsigncode).
set -euo pipefail
fail() { echo "sign: $*" >&2; exit 1; }
[ $# -ge 4 ] || fail "usage: sign.sh FILE CERT.p12 PASSWORD-FILE UNIX-TIME [--timestamp-url URL] [--ca-file ROOT.pem] [--crl-file CRL.pem]"
file=$1 cert=$2 passfile=$3 when=$4
shift 4
url="" cafile="" crlfile=""
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || fail "$1 needs a value"
  case $1 in
    --timestamp-url) url=$2 ;;
    --ca-file) cafile=$2 ;;
    --crl-file) crlfile=$2 ;;
    *) fail "unknown argument $1" ;;
  esac
  shift 2
done
ossl=${OSSLSIGNCODE:-osslsigncode}
[ -f "$cert" ] || fail "no certificate at $cert"
[ -f "$passfile" ] || fail "no password file at $passfile"
[ -z "$cafile" ] || [ -f "$cafile" ] || fail "no CA file at $cafile"
[ -z "$crlfile" ] || [ -f "$crlfile" ] || fail "no CRL file at $crlfile"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The certificates of the key store, in PEM (older stores need the legacy provider).
p12() {
  openssl pkcs12 -in "$cert" -passin "file:$passfile" -nokeys "$@" 2>/dev/null \
    || openssl pkcs12 -legacy -in "$cert" -passin "file:$passfile" -nokeys "$@"
}
p12 -clcerts -out "$work/leaf.pem" || fail "cannot read $cert with the given password"
p12 -cacerts -out "$work/chain.pem" || fail "cannot read the CA certificates of $cert"
if [ -z "$cafile" ]; then
  if grep -q 'BEGIN CERTIFICATE' "$work/chain.pem"; then
    cafile=$work/chain.pem
  elif [ "$(openssl x509 -in "$work/leaf.pem" -noout -subject -nameopt RFC2253 | cut -d= -f2-)" = \
         "$(openssl x509 -in "$work/leaf.pem" -noout -issuer -nameopt RFC2253 | cut -d= -f2-)" ]; then
    cafile=$work/leaf.pem  # a self-signed certificate is its own root
  else
    fail "$cert holds no CA certificates for its certificate: export it with its chain, or name the root with --ca-file"
  fi
fi

# -pkcs12 embeds every certificate of the store, the chain included.
args=(-pkcs12 "$cert" -readpass "$passfile" -h sha256 -n "Vellumar Word Processor Lite")
if [ -n "$url" ]; then args+=(-ts "$url"); else args+=(-time "$when"); fi
"$ossl" sign "${args[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1 \
  || { cat "$work/log" >&2; fail "signing $file failed${url:+ (timestamp server $url)}"; }

# Offline revocation: 2.9 fetches the CRL its certificate names unless told not
# to (-ignore-crl; -ignore-cdp when a list is given); 2.5 knows neither option
# and fetches nothing.
help=$("$ossl" -h 2>&1 || true)
knows() { grep -q -- "$1" <<<"$help"; }
check=(-CAfile "$cafile")
if [ -n "$crlfile" ]; then
  check+=(-CRLfile "$crlfile")
  if knows -ignore-cdp; then check+=(-ignore-cdp); fi
elif knows -ignore-crl; then
  check+=(-ignore-crl)
fi
if ! "$ossl" verify "${check[@]}" -in "$work/signed" >"$work/verify" 2>&1; then
  cat "$work/verify" >&2
  if grep -q 'MISMATCH' "$work/verify"; then
    fail "the signature of $file does not verify: integrity (the signed digest is not the file's)"
  elif grep -qi 'revoked\|CRL verification: failed\|unable to get certificate CRL' "$work/verify"; then
    fail "the signature of $file does not verify: revocation (${crlfile:-no CRL file}) says the certificate is not valid"
  else
    fail "the signature of $file does not verify: its certificate does not chain to $( [ "$cafile" = "$work/chain.pem" ] && echo "the CA certificates of $cert" || echo "$cafile")"
  fi
fi
mv "$work/signed" "$file"
echo "signed and verified: $file"
