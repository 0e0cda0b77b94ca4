#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares the batch tool's records of two builds (tests/ausgaben.sh CLI ORDNER), the Windows
build's under Wine with the Linux build's: line for line, byte for byte with their line ends,
except for three kinds of line, each counted:

  - a line that names an absolute path (Windows writes Z:\\tmp\\... where Linux writes /tmp/...),
    equal once the separators are taken as one;
  - a line that quotes a system error text, equal once the texts are taken as one;
  - a line whose numbers differ by one unit in their last printed digit, and in nothing else
    (MinGW's long-double sine and cosine differ from glibc's in a few arguments).

Any other difference fails, with the first few shown.

    tests/ausgaben_vergleich.py LINUX-ORDNER WINDOWS-ORDNER
"""
import os
import re
import sys

HIER = os.path.dirname(os.path.abspath(__file__))
ZAHL = re.compile(rb"-?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?")
PFAD = re.compile(rb"<TMP>|<DATEN>|[A-Z]:\\\\|(?:^|[\s\"(])/")


def systemfehlertexte():
    """The German reasons of system errors, as the program's sources give them."""
    texte = set()
    for datei in ("core/SystemFehler.cpp", "core/PlattformWindows.cpp"):
        with open(os.path.join(HIER, "..", datei), encoding="utf-8") as f:
            for text in re.findall(r'return "([^"]+)"', f.read()):
                if not text.startswith("Windows-Fehler"):
                    texte.add(text.encode())
    return sorted(texte, key=len, reverse=True)


def ohne_pfade(zeile):
    """The line with every path separator the same (JSON doubles a Windows backslash)."""
    zeile = zeile.replace(b"\\\\", b"/").replace(b"\\", b"/")
    return re.sub(rb"Z:/", b"/", zeile)


def um_eine_stelle(a, b):
    """Whether the lines differ only in numbers, each by one unit of its last printed digit."""
    if ZAHL.sub(b"#", a) != ZAHL.sub(b"#", b):
        return False
    for x, y in zip(ZAHL.findall(a), ZAHL.findall(b)):
        if x == y:
            continue
        nx, ny = x.split(b"e")[0].split(b"E")[0], y.split(b"e")[0].split(b"E")[0]
        stellen = lambda z: len(z.split(b".")[1]) if b"." in z else 0
        if stellen(nx) != stellen(ny) or x[len(nx):] != y[len(ny):]:
            return False
        if abs(int(nx.replace(b".", b"")) - int(ny.replace(b".", b""))) > 1:
            return False
    return True


def art(a, b, texte):
    """Which exception the differing lines a (Linux) and b (Windows) fall under, or None."""
    if (PFAD.search(a) or PFAD.search(b)) and ohne_pfade(a) == ohne_pfade(b):
        return "Pfad"
    ga, gb = a, b
    for text in texte:
        ga, gb = ga.replace(text, b"<GRUND>"), gb.replace(text, b"<GRUND>")
    if ga == gb or ohne_pfade(ga) == ohne_pfade(gb):
        return "Systemfehlertext"
    if um_eine_stelle(a, b) or um_eine_stelle(ohne_pfade(a), ohne_pfade(b)):
        return "Zahl"
    return None


def main():
    linux, windows = sys.argv[1], sys.argv[2]
    texte = systemfehlertexte()
    laeufe = sorted(os.listdir(linux))
    fehlt = sorted(set(laeufe) ^ set(os.listdir(windows)))
    zaehler = {"Pfad": 0, "Systemfehlertext": 0, "Zahl": 0}
    laeufeMitZahl, zeilen, abweichend = set(), 0, []
    for lauf in laeufe:
        if lauf in fehlt:
            continue
        with open(os.path.join(linux, lauf), "rb") as f:
            a = f.read().split(b"\n")
        with open(os.path.join(windows, lauf), "rb") as f:
            b = f.read().split(b"\n")
        zeilen += len(a)
        if len(a) != len(b):
            abweichend.append(f"{lauf}: {len(a)} Zeilen unter Linux, {len(b)} unter Windows")
            continue
        for nr, (x, y) in enumerate(zip(a, b), 1):
            if x == y:
                continue
            k = art(x, y, texte)
            if k is None:
                abweichend.append(f"{lauf}, Zeile {nr}:\n  Linux:   {x!r}\n  Windows: {y!r}")
                continue
            zaehler[k] += 1
            if k == "Zahl":
                laeufeMitZahl.add(lauf)
    print(f"{len(laeufe)} Läufe, {zeilen} Zeilen: unter Windows bytegleich bis auf")
    print(f"  {zaehler['Pfad']} Zeilen, die einen absoluten Pfad nennen,")
    print(f"  {zaehler['Systemfehlertext']} Zeilen, die einen Systemfehlertext zitieren,")
    print(f"  {zaehler['Zahl']} Zeilen mit Zahlen, die um eine Einheit der letzten Stelle abweichen "
          f"(in {len(laeufeMitZahl)} Läufen).")
    for name in fehlt:
        print(f"Lauf {name} fehlt auf einer Seite.", file=sys.stderr)
    for text in abweichend[:20]:
        print(text, file=sys.stderr)
    if fehlt or abweichend:
        print(f"{len(abweichend)} weitere Abweichungen.", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
