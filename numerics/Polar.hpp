// SPDX-License-Identifier: GPL-3.0-or-later
// Angles and polar observations: the one place where directions, zenith distances and distances
// from an instrument station become rectangular coordinates and back.
//
// Angles are kept in gon (400 gon to the full circle) and handed to the trigonometric functions in
// radians. Directions run from the +X axis towards the +Y axis; zenith distances from the zenith
// (0 gon) through the horizontal (100 gon) to the nadir (200 gon). The station is the origin of
// the rectangular system: X towards direction 0, Y towards direction 100 gon, Z up.
//
// The computations run in extended precision. Where a caller adds to a result before it is
// stored (Konvert puts the station at 100, 100, 100), the unrounded value is handed out, so that
// each coordinate is rounded to a double only once.
#pragma once

namespace zentrix {

// Pi, and rho = 200 / pi, the number of gon per radian (both to extended precision).
constexpr long double Pi = 3.1415926535897932385L;
constexpr long double Rho = 63.661977236758134305L;

// -1, 0 or +1.
inline int SignOf(double x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

// From the differences dY, dX (target minus origin, metres): horizontal distance s (metres) and
// direction t (radians, 0 <= t < 2 pi; exactly 2 pi only when a tiny negative angle rounds so).
// t = 0 when both differences are 0. Worked in extended precision, rounded on store; a distance
// beyond the double range raises "Gleitkommaüberlauf".
void DirectionAndDistance(double dY, double dX, double& s, double& t);

// A polar observation from the station.
struct TPolar {
    double Ri = 0;  // horizontal direction (gon), 0 <= Ri < 400
    double S = 0;   // slope distance (metres)
    double Zd = 0;  // zenith distance (gon), 0 <= Zd <= 200
};

// Rectangular coordinates relative to the station (metres).
struct TRechtwinklig {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// The point a polar observation hits: X = sin Zd · cos Ri · S, Y = sin Zd · sin Ri · S,
// Z = cos Zd · S, each rounded once.
TRechtwinklig Rechtwinklig(const TPolar& b);

// The observation of a point from the station: direction, slope distance and zenith distance.
// A point straight above or below the station (horizontal distance 0) has no zenith distance:
// "Gleitkommadivision durch Null" ("Ungültige Gleitkommaoperation" at the station itself).
TPolar Polar(const TRechtwinklig& p);

// Plan coordinates (metres, unrounded) of a horizontal distance s (metres) in direction Ri (gon).
struct TPlan {
    long double X;
    long double Y;
};
TPlan Plan(long double s, double Ri);

// A sight of slope distance S (metres) at zenith distance Zd (gon) reduced to its horizontal
// distance S · sin Zd and height difference S · cos Zd (metres, unrounded).
struct TReduktion {
    long double Horizontal;
    long double Hoehe;
};
TReduktion Reduktion(double S, double Zd);

// The height difference (metres) of a horizontal distance s (metres) seen at zenith angle Zd
// (gon): s · cot Zd. Zd = 0 divides by zero.
double HoeheAusKotangens(double s, double Zd);

// The height difference (metres) of a horizontal distance s (metres) seen at elevation angle h
// (gon): s · tan h, the inverse of Hoehenwinkel.
double HoeheAusHoehenwinkel(double s, double h);

// The elevation angle (gon, unrounded) of a point at height Z above the station's horizon at
// horizontal distance s (metres): arctan(Z / s). s = 0 divides by zero.
long double Hoehenwinkel(double Z, double s);

}  // namespace zentrix
