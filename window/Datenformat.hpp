// SPDX-License-Identifier: GPL-3.0-or-later
// The data formats of a coordinate file: one row per item of the list "Datenformat".
#pragma once

#include <array>

#include "numerics/Punkt.hpp"

namespace zentrix {

// How the third stored value of a polar record becomes the height difference (metres).
enum class THoehenregel {
    WieGelesen,  // it is the height difference already
    Kotangens,   // a zenith angle with a horizontal distance S: S · cot(Zd)
    Schraeg,     // a zenith angle with a slope distance D: the horizontal distance becomes
                 // D · sin(Zd), the height difference D · cos(Zd)
};

struct TDatenformat {
    const char* Beschriftung;      // the item text in "Datenformat"
    double TPunkt::*Feld[3];       // where values 1, 2, 3 of a record are stored
    const char* Kopf[3];           // the headers of grid columns 1 to 3
    bool Polar;                    // distance, direction (gon) and height in X, Y, Z
    THoehenregel Hoehe;
};

extern const std::array<TDatenformat, 8> Datenformate;

// The header of grid column 4 (the residuals) in every data format.
constexpr const char* KopfResiduum = "vdH";

// The row of data format index; an index outside 0..7 raises "Fehler bei Bereichsprüfung".
const TDatenformat& Datenformat(int index);

}  // namespace zentrix
