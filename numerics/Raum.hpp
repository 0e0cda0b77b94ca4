// SPDX-License-Identifier: GPL-3.0-or-later
// Vectors of space and small symmetric matrices in extended precision, for the converged solver.
// Coordinates are metres, reduced to the points' centroid so that national-grid coordinates keep
// all their digits.
#pragma once

#include <array>
#include <cmath>

namespace zentrix {

struct TVek {
    long double x = 0, y = 0, z = 0;
};

inline TVek operator+(const TVek& a, const TVek& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline TVek operator-(const TVek& a, const TVek& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline TVek operator*(long double s, const TVek& a) { return {s * a.x, s * a.y, s * a.z}; }
inline long double Dot(const TVek& a, const TVek& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline TVek Cross(const TVek& a, const TVek& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline long double Norm(const TVek& a) { return std::sqrt(Dot(a, a)); }

// A symmetric matrix of order 3 or 4 (only the order's part is used).
using TMatrix4 = std::array<std::array<long double, 4>, 4>;

// Replaces the k x k part (k <= 4) of a symmetric positive definite matrix by its inverse, by
// Cholesky decomposition. False when the matrix is numerically singular: a pivot below 1e-13 of
// the largest diagonal element (the normal matrix of points on one line or in one spot).
bool InvertSymmetric(TMatrix4& m, int k);

// The two halves of InvertSymmetric: the Cholesky factor L (m = L L^T, false where m is singular
// as above; only L's lower triangle with the diagonal is written), and from it the inverse into m. A caller that needs to know whether a matrix is
// regular, but its inverse only now and then, decomposes it and inverts only where needed.
bool Cholesky(const TMatrix4& m, int k, TMatrix4& L);
void InverseAusCholesky(const TMatrix4& L, int k, TMatrix4& m);

// The unit eigenvector of the smallest eigenvalue of the 3 x 3 part of a symmetric matrix (Jacobi
// rotations): the normal of the best-fit plane when m holds the points' second moments.
TVek KleinsteAchse(const TMatrix4& m);

}  // namespace zentrix
