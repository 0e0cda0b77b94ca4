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

}  // namespace zentrix
