#!/usr/bin/env bash
# The batch tool on a standard output that cannot take its output: /dev/full for each kind of
# output, and where a file system can be mounted here (a mount namespace of its own, as root or
# in a user namespace), a JSON object larger than a small tmpfs. Each run must end with exit
# code 1 and say why on the error stream; a cut output never passes for a whole one.
#
#   tests/volle_ausgabe.sh CLI DATEN
set -uo pipefail
cli="$1"
daten="$2"
[ -c /dev/full ] || { echo "kein /dev/full: übersprungen"; exit 77; }
meldung="Die Ausgabe kann nicht geschrieben werden. Zu wenig Speicherplatz."
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cp "$daten/beobachtungen/fehlerhafte_felder.dat" "$tmp/m.dat"
fehler=0

# pruefe NAME ZIEL ARGUMENTE...: runs the tool with its standard output into ZIEL.
pruefe() {
  local name="$1" ziel="$2"
  shift 2
  "$cli" "$@" >"$ziel" 2>"$tmp/err"
  local rc=$?
  if [ "$rc" -ne 1 ] || [ "$(tail -n 1 "$tmp/err")" != "$meldung" ]; then
    echo "FEHLER: $name: Rückgabewert $rc, zuletzt auf der Fehlerausgabe: $(tail -n 1 "$tmp/err")"
    fehler=1
  fi
}

pruefe "demo" /dev/full demo
pruefe "demo --json" /dev/full demo --json
pruefe "polarauswertung --json (mit Meldungen)" /dev/full polarauswertung "$tmp/m.dat" --json
pruefe "polarauswertung als Text" /dev/full polarauswertung "$tmp/m.dat"
pruefe "--version" /dev/full --version

# A JSON object of some 400 KB into a file system of 256 KB.
for _ in $(seq 100); do cat "$daten/beobachtungen/vier_kugeln.dat"; done >"$tmp/gross.dat"
mkdir "$tmp/voll"
if unshare -rm true 2>/dev/null; then
  unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs "$1" && "$2" polarauswertung "$3" --json >"$1/out.json" 2>"$4"; echo $? >"$5"' \
    sh "$tmp/voll" "$cli" "$tmp/gross.dat" "$tmp/err" "$tmp/rc"
  if [ "$(cat "$tmp/rc")" != 1 ] || [ "$(tail -n 1 "$tmp/err")" != "$meldung" ]; then
    echo "FEHLER: volles Dateisystem: Rückgabewert $(cat "$tmp/rc"), zuletzt: $(tail -n 1 "$tmp/err")"
    fehler=1
  fi
else
  echo "Hinweis: hier lässt sich kein Dateisystem einhängen; nur /dev/full geprüft."
fi
exit $fehler
