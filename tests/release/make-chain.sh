#!/usr/bin/env bash
# A code-signing certificate as real ones come: leaf -> intermediate CA -> root,
# the leaf naming a CRL distribution point that cannot be reached.
# Writes DIR/root.pem, DIR/chain.p12 (leaf, key and both CA certificates), DIR/password.
#   make-chain.sh DIR
set -euo pipefail
cd "$1"
head -c 24 /dev/urandom | base64 > password
openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 3650 -subj "/CN=Vellumar Test Root" \
  -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
printf 'basicConstraints=critical,CA:true,pathlen:0\nkeyUsage=critical,keyCertSign,cRLSign\n' > ca.ext
printf 'basicConstraints=CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n%s\n' \
  'crlDistributionPoints=URI:http://crl.invalid/intermediate.crl' > leaf.ext
for level in intermediate:root:ca.ext leaf:intermediate:leaf.ext; do
  IFS=: read -r cert issuer ext <<<"$level"
  openssl req -newkey rsa:2048 -nodes -keyout "$cert.key" -out "$cert.csr" -subj "/CN=Vellumar Test $cert" 2>/dev/null
  openssl x509 -req -in "$cert.csr" -CA "$issuer.pem" -CAkey "$issuer.key" -CAcreateserial -days 3650 \
    -extfile "$ext" -out "$cert.pem" 2>/dev/null
done
cat intermediate.pem root.pem > cas.pem
openssl pkcs12 -export -inkey leaf.key -in leaf.pem -certfile cas.pem -out chain.p12 -passout file:password
rm -f ./*.key ./*.csr ./*.srl
