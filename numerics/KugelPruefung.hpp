// The judgement of a converged sphere fit: residuals, precision, redundancy parts, normalised
// residuals, an outlier test and a check of the radius.
#pragma once

#include <vector>

#include "numerics/Kugel.hpp"
#include "numerics/Raum.hpp"
#include "numerics/Reduziert.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

// At the converged centre c (reduced points q, radius R, metres): the residuals vR_i = |c - q_i|
// - R (positive: outside the sphere); for n > 3 m0 = sqrt([vv] / (n - 3)), the standard deviations
// m0 sqrt(Q_kk) of the centre with Q = (A^T A)^-1, the redundancy parts r_i = 1 - a_i Q a_i^T and
// NV_i = v_i / (m0 sqrt(r_i)) (NaN where r_i < toleranz::MindestRedundanz or m0 = 0). For n >= 5 the outlier test and
// the radius check. False when the normal matrix at c is singular.
// The residuals themselves are not kept (a scan's million points): Verbesserung gives each.
bool PruefeKugel(const TReduziertePunkte& q, const TVek& c, long double R, TAusgleichung& a, TKonvergenz& k);

// The radial residual vR = |c - p| - R of the reduced point p at the centre c (metres, rounded to a
// double as the results keep it).
inline double Verbesserung(const TVek& c, const TVek& p, long double R) { return static_cast<double>(Norm(c - p) - R); }

// Student's t quantile for the 99.9 % two-sided test with df degrees of freedom.
double TQuantil999(int df);

}  // namespace zentrix
