// Matrix inversion by exchange steps and the sphere through four points.
#include "numerics/Matrix.hpp"

#include <cmath>

#include "numerics/Gleitkomma.hpp"

namespace zentrix {

TMatrix NewMatrix(std::size_t rows, std::size_t cols) {
    TMatrix m(rows);
    for (auto& row : m) row.SetLength(cols);
    return m;
}

bool InvertMatrix(TMatrix& m, int n) {
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
