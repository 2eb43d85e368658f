#!/usr/bin/env bash
# verify-release.sh against a release signed with a chained certificate: it
# rebuilds the commit from git archive and accepts the release; it rejects a
# setup of the same commit changed by one byte and validly signed with the
# same key. Both builds are kept in OUT, so that a later run of an unchanged
# commit relinks only the signed programs.
#   verify_release_test.sh SOURCE-DIR OUT
set -euo pipefail
src=$(realpath "$1") out=$(realpath -m "$2")
git -C "$src" rev-parse -q --verify HEAD >/dev/null || { echo "SKIP: $src is not a git checkout"; exit 77; }
commit=$(git -C "$src" rev-parse HEAD)
name=VellumarSetup-$(bash "$src/tools/release/version.sh" "$commit").exe
mkdir -p "$out"
cd "$out"
rm -rf chain release forged
mkdir chain release forged
bash "$src/tests/release/make-chain.sh" chain
# 2.9 fetches the CRL the leaf names unless told not to; 2.5 knows no such option and fetches nothing.
offline=(); if grep -q -- -ignore-crl <<<"$(osslsigncode -h 2>&1 || true)"; then offline=(-ignore-crl); fi

# The release, as release.sh signs it.
bash "$src/tools/release/signed-build.sh" "$commit" published release "$name" chain/chain.p12 chain/password >/dev/null
bash "$src/tools/release/buildinfo.sh" "$commit" > release/BUILDINFO
osslsigncode verify -CAfile chain/root.pem "${offline[@]}" -in "release/$name" >/dev/null \
  || { echo "FAIL: the release does not verify against the root"; exit 1; }
bash "$src/scripts/verify-release.sh" "release/$name" --work rebuild > accepted.log 2>&1 \
  && grep -q "matches commit $commit" accepted.log \
  || { cat accepted.log; echo "FAIL: verify-release.sh does not accept the release"; exit 1; }

# The commit's own rebuild, one text byte changed, signed with the same key.
cp rebuild/build/setup/setup.exe "forged/$name"
at=$(grep -obaF 'Click Next to continue' "forged/$name" | head -n1 | cut -d: -f1)
printf 'c' | dd of="forged/$name" bs=1 seek="$at" conv=notrunc status=none
bash "$src/tools/release/sign.sh" "forged/$name" chain/chain.p12 chain/password "$(git -C "$src" log -1 --format=%ct)" >/dev/null
osslsigncode verify -CAfile chain/root.pem "${offline[@]}" -in "forged/$name" >/dev/null \
  || { echo "FAIL: the forgery is not validly signed, so it tests nothing"; exit 1; }
mkdir forged/signatures
cp release/BUILDINFO forged/
cp release/signatures/vlm.exe.sig forged/signatures/
osslsigncode extract-signature -in "forged/$name" -out "forged/signatures/$name.sig" >/dev/null
set +e
bash "$src/scripts/verify-release.sh" "forged/$name" --work rebuild > rejected.log 2>&1
rc=$?
set -e
[ $rc -eq 1 ] && grep -q "NOT the build of commit" rejected.log \
  || { cat rejected.log; echo "FAIL: verify-release.sh does not reject a validly signed other build (exit $rc)"; exit 1; }
echo "verify-release: the release matches its commit; a validly signed other build is rejected"
