#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the manual's pictures in docs/ from the real window: builds Zentrix (scripts/build.sh, only
# what changed), runs it on a virtual screen (Xvfb, 1440 x 900) under the small window manager twm
# with fresh settings, works it with xdotool as a user would (the example files of docs/beispiel/
# in a temporary folder) and saves each window with its frame, reduced to 256 colours. Every
# picture is written whole beside its place and then put there. The program shows the pictures
# in its manual after the next build.
#
#   scripts/handbuch-bilder.sh
#
# With HANDBUCH_PRUEFBILD=FILE.png the manual's own window (F1) is saved there too, to look at.
# Needs twm, xdotool and imagemagick, which it installs through scripts/setup.sh.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" != --innen ]; then
  "$here/scripts/setup.sh" twm xdotool imagemagick
  "$here/scripts/build.sh"
  exec xvfb-run -a -s '-screen 0 1440x900x24' "$0" --innen
fi

tmp="$(mktemp -d)"
app="" wm=""
aufraeumen() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap aufraeumen EXIT
cp "$here"/docs/beispiel/* "$tmp/"
export HOME="$tmp/home"  # fresh settings: "Iterieren" starts switched off
mkdir -p "$HOME"

printf 'UsePPosition "on"\nNoGrabServer\nTitleFont "fixed"\nResizeFont "fixed"\nMenuFont "fixed"\nIconFont "fixed"\n' >"$tmp/twmrc"
LANG=C LC_ALL=C twm -f "$tmp/twmrc" 2>/dev/null & wm=$!
sleep 0.5
(cd "$tmp" && QT_QPA_PLATFORM=xcb exec "$here/build/Zentrix") & app=$!
haupt="$(timeout 15 xdotool search --sync --onlyvisible --name 'Kugelmittelpunkt' | head -1)"
sleep 1.5

# Places in the main window's client area (pixels), from the window's design: the tool bar's
# actions, the tabs, and the first page's widgets (the page begins at 2, 52).
klick() {  # X Y: a click at that place of the main window
  xdotool mousemove --window "$haupt" "$1" "$2" click 1
  sleep 0.4
}
ITERIEREN="32 14" GRAFIK="83 14" TABSEITE1="40 40" TABSEITE2="125 40"
DATEIFELD="222 70" RECHNE_DATEI="47 279" POLARAUSWERTUNG="128 279" FORMAT3="473 121"
GITTER="220 180" BERICHT="300 200"

# Saves window ID with its frame as docs/NAME, a palette PNG.
bild() {
  import -frame -window "$1" "$tmp/roh.png"
  convert "$tmp/roh.png" -strip -colors 256 "PNG8:$tmp/$2"
  mv "$tmp/$2" "$here/docs/$2"
  echo "docs/$2: $(identify -format '%w x %h' "$here/docs/$2"), $(stat -c %s "$here/docs/$2") Bytes"
}
# Types a file name into the file field, in place of what it held.
datei() {
  klick $DATEIFELD
  xdotool key ctrl+a BackSpace
  xdotool type --delay 5 "$1"
}

bild "$haupt" hauptfenster.png

# "Rechne Datei" on one sphere measured from a station (data format 3) with "Iterieren"; the grid
# turned on by two steps of the mouse wheel, to the likely outlier.
klick $ITERIEREN
datei Kugel.kor
klick $FORMAT3
klick $RECHNE_DATEI
sleep 1
xdotool mousemove --window "$haupt" $GITTER click --repeat 2 --delay 100 5
sleep 0.5
bild "$haupt" rechne-datei.png

# The polar evaluation of an observation file with three spheres, the picture of its last sphere
# beside the main window, and the end of its report on the second page (the window made taller,
# the report turned to its end by the mouse wheel).
datei Messung.dat
klick $POLARAUSWERTUNG
sleep 1.5
klick $GRAFIK
grafik="$(timeout 10 xdotool search --sync --onlyvisible --name '^Grafik' | head -1)"
sleep 1.5
bild "$grafik" grafik.png
xdotool windowsize --sync "$haupt" 561 620
klick $TABSEITE2
xdotool mousemove --window "$haupt" $BERICHT click --repeat 30 --delay 20 5
sleep 1.5
bild "$haupt" protokoll.png

# The sphere overview of the evaluation (Strg+K), beside the main window.
klick $TABSEITE1
xdotool key ctrl+k
kugeln="$(timeout 10 xdotool search --sync --onlyvisible --name '^Kugeln der' | head -1)"
sleep 1.5
bild "$kugeln" kugeln.png

if [ -n "${HANDBUCH_PRUEFBILD:-}" ]; then
  xdotool key F1
  handbuch="$(timeout 10 xdotool search --sync --onlyvisible --name '^Handbuch' | head -1)"
  sleep 1.5
  import -frame -window "$handbuch" "$HANDBUCH_PRUEFBILD"
  echo "$HANDBUCH_PRUEFBILD: das Handbuchfenster"
fi
