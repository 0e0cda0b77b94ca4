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

}  // namespace zentrix
