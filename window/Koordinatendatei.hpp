// SPDX-License-Identifier: GPL-3.0-or-later
// The coordinate file: records "Nr value value value R" in one of the eight data formats.
#pragma once

#include <cstddef>
#include <string>

#include "numerics/Punkt.hpp"
#include "textio/TextFile.hpp"
#include "window/Datenformat.hpp"

namespace zentrix {

// Reads a coordinate file record by record by the token rules: the fields are separated by runs
// of characters of code 32 and below, line ends included (a record may go on on the next line);
// Nr is an unsigned integer whose decimal text names the point; after the fifth field the rest of
// the line is skipped.
class TKoordinatenLeser {
public:
    // Opens the file; a file that cannot be opened raises its I/O error before anything is read.
    // An empty name raises an I/O error that asks the user to choose a file.
    TKoordinatenLeser(const std::string& dateiName, int format);

    // Cuts punkte to entry 0 (kept as it is), appends one entry per record, prepares the heights
    // of the format's zenith angles, closes the file and returns the radius R (metres) of the last
    // record (0 without records). A field that is not a number raises its I/O error after its
    // record has been read; punkte then holds the records read so far and the failing one.
    double Lies(TPunktArray& punkte);

private:
    // Lies for a long text: the halves before and from teilung (the text's offset) at once.
    double LiesInHaelften(std::size_t teilung, TPunktArray& punkte);

    const TDatenformat& format_;
    TTextReader datei_;  // closed on every way out
};

// The points (entry 0 empty, records from entry 1 on) and the radius of a coordinate file.
struct TKoordinaten {
    TPunktArray Punkte;
    double R = 0;
};
TKoordinaten LeseKoordinatendatei(const std::string& dateiName, int format);

}  // namespace zentrix
