// SPDX-License-Identifier: GPL-3.0-or-later
// The tolerances of the sphere solvers, in one place. Lengths in metres; "relative" limits are
// fractions of the quantity they are compared with. The rounding margins at the end only decide
// which candidates an exact search looks at; they are far wider than the rounding of the
// arithmetic and never change a result.
#pragma once

namespace zentrix::toleranz {

// --- The converged solver (Gauss-Newton) ---------------------------------------------------------

// The largest step (metres) at which the iteration counts as converged, and the most steps it may
// take from one start value.
constexpr long double KonvergenzSchritt = 1e-9L;
constexpr int MaxIterationen = 100;
// How often a step may be halved while the sum of squares would grow; after that the centre is as
// good as the arithmetic can tell (2^-64 of a step is below any double's last digit).
constexpr int MaxHalbierungen = 64;
// Start values closer than this to an earlier one (metres) are left out: they reach the same
// solution.
constexpr long double StartAbstand = 1e-6L;
// Two sums of squares are equal within the rounding of the iteration when they differ by less than
// this fraction of the larger one, or by less than GleichJePunkt (square metres) per point.
constexpr long double GleichRelativ = 1e-6L;
constexpr long double GleichJePunkt = 1e-18L;
// A candidate behind the pointed surface is a side of the sphere only if its standard deviation of
// unit weight is at most this fraction of the radius.
constexpr long double SeiteHoechstens = 0.1L;
// The same limit judges every computed centre: residuals whose standard deviation of unit weight
// exceeds a tenth of the radius do not describe a sphere of that radius through the points, however
// well the iteration converged. Such a centre is computed but "unsicher".
constexpr long double UnsicherUeber = SeiteHoechstens;
// Three points are on a line when their plane's normal is below this fraction of |u| |w|; a circle
// through them is larger than the sphere when its radius exceeds R by more than this fraction.
constexpr long double KollinearRelativ = 1e-12L;
constexpr long double KreisUeberRadius = 1e-12L;

// --- The judgement of a converged fit ------------------------------------------------------------

// Below this standard deviation of unit weight (metres) the points fit to the last digits of the
// arithmetic: no point can be a blunder and no radius be wrong, and neither test is made.
constexpr long double PruefGrenze = 1e-6L;
// A point whose redundancy part is below this checks itself almost alone: no normalised residual
// and no outlier test for it.
constexpr long double MindestRedundanz = 0.01L;
// The radius check never flags a difference below this (metres): a micrometre is far below any
// reflector's tolerance, so exact points are not flagged for the rounding of their arithmetic.
constexpr double RadiusGrenzeMindestens = 1e-6;

// --- Rounding margins of the exact searches (one-step method) -------------------------------------

// A turn counts as a left turn only when twice the triangle's area exceeds this fraction of its
// two products (their rounding is some 1e-16).
constexpr double LinksRelativ = 1e-12;
// A circle inside the polygon of a point set's extreme points is used only with this fraction of
// its radius left as margin, and only where its radius is at least this fraction of the longest
// edge.
constexpr double InnenkreisRelativ = 1e-6;
// The base-pair search keeps every point that could reach the largest distance within this
// fraction of it, and narrows the inner circle of no candidates by this fraction of its square.
constexpr long double BasisKandidatRelativ = 1e-9L;
constexpr double BasisInnenRelativ = 1e-6;
// The third point's search keeps every point within this fraction of the largest offset times
// the spread and the base length.
constexpr double DritterKandidatRelativ = 1e-9;

}  // namespace zentrix::toleranz
