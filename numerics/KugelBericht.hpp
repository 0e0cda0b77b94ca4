// The solver's report: the lines a sphere computation appends to the report memo, and
// Kugelzentrierung, the solver together with its report.
//
// This is the one unit of the computing folder that writes text; the computation itself
// (Kugel.hpp) returns plain values.
#pragma once

#include "numerics/Kugel.hpp"

namespace zentrix {

// Appends the lines of what the computation found: "Kugelzentrierung Punkt <name>" and the
// three-point line when that stage succeeded, the four-point line when it ran (zeros when its
// system was singular), and the adjustment's lines when the adjustment succeeded.
void SchreibeKugelBericht(const TKugelLoesung& loesung, const TPunktArray& Punkte, TMemoLines& Memo);

// Appends the adjustment's lines: "Ausgleichung", the correction, m0 and the centre's standard
// deviations (when m0 > 0), the centre, and vR (with NV when m0 > 0) per point.
void SchreibeAusgleichung(const TAusgleichung& a, const TPunktArray& Punkte, TMemoLines& Memo);

// The sphere centre of points 1..n of Punkte with the radius R (metres), with its report appended
// to Memo (LoeseKugel and SchreibeKugelBericht). An arithmetic fault is raised after the lines of
// what was found before it. Returns the result code: 0 success, -1 to -6 (KugelErgebnis).
int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo);

}  // namespace zentrix
