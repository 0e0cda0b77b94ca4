// SPDX-License-Identifier: GPL-3.0-or-later
// Text clouds: one point a line, "X Y Z" (metres) followed by any further columns (intensity,
// colour), the fields separated by blanks, tabs, commas or semicolons, numbers with a decimal
// point. A first line holding only the point count (as in PTS files; comments may stand before it),
// empty lines and lines starting with "#" or "//" are passed over. LF, CR LF or CR ends a line.
#pragma once

#include <string>
#include <string_view>

#include "scan/Steuerung.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

// Reads the cloud of the text file pfad whole (textio's reader: only a regular file, no UTF-16, a
// UTF-8 byte-order mark passed over) and then its lines on all cores. An I/O failure raises
// EInOutError; a field that is no number the same error as the coordinate reader
// ("Ungültige numerische Eingabe", "Gleitkommaüberlauf"), a line with fewer than three numbers or
// with separators that suggest a decimal comma EWolkenFehler; each with the file, line, field and
// text as its place.
TWolke LeseTextwolke(const std::string& pfad, TScanMelder& melder);

// The same for a text held in memory; pfad names it in errors.
TWolke LeseTextwolke(std::string_view text, const std::string& pfad, TScanMelder& melder);

}  // namespace zentrix
