// SPDX-License-Identifier: GPL-3.0-or-later
// Vectors and small matrices of space in double precision, for the search's geometry.
#pragma once

#include <array>
#include <cmath>

#include "scan/Wolke.hpp"

namespace zentrix {

using TVektor3 = std::array<double, 3>;
using TMatrix3 = std::array<std::array<double, 3>, 3>;

inline TVektor3 Vektor(const TWolkenpunkt& p) { return {p.X, p.Y, p.Z}; }
inline TVektor3 operator+(const TVektor3& a, const TVektor3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline TVektor3 operator-(const TVektor3& a, const TVektor3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline TVektor3 operator-(const TWolkenpunkt& a, const TVektor3& b) { return {a.X - b[0], a.Y - b[1], a.Z - b[2]}; }
inline TVektor3 operator*(double s, const TVektor3& a) { return {s * a[0], s * a[1], s * a[2]}; }
inline double Skalar(const TVektor3& a, const TVektor3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double Laenge(const TVektor3& a) { return std::sqrt(Skalar(a, a)); }
inline TVektor3 Einheit(const TVektor3& a) {
    const double l = Laenge(a);
    return l > 0 ? (1 / l) * a : TVektor3{0, 0, 0};
}

// Adds s a aᵀ to the upper triangle and the diagonal of m (its lower triangle is left alone).
inline void AddiereDyade(TMatrix3& m, const TVektor3& a, double s) {
    for (int i = 0; i < 3; ++i)
        for (int j = i; j < 3; ++j) m[i][j] += s * a[i] * a[j];
}

// The solution x of m x = b for a symmetric positive definite m given by its upper triangle; false
// where m is numerically singular (a pivot below 1e-12 of the largest diagonal element).
bool LoeseSymmetrisch(const TMatrix3& m, const TVektor3& b, TVektor3& x);

}  // namespace zentrix
