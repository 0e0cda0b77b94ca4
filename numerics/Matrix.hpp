// SPDX-License-Identifier: GPL-3.0-or-later
// Small matrices for the sphere solver, indexed from 1 (row and column 0 present and idle).
#pragma once

#include "numerics/DynArray.hpp"

namespace zentrix {

using TVektor = TDynArray<double, 6>;
using TMatrix = TDynArray<TVektor, 6>;

// A matrix of rows x cols elements (indices 0..rows-1, 0..cols-1), all 0.
TMatrix NewMatrix(std::size_t rows, std::size_t cols);

// A diagonal element below this in magnitude stops the inversion.
constexpr long double SingularPivotLimit = 1e-32L;

// Replaces rows and columns 1..n of m by their inverse, by Gauss-Jordan exchange steps on the
// diagonal in order 1..n. Where a diagonal pivot falls below SingularPivotLimit, the inversion is
// done again from the original matrix with row exchanges (in each column the largest magnitude at
// or below the diagonal); false only when no remaining row offers a pivot at or above the limit,
// the matrix then left half-done. n <= 0 returns true and changes nothing.
bool InvertMatrix(TMatrix& m, int n);

}  // namespace zentrix
