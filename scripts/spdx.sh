#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line at the top of every source file of the repository that lacks it: C++
# sources and headers get "// SPDX-License-Identifier: GPL-3.0-or-later" as their first line,
# shell, Python and CMake files the same as a "#" comment (behind the "#!" line where there is
# one). Files that have it are left as they are, so the script may run again at any time (after
# a merge, for instance). Only files that git knows are touched; tests/data and docs are data.
#
#   scripts/spdx.sh           adds the missing lines and names the files it changed
#   scripts/spdx.sh --pruefe  changes nothing; names the files without the line, exit code 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."
lizenz="SPDX-License-Identifier: GPL-3.0-or-later"
pruefen=0
[ "${1:-}" = --pruefe ] && pruefen=1

fehlt=0
while IFS= read -r datei; do
  case "$datei" in
    *.cpp|*.hpp) kommentar="//" ;;
    *.sh|*.py|*.cmake|*CMakeLists.txt|.ci/run) kommentar="#" ;;
    *) continue ;;
  esac
  # The line belongs first, or second behind "#!".
  erste="$(head -n 1 "$datei")"
  zeile=1
  [ "${erste#\#!}" != "$erste" ] && zeile=2
  if [ "$(sed -n "${zeile}p" "$datei")" = "$kommentar $lizenz" ]; then continue; fi
  fehlt=1
  echo "$datei"
  [ "$pruefen" -eq 1 ] && continue
  neu="$(mktemp "$datei.XXXXXX")"
  if [ "$zeile" -eq 2 ]; then
    { echo "$erste"; echo "$kommentar $lizenz"; tail -n +2 "$datei"; } >"$neu"
  else
    { echo "$kommentar $lizenz"; cat "$datei"; } >"$neu"
  fi
  chmod --reference="$datei" "$neu"
  mv "$neu" "$datei"
done < <(git ls-files -- ':!tests/data' ':!docs')

[ "$pruefen" -eq 1 ] && [ "$fehlt" -ne 0 ] && exit 1
exit 0
