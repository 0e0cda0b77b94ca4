// Direction and horizontal distance from coordinate differences.
// Directions run from the +X axis towards the +Y axis, in radians here; 400 gon = 2 pi.
// Header-only, so that the computing core can use it without the polar library.
#pragma once

#include <cmath>

#include "numerics/Gleitkomma.hpp"

namespace zentrix {

// Pi in extended precision, and rho = 200 / pi, the number of gon per radian.
constexpr long double Pi = 3.1415926535897932385L;
constexpr long double Rho = 63.661977236758134305L;

// -1, 0 or +1.
inline int SignOf(double x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

// From the differences dY, dX (target minus origin, metres): horizontal distance s (metres) and
// direction t (radians, 0 <= t < 2 pi; exactly 2 pi only when a tiny negative angle rounds so).
// t = 0 when both differences are 0. Worked in extended precision, rounded on store; a distance
// beyond the double range raises "Gleitkommaüberlauf".
inline void DirectionAndDistance(double dY, double dX, double& s, double& t) {
    long double w;
    if (dX == 0)
        w = SignOf(dY) * Pi / 2;  // on the Y axis: no division
    else
        w = std::atan(static_cast<long double>(dY) / static_cast<long double>(dX));
    if (dX < 0) w += Pi;       // second and third quadrant
    if (w < 0) w += 2 * Pi;    // fourth quadrant
    const long double y = dY, x = dX;
    const double dist = StoreDouble(std::sqrt(y * y + x * x));
    if (dX == 0 && dY == 0) w = 0;
    s = dist;
    t = StoreDouble(w);
}

}  // namespace zentrix
