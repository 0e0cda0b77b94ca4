// SPDX-License-Identifier: GPL-3.0-or-later
// The base pair of the three-point stage: the two points farthest apart in plan.
#pragma once

#include <utility>

#include "numerics/Punkt.hpp"

namespace zentrix {

// The squared plan distance of points i and j (square metres) as the solver compares it: the
// differences and squares in extended precision, the sum rounded to a double.
double PlanAbstand2(const TPunkt& a, const TPunkt& b);

// The pair (a, b), a < b, of points 1..n with the largest PlanAbstand2; of equal distances the
// first pair in the order i = 1..n, j = i+1..n wins, and (0, 0) when no two points differ in plan.
// The same pair as that double loop gives, in O(n log n): the largest distance from the convex
// hull by rotating calipers, then the first pair in loop order among the few points that can reach
// it (duplicates of a point included).
std::pair<int, int> BasePair(const TPunktArray& Punkte, int n);

}  // namespace zentrix
