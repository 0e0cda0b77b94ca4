// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluation of an observation file: every run of three or more lines with the same name is one
// sphere; its centre is computed and written back as one more observation line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bericht/KugelBericht.hpp"
#include "numerics/Punkt.hpp"
#include "polar/Beobachtung.hpp"
#include "polar/Kugelsuche.hpp"

namespace zentrix {

// Reads fileName, evaluates every group with the chosen solver (the station is the origin of the
// reduced pointings), writes the marked copy (AusgabeBasis + "TXT") and the listing (AusgabeBasis
// + "LST") and puts them in place together (TAusgabenTausch: never a missing output, a swap cut
// short completed by the next run). Memo is cleared first and holds the listing. Returns the
// solution of every group in the order of the file (result codes and the last solution).
// fortschritt hears the share of the file done as the evaluation goes on; wartet hears once that
// another evaluation of the same file is running, which this one then waits for.
TKugelsuche Polarauswertung(const std::string& fileName, TMemoLines& Memo, const TMeldungMitOrt& meldung,
                            bool iterativ = false, const TFortschritt& fortschritt = {},
                            const std::function<void()>& wartet = {});

// The outputs' name without their ending, beside the input: the file's own name (after the last
// "/") without its last three characters when it has at least four ("Messung.dat" gives
// "Messung."), otherwise the whole name and a "." ("in/ab" gives "in/ab."). Characters, not
// bytes: an umlaut is one character.
std::string AusgabeBasis(const std::string& fileName);

}  // namespace zentrix
