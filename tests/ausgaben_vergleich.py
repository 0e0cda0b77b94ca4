#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares the batch tool's records of two builds (tests/ausgaben.sh CLI ORDNER), the Windows
build's under Wine with the Linux build's, for the runs whose Windows record is not the checked
Linux one (tests/ausgaben.sh --wie): line for line, byte for byte with their line ends, except for
three kinds of line, each counted:

  - a line that names an absolute path (Windows writes Z:\\tmp\\... where Linux writes /tmp/...),
    equal once the separators are taken as one;
  - a line that quotes a system error text, equal once the texts are taken as one;
  - a line whose numbers differ by one unit in their last printed digit, and in nothing else
    (MinGW's long-double sine and cosine differ from glibc's in a few arguments); in JSON, which
    prints a number with all the digits of its double, a number that differs by less than one
    unit in the last place of the largest number of its object (a coordinate that is zero but
    for rounding, as 100 m times the cosine of 100 gon, beside others of 100 m), counted apart.

A run that Windows refuses because the input's name and the output's differ only in case, and
so name one file there ("demo.txt" and "demo.TXT"), is counted as such (its record is no
comparison).

The runs that tests/ausgaben_windows.txt names, where MinGW's long-double functions are known to
differ in their last bit and the run magnifies that, may differ in more lines; these are counted
too. Any other difference fails, with the first few shown.

    tests/ausgaben_vergleich.py LINUX-ORDNER WINDOWS-ORDNER LAEUFE [ABWEICHENDE]

LINUX-ORDNER holds the Linux records of the runs to compare, WINDOWS-ORDNER every Windows record;
LAEUFE is the number of all runs. ABWEICHENDE, where given, receives the names of the runs that
differ, a line each (tests/ausgaben.sh starts them once more under Wine).
"""
import difflib
import fnmatch
import math
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


def bekannte_laeufe():
    """The patterns of runs known to differ further (tests/ausgaben_windows.txt)."""
    with open(os.path.join(HIER, "ausgaben_windows.txt"), encoding="utf-8") as f:
        return [z.split("\t")[0] for z in f.read().splitlines() if z and not z.startswith("#")]


def objekt_groesse(zeilen, nr):
    """The largest magnitude among the numbers of the JSON object around line nr (0 if none)."""
    von = nr
    while von > 0 and not zeilen[von].rstrip().endswith(b"{"):
        von -= 1
    bis = nr
    while bis < len(zeilen) - 1 and not zeilen[bis].lstrip().startswith(b"}"):
        bis += 1
    werte = [zeile.split(b":")[-1] for zeile in zeilen[von:bis + 1]]
    zahlen = [abs(float(z)) for wert in werte if b'"' not in wert for z in ZAHL.findall(wert)]
    return max(zahlen, default=0.0)


def in_letzter_stelle(a, b, groesse):
    """Whether the JSON lines differ only in numbers, each by less than one unit in the last place
    of groesse."""
    if ZAHL.sub(b"#", a) != ZAHL.sub(b"#", b) or groesse == 0.0:
        return False
    return all(abs(float(x) - float(y)) <= math.ulp(groesse) for x, y in zip(ZAHL.findall(a), ZAHL.findall(b)))


def gleicher_name(record):
    """Whether Windows refused the run because its output would be the input, named differently in case."""
    m = re.search(rb'Datei \\?"[^"]*?[\\/]([^"\\/]+)\\?" kann nicht erstellt werden\. Die Eingabedatei '
                  rb'w\xc3\xbcrde \xc3\xbcberschrieben\.', record)
    if not m:
        return False
    ausgabe = m.group(1)
    return any(n.lower() == ausgabe.lower() and n != ausgabe for n in re.findall(rb"^--- Datei (.+)$", record, re.M))


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
    linux, windows, alle = sys.argv[1], sys.argv[2], int(sys.argv[3])
    texte = systemfehlertexte()
    laeufe = sorted(os.listdir(linux))
    fehlt = sorted(set(laeufe) - set(os.listdir(windows)))
    if len(os.listdir(windows)) != alle:
        fehlt.append(f"(unter Windows {len(os.listdir(windows))} statt {alle} Läufe)")
    zaehler = {"Pfad": 0, "Systemfehlertext": 0, "Zahl": 0, "JSON": 0, "Bekannt": 0}
    bekannt, laeufeBekannt = bekannte_laeufe(), set()
    laeufeMitZahl, gleicheNamen, zeilen, abweichend = set(), [], 0, []  # abweichend: (run, what differs)
    for lauf in laeufe:
        if lauf in fehlt:
            continue
        with open(os.path.join(linux, lauf), "rb") as f:
            ganz = f.read()
        with open(os.path.join(windows, lauf), "rb") as f:
            wganz = f.read()
        if ganz != wganz and gleicher_name(wganz):
            gleicheNamen.append(lauf)
            continue
        a, b = ganz.split(b"\n"), wganz.split(b"\n")
        zeilen += len(a)
        if len(a) != len(b):
            # The lines that come in or go (not the numbers that merely differ in their last digits),
            # so that the log shows what made the difference.
            teile = difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes()
            unterschied = [f"ab Zeile {i1 + 1} unter Linux, {j1 + 1} unter Windows:"
                           + "".join(f"\n    - {z!r}" for z in a[i1:i2][:5])
                           + "".join(f"\n    + {z!r}" for z in b[j1:j2][:5])
                           for _, i1, i2, j1, j2 in teile if i2 - i1 != j2 - j1]
            abweichend.append((lauf, f"{lauf}: {len(a)} Zeilen unter Linux, {len(b)} unter Windows; "
                                     + "\n  ".join(unterschied[:3])))
            continue
        for nr, (x, y) in enumerate(zip(a, b), 1):
            if x == y:
                continue
            k = art(x, y, texte)
            if k is None and lauf.endswith("_json") and in_letzter_stelle(x, y, objekt_groesse(a, nr - 1)):
                k = "JSON"
            if k is None and any(fnmatch.fnmatchcase(lauf, m) for m in bekannt):
                k = "Bekannt"
                laeufeBekannt.add(lauf)
            if k is None:
                abweichend.append((lauf, f"{lauf}, Zeile {nr}:\n  Linux:   {x!r}\n  Windows: {y!r}"))
                continue
            zaehler[k] += 1
            if k in ("Zahl", "JSON"):
                laeufeMitZahl.add(lauf)
    print(f"{alle} Läufe: {alle - len(laeufe)} bytegleich mit den geprüften Linux-Ausgaben, "
          f"{len(laeufe) - len(gleicheNamen)} mit {zeilen} Zeilen verglichen und gleich bis auf")
    print(f"  {zaehler['Pfad']} Zeilen, die einen absoluten Pfad nennen,")
    print(f"  {zaehler['Systemfehlertext']} Zeilen, die einen Systemfehlertext zitieren,")
    print(f"  {zaehler['Zahl'] + zaehler['JSON']} Zeilen mit Zahlen, die um eine Einheit der letzten Stelle abweichen "
          f"(in {len(laeufeMitZahl)} Läufen; davon {zaehler['JSON']} JSON-Zeilen um weniger als eine Einheit "
          f"der letzten Binärstelle der größten Zahl ihres Objekts);")
    print(f"  {len(gleicheNamen)} Läufe, die Windows ablehnt, weil Ein- und Ausgabe sich nur in Groß- und "
          f"Kleinschreibung unterscheiden ({', '.join(gleicheNamen) or '-'}).")
    print(f"  und {zaehler['Bekannt']} Zeilen in {len(laeufeBekannt)} Läufen, die tests/ausgaben_windows.txt "
          f"als schlecht konditioniert nennt ({', '.join(sorted(laeufeBekannt)) or '-'}).")
    for name in fehlt:
        print(f"Lauf {name} fehlt auf einer Seite.", file=sys.stderr)
    for _, text in abweichend[:20]:
        print(text, file=sys.stderr)
    if len(sys.argv) > 4:
        with open(sys.argv[4], "w", encoding="utf-8") as f:
            f.writelines(f"{name}\n" for name in sorted({lauf for lauf, _ in abweichend}))
    if fehlt or abweichend:
        print(f"{len(abweichend)} Abweichungen.", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
