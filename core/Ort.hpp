// SPDX-License-Identifier: GPL-3.0-or-later
// Where something went wrong: a place in a file (a line and field of a text, a byte and named field
// of a binary file), a sphere of an observation file, or a cell of the grid. Shown beside the unchanged message or error text: the box's secondary text, a line after
// it on the batch tool's error stream, "ort" in its JSON.
#pragma once

#include <string>

namespace zentrix {

struct TOrt {
    std::string Datei;       // the file's full path; empty: no file
    std::string Kugel;       // a sphere's name (polar evaluation)
    long long Zeile = 0;     // line of the file, from 1 (0: none); a sphere's first line
    long long ZeileBis = 0;  // a sphere's last line (0: a single line)
    int Feld = 0;            // field of the line, from 1 (0: none)
    std::string Text;        // the offending text as read, cut to 40 characters by Zitat
    std::string Zelle;       // a grid cell ("Zeile P 3, Spalte Y") or an edit field ("Feld Reflektorhöhe")
    int GitterZeile = -1;    // the cell's row and column in the grid, to select it (-1: none)
    int GitterSpalte = -1;
    std::string Grund;       // why, in German (a failed sphere's reason)
    long long Byte = -1;     // offset in a binary file, from 0 (-1: none)
    std::string Feldname{};  // a named field of a binary file or its header ("Punktdatenformat")

    bool Leer() const {
        return Datei.empty() && Kugel.empty() && Zeile == 0 && Zelle.empty() && Grund.empty() && Text.empty() &&
               Byte < 0 && Feldname.empty();
    }
};

// The place in German, e.g. "Datei /home/m/k.kor, Zeile 5, Feld 3: „1,5“", "Kugel F50, Zeilen
// 120–124: die drei Punkte liegen auf einer Geraden", "Zeile P 3, Spalte Y: „abc“", "Datei
// /home/m/s.las, Byte 104, Feld Punktdatenformat: „12“"; empty for an empty place.
std::string OrtText(const TOrt& ort);

}  // namespace zentrix
