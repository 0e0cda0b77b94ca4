// Evaluation of an observation file: every run of three or more lines with the same name is one
// sphere; its centre is computed and written back as one more observation line.
#pragma once

#include <string>

#include "numerics/Punkt.hpp"
#include "polar/Beobachtung.hpp"

namespace zentrix {

// Reads fileName, evaluates every group, writes the marked copy (name with "TXT" for its last
// three characters) and the listing ("LST"). Memo is cleared first and holds the listing.
void Polarauswertung(const std::string& fileName, TPunktArray& Punkte, TMemoLines& Memo, const TMeldung& meldung);

}  // namespace zentrix
