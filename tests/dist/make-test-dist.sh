#!/usr/bin/env bash
# make-test-dist.sh WIN_BUILD OUT OLDER_VERSION
# The releases the installer tests use, made from the Windows tree's programs:
# OUT/current (the version in VERSION) and OUT/older (the same files packed
# as OLDER_VERSION, to upgrade from).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
make_dist="$here/../../dist/make-dist"
win=$1 out=$2 older=$3
rm -rf "$out/current" "$out/older"
bash "$make_dist" "$win" "$out/current"
DIST_VERSION="$older" bash "$make_dist" "$win" "$out/older"
