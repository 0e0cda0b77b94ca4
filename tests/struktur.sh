#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The rules of the source tree's shape:
#  1. The folders build on each other in the order core <- textio <- numerics <- bericht <- polar
#     <- scan <- window <- the Qt view (qt/) and the programs (cli/, bench/, fuzz/, Zentrix.cpp); a
#     file includes only its own folder and lower ones.
#  2. The computation in numerics/ needs nothing but core/ (no report, no text I/O).
#  3. The batch tool calls the window model's named commands: cli/ names no event of the window's
#     designer (Button1Click ..., FormActivate, Edit2DblClick), not even in a comment.
#  4. Every parallel path goes through the executor of core/: no std::thread or std::async
#     elsewhere (the window's worker for a long command is a QThread).
#  5. No function is longer than 80 lines.
#  6. The window model knows no toolkit: nothing under window/ includes a Qt header.
#  7. Every C++ source and header, the tests' too, begins with the licence line
#     "// SPDX-License-Identifier: GPL-3.0-or-later" (scripts/spdx.sh adds it).
set -euo pipefail
cd "$(dirname "$0")/.."

rang() {
  case "$1" in
    core) echo 0 ;; textio) echo 1 ;; numerics) echo 2 ;; bericht) echo 3 ;; polar) echo 4 ;; scan) echo 5 ;;
    window) echo 6 ;; *) echo 7 ;;
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
    case "$zielordner" in core|textio|numerics|bericht|polar|scan|window|qt|cli) ;; *) continue ;; esac
    if [ "$(rang "$zielordner")" -gt "$eigen" ]; then
      echo "$datei: bindet das höhere $ziel ein" >&2
      fehler=1
    fi
    if [ "$ordner" = numerics ] && [ "$zielordner" != numerics ] && [ "$zielordner" != core ]; then
      echo "$datei: die Rechnung darf nur core/ einbinden, nicht $ziel" >&2
      fehler=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$datei")
done < <(find core textio numerics bericht polar scan window qt cli bench fuzz Zentrix.cpp -name '*.[ch]pp' | sort)

if grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/)' $(find window -name '*.[ch]pp') >&2; then
  echo "window/ bindet Qt ein: das Fenstermodell kennt kein Werkzeug, die Ansicht steht in qt/." >&2
  fehler=1
fi
if grep -n -E '\b(Button[1-4]Click|FormActivate|Edit2DblClick)\b' cli/*.[ch]pp >&2; then
  echo "cli/ nennt ein Ereignis des Fensterentwurfs statt eines benannten Befehls." >&2
  fehler=1
fi
if grep -n -E 'std::(thread|jthread|async)\b' $(find textio numerics bericht polar scan window qt cli bench fuzz Zentrix.cpp -name '*.[ch]pp') >&2; then
  echo "Ein Faden außerhalb von core/: parallele Arbeit geht über den Ausführer (core/Ausfuehrer.hpp)." >&2
  fehler=1
fi

ohneLizenz="$(find . \( -path './build*' -o -path './.git' \) -prune -o -name '*.[ch]pp' -exec awk 'FNR == 1 && $0 != "// SPDX-License-Identifier: GPL-3.0-or-later" { print FILENAME }' {} + | sort)"
if [ -n "$ohneLizenz" ]; then
  echo "$ohneLizenz" >&2
  echo "Diesen Dateien fehlt die Lizenzzeile am Anfang (scripts/spdx.sh ergänzt sie)." >&2
  fehler=1
fi

# Functions: every body whose head has a parameter list and that does not stand inside another
# function (functions defined inside a class too, the Qt view's too), from the line of its "{" to
# the line of its "}"; comments, literals and preprocessor lines are passed over.
funktionslaenge=$(cat <<'AWK'
BEGIN { tiefe = 0; inFn = 0; kommentar = 0; schlecht = 0 }
{
  zeile = $0
  if (!kommentar && zeile ~ /^[ \t]*#/) next       # preprocessor
  n = length(zeile); i = 1
  while (i <= n) {
    c = substr(zeile, i, 1); d = substr(zeile, i, 2)
    if (kommentar) { if (d == "*/") { kommentar = 0; i += 2 } else i++; continue }
    if (d == "//") break
    if (d == "/*") { kommentar = 1; i += 2; continue }
    if (c == "\"" || c == "'") {                      # a literal: skipped with its escapes
      q = c; i++
      while (i <= n && substr(zeile, i, 1) != q) { if (substr(zeile, i, 1) == "\\") i++; i++ }
      i++; kopf = kopf "0"; continue
    }
    if (c == "{") {
      tiefe++
      if (!inFn && kopf ~ /\)/ && kopf !~ /^[ \t]*(if|for|while|switch|catch|do|else)[ \t(]/ && kopf !~ /=[ \t]*$/) {
        inFn = tiefe; start = NR; name = kopf; gsub(/^[ \t]+|[ \t]+$/, "", name); sub(/^(public|private|protected):[ \t]*/, "", name)
      }
      kopf = ""; i++; continue
    }
    if (c == "}") {
      if (inFn == tiefe) {
        laenge = NR - start + 1
        if (laenge > grenze) { printf "%s:%d: %d Zeilen: %s\n", datei, start, laenge, substr(name, 1, 90); schlecht = 1 }
        inFn = 0
      }
      tiefe--; kopf = ""; i++; continue
    }
    if (c == ";") { kopf = ""; i++; continue }
    kopf = kopf c; i++
  }
  kopf = kopf " "
}
END { exit schlecht }
AWK
)
while IFS= read -r datei; do
  awk -v datei="$datei" -v grenze=80 "$funktionslaenge" "$datei" >&2 || fehler=1
done < <(find core textio numerics bericht polar scan window qt cli bench fuzz Zentrix.cpp -name '*.[ch]pp' | sort)

if [ "$fehler" -ne 0 ]; then
  echo "Die Regeln der Ordnerstruktur sind verletzt." >&2
  exit 1
fi
echo "Ordnerstruktur in Ordnung."
