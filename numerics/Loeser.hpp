// The solvers' one interface: the points, the radius and the method in, the result value out.
#pragma once

#include "numerics/Kugel.hpp"

namespace zentrix {

// Which solver computes: the one-step method ("einstufig"), or the converged one (which needs to
// know whether the points are relative to an instrument station at the origin).
struct TVerfahren {
    bool Iterativ = false;
    bool StationImUrsprung = false;
};

// The centre of the sphere of radius R (metres) through points 1..n of Punkte with the method
// chosen (LoeseKugelEinstufig, LoeseKugelIterativ): entry 0 the centre, the points' vR their
// residuals, polar input back in polar form on success. Every failure, an arithmetic fault
// included, comes back in the result.
TKugelLoesung LoeseKugel(TPunktArray& Punkte, int n, bool Polar, double R, const TVerfahren& verfahren = {});

// A computed centre the data do not support: its standard deviation of unit weight m0 exceeds
// toleranz::UnsicherUeber (a tenth) of the radius, by either method. A failure is not unsicher
// (it has no centre), nor are three points (no overdetermination, m0 is 0).
bool Unsicher(const TKugelLoesung& loesung);

}  // namespace zentrix
