// SPDX-License-Identifier: GPL-3.0-or-later
// Matrix inversion by exchange steps and the sphere through four points.
#include "numerics/Matrix.hpp"

#include <cmath>
#include <utility>
#include <vector>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Kugel.hpp"

namespace zentrix {

TMatrix NewMatrix(std::size_t rows, std::size_t cols) {
    TMatrix m(rows);
    for (auto& row : m) row.SetLength(cols);
    return m;
}

namespace {

// Gauss-Jordan exchange steps on the diagonal in order 1..n, in place. False at the first pivot
// below the limit, the steps before it applied.
bool OhneZeilentausch(TMatrix& m, int n) {
    for (int i = 1; i <= n; ++i) {
        // No pivot search: the diagonal is taken as it comes.
        const double p = m[i][i];
        if (std::fabs(static_cast<long double>(p)) < SingularPivotLimit) return false;
        m[i][i] = StoreDouble(Divide(1.0L, p));
        const long double pInv = m[i][i];
        for (int j = 1; j <= n; ++j) {
            if (j == i) continue;
            // Column element: -[j][i] / p.
            m[j][i] = StoreDouble(-pInv * static_cast<long double>(m[j][i]));
            const long double f = m[j][i];
            // The rest of row j with the pivot row still unscaled: [j][k] - [j][i]old * [i][k] / p.
            for (int k = 1; k <= n; ++k) {
                if (k == i) continue;
                m[j][k] = StoreDouble(f * static_cast<long double>(m[i][k]) + static_cast<long double>(m[j][k]));
            }
        }
        // Last the pivot row itself, divided by p.
        for (int k = 1; k <= n; ++k) {
            if (k == i) continue;
            m[i][k] = StoreDouble(pInv * static_cast<long double>(m[i][k]));
        }
    }
    return true;
}

// Gauss-Jordan elimination of [A | I] with partial pivoting: in each column the row with the
// largest magnitude at or below the diagonal becomes the pivot row (the first of equal ones). The
// inverse of a, written into m only when every pivot reaches the limit; false otherwise, m as it
// stands.
bool MitZeilentausch(const TMatrix& a, TMatrix& m, int n) {
    const auto breite = static_cast<std::size_t>(2 * n);
    std::vector<double> e(static_cast<std::size_t>(n) * breite, 0.0);  // row r, column c at r * breite + c
    auto at = [&e, breite](int r, int c) -> double& { return e[static_cast<std::size_t>(r) * breite + static_cast<std::size_t>(c)]; };
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) at(r, c) = a[r + 1][c + 1];
        at(r, n + r) = 1;
    }
    for (int i = 0; i < n; ++i) {
        int p = i;
        for (int r = i + 1; r < n; ++r)
            if (std::fabs(at(r, i)) > std::fabs(at(p, i))) p = r;
        if (std::fabs(static_cast<long double>(at(p, i))) < SingularPivotLimit) return false;
        if (p != i)
            for (int c = 0; c < 2 * n; ++c) std::swap(at(p, c), at(i, c));
        const long double pivot = at(i, i);
        for (int c = 0; c < 2 * n; ++c) at(i, c) = StoreDouble(Divide(at(i, c), pivot));
        for (int r = 0; r < n; ++r) {
            if (r == i || at(r, i) == 0) continue;
            const long double f = at(r, i);
            for (int c = 0; c < 2 * n; ++c) at(r, c) = StoreDouble(static_cast<long double>(at(r, c)) - f * at(i, c));
        }
    }
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) m[r + 1][c + 1] = at(r, n + c);
    return true;
}

}  // namespace

bool InvertMatrix(TMatrix& m, int n) {
    if (n <= 0) return true;
    // The exchange steps along the diagonal decide every matrix whose pivots come out large enough
    // as they stand. A small diagonal element (two points with exactly the same X) does not make a
    // matrix singular: only then is the inversion done again from the original with row exchanges.
    const TMatrix original = m;
    if (OhneZeilentausch(m, n)) return true;
    return MitZeilentausch(original, m, n);
}

std::optional<TKugel> SphereFromFourPoints(const TPunktArray& Punkte, int n) {
    if (n < 4) return std::nullopt;

    // (X-X0)^2 + (Y-Y0)^2 + (Z-Z0)^2 = R^2 in coordinates reduced to point 1 is linear in
    // (R^2 - xc^2 - yc^2 - zc^2, 2 xc, 2 yc, 2 zc):  1*u + dX*2xc + dY*2yc + dZ*2zc = dX^2+dY^2+dZ^2.
    TMatrix M = NewMatrix(5, 5);
    TVektor b(5);
    TVektor x(5);
    const TPunkt& p1 = Punkte[1];
    for (int i = 1; i <= 4; ++i) {
        const TPunkt& p = Punkte[i];
        const double dX = StoreDouble(static_cast<long double>(p.X) - p1.X);
        const double dY = StoreDouble(static_cast<long double>(p.Y) - p1.Y);
        const double dZ = StoreDouble(static_cast<long double>(p.Z) - p1.Z);
        M[i][1] = 1;
        M[i][2] = dX;
        M[i][3] = dY;
        M[i][4] = dZ;
        const long double lx = dX, ly = dY, lz = dZ;
        b[i] = StoreDouble(lx * lx + ly * ly + lz * lz);
    }
    if (!InvertMatrix(M, 4)) return std::nullopt;

    for (int i = 1; i <= 4; ++i) {
        x[i] = 0;
        for (int j = 1; j <= 4; ++j)
            x[i] = StoreDouble(static_cast<long double>(M[i][j]) * b[j] + static_cast<long double>(x[i]));
    }
    // Reduced centre (metres); x[1] is 0 by construction and not needed.
    const long double xc = static_cast<long double>(x[2]) / 2;
    const long double yc = static_cast<long double>(x[3]) / 2;
    const long double zc = static_cast<long double>(x[4]) / 2;
    TKugel kugel;
    kugel.R = StoreDouble(std::sqrt(xc * xc + yc * yc + zc * zc));
    kugel.Zentrum.X = StoreDouble(xc + p1.X);
    kugel.Zentrum.Y = StoreDouble(yc + p1.Y);
    kugel.Zentrum.Z = StoreDouble(zc + p1.Z);
    return kugel;
}

}  // namespace zentrix
