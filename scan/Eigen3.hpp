// SPDX-License-Identifier: GPL-3.0-or-later
// Eigenvalues and eigenvectors of a symmetric 3 x 3 matrix in double precision: the principal axes
// of a patch of points, a million times per scan.
#pragma once

#include <array>

#include "scan/Vektor.hpp"

namespace zentrix {

struct TEigen3 {
    TVektor3 wert;                   // ascending: wert[0] <= wert[1] <= wert[2]
    std::array<TVektor3, 3> vektor;  // the unit eigenvector of each
};

// By Jacobi rotations until the off-diagonal part is below the rounding of the diagonal.
TEigen3 Eigen3(const TMatrix3& m);

// The eigenvalues (ascending) and the unit eigenvector of the smallest, in closed form: the roots of
// the characteristic polynomial by the trigonometric method, the vector as the longest cross
// product of two rows of m - wert[0] I. Where the smallest eigenvalue is nearly a double one (its
// vector then barely defined), by Jacobi rotations.
void KleinsteAchse(const TMatrix3& m, TVektor3& wert, TVektor3& achse);

}  // namespace zentrix
