// Evaluation of an observation file: every run of three or more lines with the same name is one
// sphere; its centre is computed and written back as one more observation line.
#pragma once

#include <string>

#include "numerics/KugelBericht.hpp"
#include "numerics/Punkt.hpp"
#include "polar/Beobachtung.hpp"

namespace zentrix {

// Reads fileName, evaluates every group with the chosen solver (the station is the origin of the
// reduced pointings), writes the marked copy (AusgabeBasis + "TXT") and the listing (AusgabeBasis
// + "LST") together. Memo is cleared first and holds the listing. Returns the solution of every
// group in the order of the file.
std::vector<TKugelLoesung> Polarauswertung(const std::string& fileName, TPunktArray& Punkte, TMemoLines& Memo,
                                           const TMeldung& meldung, bool iterativ = false);

// The outputs' name without their ending, beside the input: the file's own name (after the last
// "/") without its last three characters when it has at least four ("Messung.dat" gives
// "Messung."), otherwise the whole name and a "." ("in/ab" gives "in/ab."). Characters, not
// bytes: an umlaut is one character.
std::string AusgabeBasis(const std::string& fileName);

// The centre line of one sphere: the centre (X, Y, Z of centre, metres, station at the origin) as
// an observation "Nr Ri S Zd 0.00 codes" (gon, metres, gon), named after centre.Name, with the
// codes that follow the first five fields of firstLine. A centre straight above or below the
// station has no zenith distance: EMathError.
std::string KugelmittelpunktZeile(const TPunkt& centre, const std::string& firstLine);

}  // namespace zentrix
