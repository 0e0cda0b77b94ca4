#!/usr/bin/env bash
# The batch tool on a standard output that takes nothing more: /dev/full, and a JSON object larger
# than a small tmpfs where one can be mounted (a mount namespace of its own; skipped elsewhere).
# Each run must end with exit code 1 and the reason as the last line of the error stream.
#   tests/volle_ausgabe.sh CLI DATEN
set -uo pipefail
cli="$1"
[ -c /dev/full ] || exit 77
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for _ in $(seq 100); do cat "$2/beobachtungen/fehlerhafte_felder.dat"; done >"$tmp/m.dat"
fehler=0
pruefe() {  # pruefe NAME RC: the run's exit code and its error stream in $tmp/err
  if [ "$2" -ne 1 ] || [ "$(tail -n 1 "$tmp/err")" != "Die Ausgabe kann nicht geschrieben werden. Zu wenig Speicherplatz." ]; then
    echo "FEHLER: $1: Rückgabewert $2, zuletzt: $(tail -n 1 "$tmp/err")"
    fehler=1
  fi
}
for aufruf in "demo --json" "polarauswertung $tmp/m.dat" "polarauswertung $tmp/m.dat --json"; do
  # shellcheck disable=SC2086
  "$cli" $aufruf >/dev/full 2>"$tmp/err"
  pruefe "$aufruf" $?
done
mkdir "$tmp/voll"
if unshare -rm true 2>/dev/null; then
  unshare -rm sh -c 'mount -t tmpfs -o size=256k tmpfs "$1" && "$2" polarauswertung "$3" --json >"$1/out.json" 2>"$4"' \
    sh "$tmp/voll" "$cli" "$tmp/m.dat" "$tmp/err"
  pruefe "volles Dateisystem" $?
fi
exit $fehler
