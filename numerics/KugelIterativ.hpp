// The converged fixed-radius solver, a choice beside the one-step method ("einstufig").
#pragma once

#include "numerics/Kugel.hpp"

namespace zentrix {

// The least-squares centre of the sphere of radius R (metres) through points 1..n of Punkte,
// iterated to convergence. Points, polar form and the centre slot are handled as by LoeseKugel;
// the three- and four-point solutions are found as there but never stop the computation.
//
// stationImUrsprung: the points are relative to an instrument station at the origin (polar
// evaluation, polar coordinate files); Polar implies it. The instrument saw the near side of the
// sphere only: with four points or more a solution whose centre lies behind the pointed surface
// (farther from the station than the points on average) is taken over a better fit in front of
// it, and Konvergenz->Seitenwahl says whether that decided. Of two solutions that fit equally well
// (the mirror images through the points' plane), the one behind the points as seen from the
// station is taken, without a station the one below the points' plane.
//
// With n >= 4 the result carries m0, the standard deviations of the centre, the redundancy parts
// r and normalised residuals NV (NaN where r < 0.01); with n >= 5 an outlier test and a check of
// the radius against a free-radius adjustment. A failure (fewer than three points, a radius not
// above 0, points on one line or in one spot, no convergence, a circle through three points wider
// than the sphere) comes back with its code and a German reason in Fehlertext.
TKugelLoesung LoeseKugelIterativ(TPunktArray& Punkte, int n, bool Polar, double R, bool stationImUrsprung);

// Whether LoeseKugelIterativ computes points 1..n (rectangular, metres) of Punkte with the radius
// R (metres) to a centre the data support (not Unsicher: m0 at most toleranz::UnsicherUeber of
// the radius), found without its statistics (for a sphere the one-step method failed on).
bool IterativLoesbar(const TPunktArray& Punkte, int n, double R, bool station);

}  // namespace zentrix
