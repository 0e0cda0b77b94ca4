#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The batch tool's outputs on every input file under tests/data, command by command.
#
#   tests/ausgaben.sh CLI ORDNER     writes one file per run into ORDNER (to compare two builds: diff -r)
#   tests/ausgaben.sh CLI --pruefe   compares every run with its checksum in tests/ausgaben.sha256
#   tests/ausgaben.sh CLI --neu      writes tests/ausgaben.sha256 afresh (after an intended change)
#   tests/ausgaben.sh CLI.exe --wie LINUX-CLI
#                                    runs the Windows build under Wine (wine, or $ZENTRIX_WINE): a run
#                                    whose record has the checksum of tests/ausgaben.sha256 is the
#                                    Linux build's byte for byte; the others the Linux build runs
#                                    again, and tests/ausgaben_vergleich.py compares them line for
#                                    line (equal except lines that name absolute paths, quote a system
#                                    error text, or differ by one unit in a number's last digit, each
#                                    kind counted); a run that differs is started once more
#                                    under Wine, and only a difference that comes again fails
#
# Every input file goes through every command: "rechne-datei" in all eight data formats,
# "polarauswertung" (with the marked file and the listing it writes), "rechne" (the file as a
# point list) and "konvert" (the file as test2.beb), each as text and as JSON, and the computing
# commands once more with the converged solver. A run's record is
# its exit code, standard output, standard error and the files it wrote; the temporary folder in
# messages is written as <TMP>, the folder of the test data as <DATEN> (in the Windows form
# Z:\... that Wine gives them too).
set -euo pipefail
LC_ALL=C.UTF-8
export LC_ALL

absolut() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
cli="$(absolut "$1")"
mode="$2"
here="$(cd "$(dirname "$0")" && pwd)"
summen="$here/ausgaben.sha256"

tmp="$(mktemp -d)"
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -r "$tmp"' EXIT
case "$mode" in
  --pruefe|--neu) out="$tmp/ausgaben" ;;
  --wie)
    # The Windows build's records (this script once more); those that are not the checked ones
    # of Linux, the Linux build makes again for the comparison.
    "$0" "$1" "$tmp/windows"
    (cd "$tmp/windows" && sha256sum -c "$summen" 2>/dev/null || true) | sed -n 's/: FAILED.*$//p' >"$tmp/anders"
    ZENTRIX_AUSGABEN_NUR="$tmp/anders" "$0" "$3" "$tmp/linux"
    vergleich=(python3 "$here/ausgaben_vergleich.py" "$tmp/linux" "$tmp/windows" "$(wc -l <"$summen")")
    if "${vergleich[@]}" "$tmp/abweichend" >"$tmp/ergebnis" 2>"$tmp/abweichungen"; then
      cat "$tmp/ergebnis"
      exit 0
    fi
    # A run whose record differs is started once more under Wine, and only a difference that comes
    # again fails: the batch tool gives the same output for the same input every time (hundreds of
    # starts under Wine, at once on both cores, gave one record), but once, on a busy machine, a
    # record held a line more than the same run gave on every other start. The first record's
    # difference stays in the log.
    if [ -s "$tmp/abweichend" ]; then
      echo "$(wc -l <"$tmp/abweichend") Läufe wichen beim ersten Start unter Wine ab und werden noch einmal gestartet:"
      sed 's/^/  /' "$tmp/abweichungen"
      ZENTRIX_AUSGABEN_NUR="$tmp/abweichend" "$0" "$1" "$tmp/windows2"
      cp "$tmp/windows2"/* "$tmp/windows/"
      exec "${vergleich[@]}"
    fi
    cat "$tmp/ergebnis"
    cat "$tmp/abweichungen" >&2
    exit 1
    ;;
  *) out="$mode" ;;
esac
mkdir -p "$out"
# A Windows program runs under Wine.
aufruf=("$cli")
[ "${cli%.exe}" = "$cli" ] || aufruf=("${ZENTRIX_WINE:-wine}" "$cli")

# The sed patterns of a path as Wine shows it to the program: Z:\a\b, and doubled as JSON writes it.
windows_muster() {
  printf 'Z:%s\n' "$1" | sed 's#/#\\\\#g'
  printf 'Z:%s\n' "$1" | sed 's#/#\\\\\\\\#g'
}

# The input files are gone through two (or as many as there are cores) at a time, each in a
# folder jt of its own under tmp, which the records name <TMP>.
# record NAME FOLDER COMMAND...: runs the command in FOLDER and writes its record.
record() {
  local name="$1" folder="$2"
  shift 2
  # Only the runs named in the file $ZENTRIX_AUSGABEN_NUR, where it is given.
  if [ -n "${ZENTRIX_AUSGABEN_NUR:-}" ] && ! grep -qxF "$name" "$ZENTRIX_AUSGABEN_NUR"; then return; fi
  local rc=0 m windows_sed=()
  if [ ${#aufruf[@]} -gt 1 ]; then
    while read -r m; do windows_sed+=(-e "s#$m#<TMP>#g"); done < <(windows_muster "$jt")
    while read -r m; do windows_sed+=(-e "s#$m#<DATEN>#g"); done < <(windows_muster "$here/data")
  fi
  (cd "$folder" && "${aufruf[@]}" "$@" >"$jt/stdout" 2>"$jt/stderr") || rc=$?
  # Wine, busy starting, now and then ends a program before it has run (exit code 1, no output;
  # the batch tool never fails without a message): such a run is started once more.
  if [ ${#aufruf[@]} -gt 1 ] && [ "$rc" -ne 0 ] && [ ! -s "$jt/stdout" ] && [ ! -s "$jt/stderr" ]; then
    rc=0
    (cd "$folder" && "${aufruf[@]}" "$@" >"$jt/stdout" 2>"$jt/stderr") || rc=$?
  fi
  {
    echo "rc=$rc"
    echo "--- stdout"; cat "$jt/stdout"
    echo "--- stderr"; cat "$jt/stderr"
    local f
    for f in "$folder"/*; do
      [ -f "$f" ] || continue
      echo "--- Datei $(basename "$f")"; cat "$f"
    done
  } | sed -e "s#$jt#<TMP>#g" -e "s#$here/data#<DATEN>#g" "${windows_sed[@]}" >"$out/$name"
}

fresh() {
  rm -rf "$jt/work"
  mkdir -p "$jt/work"
  echo "$jt/work"
}

# Every command on one input file, in the job folder jt.
eine_datei() {
  local datei="$1" key src json sfx format work
  key="${datei//\//__}"
  src="$here/data/$datei"
  for json in "" "--json"; do
    sfx="${json:+_json}"
    for format in 0 1 2 3 4 5 6 7; do
      record "${key}__rechne-datei_f${format}${sfx}" "$(fresh)" rechne-datei "$src" --format "$format" $json
    done
    work="$(fresh)"
    cp "$src" "$work/$(basename "$datei")"
    record "${key}__polarauswertung${sfx}" "$work" polarauswertung "$(basename "$datei")" $json
    record "${key}__rechne${sfx}" "$(fresh)" rechne --radius 3.642 "$src" $json
    work="$(fresh)"
    cp "$src" "$work/test2.beb"
    record "${key}__konvert${sfx}" "$work" konvert --dir . $json
  done
  # The converged solver, as text.
  for format in 0 1 2 3 4 5 6 7; do
    record "${key}__rechne-datei_f${format}_iterativ" "$(fresh)" rechne-datei "$src" --format "$format" --iterativ
  done
  work="$(fresh)"
  cp "$src" "$work/$(basename "$datei")"
  record "${key}__polarauswertung_iterativ" "$work" polarauswertung "$(basename "$datei")" --iterativ
  record "${key}__rechne_iterativ" "$(fresh)" rechne --radius 3.642 "$src" --iterativ
}

cd "$here/data"
jobs_max="$(nproc 2>/dev/null || echo 1)"
nr=0
while read -r datei; do
  nr=$((nr + 1))
  (jt="$tmp/j$nr" && mkdir -p "$jt" && eine_datei "$datei") &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do wait -n; done
done < <(find . -type f | LC_ALL=C sort | sed 's#^\./##')
wait
jt="$tmp/j0"
mkdir -p "$jt"
record "demo" "$(fresh)" demo
record "demo_json" "$(fresh)" demo --json
record "demo_iterativ" "$(fresh)" demo --iterativ
record "demo_iterativ_json" "$(fresh)" demo --iterativ --json

case "$mode" in
  --neu)
    (cd "$out" && LC_ALL=C sha256sum -- * | LC_ALL=C sort -k2) >"$summen"
    echo "$(wc -l <"$summen") Läufe in $summen geschrieben."
    ;;
  --pruefe)
    if ! (cd "$out" && sha256sum --quiet -c "$summen"); then
      echo "Ausgaben weichen ab; Aufzeichnungen zum Vergleichen: tests/ausgaben.sh CLI ORDNER" >&2
      exit 1
    fi
    count="$(ls "$out" | wc -l)"
    if [ "$count" -ne "$(wc -l <"$summen")" ]; then
      echo "Anzahl der Läufe ($count) passt nicht zu $summen." >&2
      exit 1
    fi
    echo "$count Läufe unverändert."
    ;;
esac
