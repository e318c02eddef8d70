#!/usr/bin/env bash
# reproducible.sh SOURCE WORK
# Clones the source's committed state into two folders of different names
# and depths, the second with spaces in its path, runs `make dist` in each,
# and compares the SHA-256 of every output: the MSI, the zip, and the three
# programs. (Uncommitted changes are not in the clones.)
set -euo pipefail
src=$1 work=$2
if ! git -C "$src" rev-parse --verify -q HEAD >/dev/null; then
  echo "reproducible.sh: $src is not a git checkout; skipped"; exit 77
fi
rm -rf "$work"
mkdir -p "$work/first" "$work/second/a deeper folder"
clones=("$work/first/vornix" "$work/second/a deeper folder/another name")
for clone in "${clones[@]}"; do
  git clone --quiet --no-hardlinks "$src" "$clone"
  git -C "$clone" checkout --quiet "$(git -C "$src" rev-parse HEAD)"
  echo "== make dist in $clone"
  make -C "$clone" --no-print-directory dist JOBS="${JOBS:-2}" >"$clone.log" 2>&1 || {
    cat "$clone.log"; exit 1; }
done
sums() {
  (cd "$1/build/dist" && sha256sum vornix-sdk-*-win32.msi vornix-sdk-*-win32.zip)
  (cd "$1/build/win/bin" && sha256sum vornix.exe vornix_distrib.exe vornixpack.exe)
}
sums "${clones[0]}" >"$work/first.sums"
sums "${clones[1]}" >"$work/second.sums"
cat "$work/first.sums"
if ! diff "$work/first.sums" "$work/second.sums"; then
  echo "FAILED: the two builds differ"; exit 1
fi
cmp "${clones[0]}/build/dist/SHA256SUMS" "${clones[1]}/build/dist/SHA256SUMS"
echo "the same bytes in both clones"
rm -rf "$work"
