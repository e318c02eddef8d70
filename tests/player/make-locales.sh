#!/usr/bin/env bash
# make-locales.sh DIR NAME...: compiles the Linux locales NAME.UTF-8 (e.g.
# de_DE) into DIR, unless they are there already. Wine takes a program's
# display language from LANG only when that locale exists; with
# LOCPATH=DIR the tests get them without touching the system's locales.
set -euo pipefail
dir=$1; shift
mkdir -p "$dir"
for name in "$@"; do
  [ -f "$dir/$name.UTF-8/LC_MESSAGES/SYS_LC_MESSAGES" ] && continue
  # localedef warns (and exits 1) about things that do not matter here.
  localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" >/dev/null 2>&1 || true
  [ -f "$dir/$name.UTF-8/LC_MESSAGES/SYS_LC_MESSAGES" ] || { echo "cannot make the locale $name" >&2; exit 1; }
done
