#!/usr/bin/env bash
# Signs a built setup with a throwaway certificate: the same file, key and
# time give the same signed bytes; both signatures verify; a damaged signed
# file does not. A certificate with a chain and an unreachable CRL point signs
# offline and verifies against its root alone. A release is not signed without
# a timestamp choice; the leak check sees into the payload. Leaves the signed
# setup in OUT/setup.exe for the start test.
#   signing_test.sh SETUP.exe OUT
set -euo pipefail
setup=$(realpath "$1") out=$(realpath -m "$2")
here=$(realpath "$(dirname "$0")")
sign=$here/../../tools/release/sign.sh
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

# leaf -> intermediate -> root, the leaf naming a CRL point nobody answers.
mkdir chain
bash "$here/make-chain.sh" chain
cp "$setup" chained.exe
bash "$sign" chained.exe chain/chain.p12 chain/password "$when" > chained.log 2>&1 \
  || { cat chained.log; echo "FAIL: a chained certificate does not sign"; exit 1; }
# 2.9 fetches the CRL the leaf names unless told not to; 2.5 knows no such option and fetches nothing.
offline=(); if grep -q -- -ignore-crl <<<"$(osslsigncode -h 2>&1 || true)"; then offline=(-ignore-crl); fi
osslsigncode verify -CAfile chain/root.pem "${offline[@]}" -in chained.exe > chained.verify 2>&1 \
  || { cat chained.verify; echo "FAIL: the chained signature does not verify against the root alone"; exit 1; }

# --sign without a timestamp choice: refused at once, naming both choices.
set +e
refusal=$(timeout 60 bash "$here/../../scripts/release.sh" --sign chain/chain.p12 --password-file chain/password 2>&1)
rc=$?
set -e
[ $rc -eq 1 ] && grep -q -- --timestamp-url <<<"$refusal" && grep -q -- --no-timestamp <<<"$refusal" \
  || { echo "$refusal"; echo "FAIL: release.sh --sign without a timestamp choice was not refused (exit $rc)"; exit 1; }

# The window class of vlm.exe lies only in the compressed payload.
if bash "$here/../../tools/release/check-leaks.sh" "$setup" -- VellumarWordProcessorMain 2>/dev/null; then
  echo "FAIL: the leak check does not see into the payload"; exit 1
fi
mv a.exe setup.exe
echo "signing: identical bytes twice, both verify, a damaged copy does not, a chain verifies offline against its root"
