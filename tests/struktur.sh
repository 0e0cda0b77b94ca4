#!/usr/bin/env bash
# The rules of the source tree's shape:
#  1. The folders build on each other in the order core <- textio <- numerics <- polar <- window
#     <- programs (cli/, bench/, Zentrix.cpp); a file includes only its own folder and lower ones.
#  2. The computation in numerics/ needs nothing but core/: only its report writer writes text.
#  3. No function outside the Qt view is longer than 80 lines.
set -euo pipefail
cd "$(dirname "$0")/.."

rang() {
  case "$1" in
    core) echo 0 ;; textio) echo 1 ;; numerics) echo 2 ;; polar) echo 3 ;; window) echo 4 ;;
    *) echo 5 ;;
  esac
}

fehler=0
while IFS= read -r datei; do
  ordner="${datei%%/*}"
  [ "$ordner" = "$datei" ] && ordner=""
  eigen="$(rang "$ordner")"
  while IFS= read -r ziel; do
    zielordner="${ziel%%/*}"
    [ "$zielordner" = "$ziel" ] && continue
    case "$zielordner" in core|textio|numerics|polar|window|cli) ;; *) continue ;; esac
    if [ "$(rang "$zielordner")" -gt "$eigen" ]; then
      echo "$datei: bindet das höhere $ziel ein" >&2
      fehler=1
    fi
    if [ "$ordner" = numerics ] && [ "$zielordner" != numerics ] && [ "$zielordner" != core ] &&
       [[ "$datei" != numerics/KugelBericht.* ]]; then
      echo "$datei: die Rechnung darf nur core/ einbinden, nicht $ziel" >&2
      fehler=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$datei")
done < <(find core textio numerics polar window cli bench Zentrix.cpp -name '*.[ch]pp' | sort)

# Functions: from a line that starts in the first column (a definition's head) to the next line
# that is a lone "}" in the first column.
while IFS= read -r datei; do
  awk -v datei="$datei" '
    /^[A-Za-z_].*[^;]$/ && !/^(namespace|struct|class|enum|using|template|public|private|protected)/ {
      if (start == 0) { start = NR; kopf = $0 }
    }
    /^}$/ && start > 0 {
      if (NR - start + 1 > 80) { printf "%s:%d: %d Zeilen: %s\n", datei, start, NR - start + 1, kopf; schlecht = 1 }
      start = 0
    }
    /^};/ { start = 0 }
    END { exit schlecht }
  ' "$datei" >&2 || fehler=1
done < <(find core textio numerics polar window cli bench Zentrix.cpp -name '*.cpp' ! -name 'Qt*' | sort)

if [ "$fehler" -ne 0 ]; then
  echo "Die Regeln der Ordnerstruktur sind verletzt." >&2
  exit 1
fi
echo "Ordnerstruktur in Ordnung."
