#!/usr/bin/env bash
# readme-versions.sh SOURCE
# The README for Windows users (dist/README.txt) and the repository's
# README.md say the same about which Windows versions take file names and
# texts in any language, and which keep the system's own code page.
set -euo pipefail
src=$1
failures=0
for readme in "$src/README.md" "$src/dist/README.txt"; do
  # Lines joined, so that a sentence may wrap anywhere.
  text=$(tr '\r\n' '  ' <"$readme" | tr -s ' ')
  for claim in "Windows 10 version 1903 and later" "(7, 8, 8.1 and 10 before 1903)" \
               "in any language" "the system's own code page"; do
    if [[ "$text" != *"$claim"* ]]; then
      echo "FAILED: $readme does not say \"$claim\""; failures=$((failures + 1))
    fi
  done
done
[ $failures -eq 0 ] && echo "both READMEs name the same Windows versions"
