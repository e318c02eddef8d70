#!/usr/bin/env bash
# sign-test.sh WIN_BUILD OUT
# make-dist with a throwaway certificate: every program in the zip and the
# MSI carry an Authenticode signature that osslsigncode verifies against the
# certificate; the unsigned build's programs carry none. Leaves the signed
# files unpacked in OUT/signed/<release folder> for the test that builds and
# plays a puzzle from the signed player stub.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
win=$(cd "$1" && pwd)
out=$2
rm -rf "$out/signed" "$out/certificate"
mkdir -p "$out/certificate"
cert="$out/certificate/cert.pem" key="$out/certificate/key.pem"
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Vornix SDK test signer" \
        -keyout "$key" -out "$cert" 2>/dev/null

SIGN_CERT="$cert" SIGN_KEY="$key" bash "$here/../../dist/make-dist" "$win" "$out/signed"
(cd "$out/signed" && sha256sum -c --quiet SHA256SUMS)
python3 -m zipfile -e "$out/signed"/vornix-sdk-*-win32.zip "$out/signed"

failures=0
verify() {
  if osslsigncode verify -CAfile "$cert" -in "$1" >"$out/certificate/verify.log" 2>&1; then
    echo "signed and verified: $(basename "$1")"
  else
    echo "FAILED to verify: $1"; cat "$out/certificate/verify.log"; failures=$((failures + 1))
  fi
}
for program in vornix.exe vornix_distrib.exe vornixpack.exe; do
  verify "$out"/signed/vornix-sdk-*-win32/"$program"
  # The unsigned program has no signature to verify.
  if osslsigncode verify -CAfile "$cert" -in "$win/bin/$program" >/dev/null 2>&1; then
    echo "FAILED: the unsigned $program verifies"; failures=$((failures + 1))
  fi
done
verify "$out"/signed/vornix-sdk-*-win32.msi
[ $failures -eq 0 ]
