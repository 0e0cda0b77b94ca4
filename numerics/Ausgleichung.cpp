// One linearised least-squares step for the sphere centre with the radius held fixed.
//
// Observations: the distances from the centre to the points, each of which should equal R.
// Unknowns: the three centre coordinates. All observations have weight 1.
#include <cmath>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Kugel.hpp"
#include "numerics/Matrix.hpp"

namespace zentrix {

namespace {

using L = long double;

// Design matrix A (n x 3: the differences over the fixed radius, not over the distance) and the
// misclosures l (metres): distance from the approximate centre to each point minus R.
void DesignAndMisclosures(const TPunktArray& Punkte, int n, double R, const TXYZ& c0, TMatrix& A, TVektor& l) {
    for (int i = 1; i <= n; ++i) {
        const TPunkt& p = Punkte[i];
        const L dX = static_cast<L>(c0.X) - p.X, dY = static_cast<L>(c0.Y) - p.Y, dZ = static_cast<L>(c0.Z) - p.Z;
        A[i][1] = StoreDouble(Divide(dX, R));
        A[i][2] = StoreDouble(Divide(dY, R));
        A[i][3] = StoreDouble(Divide(dZ, R));
        l[i] = StoreDouble(std::sqrt(dX * dX + dY * dY + dZ * dZ) - R);
    }
}

// The cofactor q = a Q a^T of observation i.
double Cofactor(const TMatrix& A, const TMatrix& Q, int i) {
    double q = 0;
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) q = StoreDouble(static_cast<L>(A[i][j]) * Q[j][k] * A[i][k] + q);
    return q;
}

}  // namespace

std::optional<TAusgleichung> KugelAusgleichung(TPunktArray& Punkte, int n, double R, double X0, double Y0, double Z0) {
    // Three unknowns need three observations.
    if (n < 3) return std::nullopt;
    const std::size_t rows = static_cast<std::size_t>(n) + 1;
    TMatrix A = NewMatrix(rows, 4);
    TVektor l(rows);
    TMatrix N = NewMatrix(4, 4);  // normal matrix, then Q = N^-1
    TVektor b(4);
    TVektor dx(4);
    DesignAndMisclosures(Punkte, n, R, {X0, Y0, Z0}, A, l);

    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k)
            for (int i = 1; i <= n; ++i) N[j][k] = StoreDouble(static_cast<L>(A[i][j]) * A[i][k] + N[j][k]);
    // A singular normal matrix changes nothing.
    if (!InvertMatrix(N, 3)) return std::nullopt;
    const TMatrix& Q = N;
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= n; ++i) b[j] = StoreDouble(static_cast<L>(A[i][j]) * l[i] + b[j]);
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) dx[j] = StoreDouble(static_cast<L>(Q[j][k]) * b[k] + dx[j]);

    // A single step, no iteration.
    TAusgleichung a;
    a.Korrektur = {dx[1], dx[2], dx[3]};
    a.Zentrum = {StoreDouble(static_cast<L>(X0) - dx[1]), StoreDouble(static_cast<L>(Y0) - dx[2]),
                 StoreDouble(static_cast<L>(Z0) - dx[3])};

    // Residuals at the adjusted centre (positive: the point lies outside the sphere).
    double vv = 0;
    for (int i = 1; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        const L ex = static_cast<L>(a.Zentrum.X) - p.X, ey = static_cast<L>(a.Zentrum.Y) - p.Y,
                ez = static_cast<L>(a.Zentrum.Z) - p.Z;
        p.vR = StoreDouble(std::sqrt(ex * ex + ey * ey + ez * ez) - R);
        a.vR.push_back(p.vR);
        vv = StoreDouble(static_cast<L>(p.vR) * p.vR + vv);
    }
    // Standard deviation of unit weight (none without redundancy) and of the centre (metres).
    a.m0 = n > 3 ? StoreDouble(SquareRoot(static_cast<L>(vv) / (n - 3))) : 0.0;
    a.m = {StoreDouble(a.m0 * SquareRoot(Q[1][1])), StoreDouble(a.m0 * SquareRoot(Q[2][2])),
           StoreDouble(a.m0 * SquareRoot(Q[3][3]))};
    Punkte[0].X = a.Zentrum.X;
    Punkte[0].Y = a.Zentrum.Y;
    Punkte[0].Z = a.Zentrum.Z;

    // Normalised residuals. A point at the approximate centre has q = 0: with m0 > 0 that is a
    // division by zero.
    for (int i = 1; i <= n; ++i) {
        const double q = Cofactor(A, Q, i);
        const double v = a.vR[static_cast<std::size_t>(i - 1)];
        a.NV.push_back(a.m0 > 0 ? StoreDouble(Divide(v, a.m0 * SquareRoot(q))) : 0.0);
    }
    return a;
}

}  // namespace zentrix
