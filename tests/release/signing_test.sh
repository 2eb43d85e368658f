#!/usr/bin/env bash
# Signs a built setup with a throwaway certificate: the same file, key and
# time give the same signed bytes; both signatures verify; a damaged signed
# file does not. Leaves the signed setup in OUT/setup.exe for the start test.
#   signing_test.sh SETUP.exe OUT
set -euo pipefail
setup=$(realpath "$1") out=$(realpath -m "$2")
sign=$(realpath "$(dirname "$0")/../../tools/release/sign.sh")
rm -rf "$out"
mkdir -p "$out"
cd "$out"
head -c 24 /dev/urandom | base64 > password
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=Vellumar Test" 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout file:password
rm key.pem
when=1700000000
for copy in a b; do
  cp "$setup" "$copy.exe"
  bash "$sign" "$copy.exe" cert.p12 password "$when" >/dev/null
done
cmp a.exe b.exe || { echo "FAIL: two signings of the same file differ"; exit 1; }
cmp -s a.exe "$setup" && { echo "FAIL: signing changed nothing"; exit 1; }
for copy in a b; do
  osslsigncode verify -CAfile cert.pem -in "$copy.exe" > "$copy.verify" || { echo "FAIL: $copy.exe does not verify"; exit 1; }
  # The given time, not the clock's: what makes a later signing give the same bytes.
  grep -q 'Signing time: Nov 14 22:13:20 2023' "$copy.verify" || { echo "FAIL: $copy.exe is not signed at the given time"; exit 1; }
done
# One byte of code changed after signing.
cp a.exe damaged.exe
printf '\xCC' | dd of=damaged.exe bs=1 seek=4200 conv=notrunc status=none
if osslsigncode verify -CAfile cert.pem -in damaged.exe >/dev/null 2>&1; then
  echo "FAIL: a damaged signed file verifies"; exit 1
fi
mv a.exe setup.exe
echo "signing: identical bytes twice, both verify, a damaged copy does not"
