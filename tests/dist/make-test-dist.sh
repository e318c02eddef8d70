#!/usr/bin/env bash
# make-test-dist.sh WIN_BUILD OUT OLDER_VERSION
# The releases the installer tests use, made from the Windows tree's programs:
# OUT/older (the same files packed as OLDER_VERSION, to upgrade from) and
# OUT/current (the version in VERSION). The current release is made into a
# folder that already holds the older one and a file of the user's, as a
# folder of releases does: make-dist must keep them and their sums.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
make_dist="$here/../../dist/make-dist"
win=$1 out=$2 older=$3
rm -rf "$out/current" "$out/older"
DIST_VERSION="$older" bash "$make_dist" "$win" "$out/older"

mkdir -p "$out/current/stage"
cp "$out/older"/* "$out/current/" 2>/dev/null || true
echo "the user's own notes" >"$out/current/stage/notes.txt"
bash "$make_dist" "$win" "$out/current"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
for file in "vornix-sdk-$older-win32.msi" "vornix-sdk-$older-win32.zip"; do
  cmp -s "$out/older/$file" "$out/current/$file" || fail "the older release's $file was not kept"
  grep -q "  $file\$" "$out/current/SHA256SUMS" || fail "SHA256SUMS lost the line of $file"
done
[ -f "$out/current/stage/notes.txt" ] || fail "a folder named stage was removed"
(cd "$out/current" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match the files"
[ "$(wc -l <"$out/current/SHA256SUMS")" -eq 4 ] || fail "SHA256SUMS should hold four lines"
# Made again, the current release replaces its own files and lines only.
bash "$make_dist" "$win" "$out/current"
[ "$(wc -l <"$out/current/SHA256SUMS")" -eq 4 ] || fail "a second make-dist repeated its lines"
(cd "$out/current" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match after a second make-dist"
if ls "$out/current" | grep -q '\.staging$'; then fail "the staging folder was left behind"; fi
[ $failures -eq 0 ]
