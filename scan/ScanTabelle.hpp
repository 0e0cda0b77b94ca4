// SPDX-License-Identifier: GPL-3.0-or-later
// The spheres of a scan as a table: its columns, the text of each cell, how rows sort, and the
// whole table as CSV for a German spreadsheet. The window's overview and the batch tool's
// "--kugeln" file show the same columns. No toolkit: the window shows it as it likes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/ScanKugel.hpp"

namespace zentrix {

enum class TScanSpalte {
    Name,
    Punkte,        // points adjusted
    Ausreisser,    // points near the surface left out
    X,             // the centre (metres)
    Y,
    Z,
    Richtung,      // its direction Ri from the station (gon)
    Strecke,       // its slope distance S (metres)
    Zenitdistanz,  // its zenith distance Zd (gon)
    MX,            // standard deviations of the centre (millimetres)
    MY,
    MZ,
    M0,            // standard deviation of unit weight (millimetres)
    Radius,        // the free radius and its check
    Kappe,         // half-angle of the cap seen (gon)
    Seite,         // which rule chose the side of the points' plane
};

// Every column, in order.
const std::vector<TScanSpalte>& ScanSpalten();
// A column's header ("m0 [mm]").
const char* ScanKopf(TScanSpalte spalte);
// A cell's text: numbers with the decimal mark given (a point in the window, a comma for a German
// spreadsheet).
std::string ScanZelle(const TScanKugel& k, TScanSpalte spalte, char dezimal = '.');
// Whether row a comes before row b when sorted by the column, ascending: numbers by value, names
// K1, K2, ..., K10 by their number, passing radius checks before the others.
bool ScanVor(const TScanKugel& a, const TScanKugel& b, TScanSpalte spalte);

// The table as CSV that a German spreadsheet opens as it is: UTF-8 with a byte-order mark, one
// header row, fields separated by ";", numbers with a decimal comma, lines ended by CR LF.
std::string ScanKugelnCsv(const std::vector<TScanKugel>& kugeln);
// The same for the rows given (indices into kugeln), in their order: what the overview shows.
std::string ScanKugelnCsv(const std::vector<TScanKugel>& kugeln, const std::vector<std::uint32_t>& zeilen);

}  // namespace zentrix
