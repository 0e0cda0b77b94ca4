// SPDX-License-Identifier: GPL-3.0-or-later
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
bool PruefeKugel(const TReduziertePunkte& q, const TVek& c, long double R, TAusgleichung& a, TKonvergenz& k);

// Student's t quantile for the 99.9 % two-sided test with df degrees of freedom.
double TQuantil999(int df);

}  // namespace zentrix
