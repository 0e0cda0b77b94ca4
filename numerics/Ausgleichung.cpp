// SPDX-License-Identifier: GPL-3.0-or-later
// One linearised least-squares step for the sphere centre with the radius held fixed.
//
// Observations: the distances from the centre to the points, each of which should equal R.
// Unknowns: the three centre coordinates. All observations have weight 1.
#include <cmath>

#include "core/Ausfuehrer.hpp"
#include "numerics/Gleitkomma.hpp"
#include "numerics/Kugel.hpp"
#include "numerics/Matrix.hpp"

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

// The design matrix A (n x 3: the differences over the fixed radius, not over the distance), one
// row of three after the other, and the misclosures l (metres): distance from the approximate
// centre to each point minus R. Index i - 1 for point i; the points von..bis.
void DesignAndMisclosures(const TPunktArray& Punkte, int von, int bis, double R, const TXYZ& c0, TVektor& A, TVektor& l) {
    for (int i = von; i <= bis; ++i) {
        const TPunkt& p = Punkte[i];
        const Ext dX = static_cast<Ext>(c0.X) - p.X, dY = static_cast<Ext>(c0.Y) - p.Y, dZ = static_cast<Ext>(c0.Z) - p.Z;
        A[3 * (i - 1)] = StoreDouble(Divide(dX, R));
        A[3 * (i - 1) + 1] = StoreDouble(Divide(dY, R));
        A[3 * (i - 1) + 2] = StoreDouble(Divide(dZ, R));
        l[i - 1] = StoreDouble(std::sqrt(dX * dX + dY * dY + dZ * dZ) - R);
    }
}

// The normal equations N = A^T A (into rows and columns 1..3 of N) and b = A^T l. Each sum adds
// its terms in the order of the points and rounds each partial sum to a double; the sums are
// independent of one another, so they are formed side by side in one pass over the points.
void Normalgleichungen(const TVektor& A, const TVektor& l, std::size_t zeilen, TMatrix& N, double b[3]) {
    double n_[3][3] = {};
    for (std::size_t i = 0; i < zeilen; ++i) {
        const double a[3] = {A[static_cast<long long>(3 * i)], A[static_cast<long long>(3 * i + 1)],
                             A[static_cast<long long>(3 * i + 2)]};
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) n_[j][k] = StoreDouble(static_cast<Ext>(a[j]) * a[k] + n_[j][k]);
        for (int j = 0; j < 3; ++j) b[j] = StoreDouble(static_cast<Ext>(a[j]) * l[static_cast<long long>(i)] + b[j]);
    }
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) N[j][k] = n_[j - 1][k - 1];
}

// The cofactor q = a Q a^T of the design row a.
double Cofactor(const double a[3], const TMatrix& Q) {
    double q = 0;
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) q = StoreDouble(static_cast<Ext>(a[j - 1]) * Q[j][k] * a[k - 1] + q);
    return q;
}

}  // namespace

KugelErgebnis KugelAusgleichung(TPunktArray& Punkte, int n, double R, const TXYZ& Naeherung, TAusgleichung& a) {
    // Three unknowns need three observations.
    if (n < 3) return KugelErgebnis::ZuWenigPunkte;
    const double X0 = Naeherung.X, Y0 = Naeherung.Y, Z0 = Naeherung.Z;
    const auto zeilen = static_cast<std::size_t>(n);
    TVektor A(3 * zeilen), l(zeilen);
    TMatrix N = NewMatrix(4, 4);  // normal matrix, then Q = N^-1
    // Each point's row on either core (a scan's hundred thousand points); the sums after it keep
    // the order of the points.
    AufAllenKernen(zeilen, AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        DesignAndMisclosures(Punkte, static_cast<int>(anfang) + 1, static_cast<int>(ende), R, {X0, Y0, Z0}, A, l);
    });

    // b does not depend on the inverse; the misclosures are not needed after it (a million points).
    double b[3] = {};
    Normalgleichungen(A, l, zeilen, N, b);
    l = TVektor();
    // A singular normal matrix changes nothing.
    if (!InvertMatrix(N, 3)) return KugelErgebnis::NormalSingulaer;
    const TMatrix& Q = N;
    double dx[3] = {};
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) dx[j] = StoreDouble(static_cast<Ext>(Q[j + 1][k + 1]) * b[k] + dx[j]);

    // A single step, no iteration.
    a = TAusgleichung{};
    a.Korrektur = {dx[0], dx[1], dx[2]};
    a.Zentrum = {StoreDouble(static_cast<Ext>(X0) - dx[0]), StoreDouble(static_cast<Ext>(Y0) - dx[1]),
                 StoreDouble(static_cast<Ext>(Z0) - dx[2])};

    // Residuals at the adjusted centre (positive: the point lies outside the sphere).
    // Each on either core; their sum of squares after it, in the order of the points.
    a.vR.resize(zeilen);
    AufAllenKernen(zeilen, AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        for (std::size_t i = anfang; i < ende; ++i) {
            TPunkt& p = Punkte[static_cast<long long>(i) + 1];
            const Ext ex = static_cast<Ext>(a.Zentrum.X) - p.X, ey = static_cast<Ext>(a.Zentrum.Y) - p.Y,
                    ez = static_cast<Ext>(a.Zentrum.Z) - p.Z;
            p.vR = StoreDouble(std::sqrt(ex * ex + ey * ey + ez * ez) - R);
            a.vR[i] = p.vR;
        }
    });
    double vv = 0;
    for (const double v : a.vR) vv = StoreDouble(static_cast<Ext>(v) * v + vv);
    // Standard deviation of unit weight (none without redundancy) and of the centre (metres).
    a.m0 = n > 3 ? StoreDouble(SquareRoot(static_cast<Ext>(vv) / (n - 3))) : 0.0;
    a.m = {StoreDouble(a.m0 * SquareRoot(Q[1][1])), StoreDouble(a.m0 * SquareRoot(Q[2][2])),
           StoreDouble(a.m0 * SquareRoot(Q[3][3]))};
    Punkte[0].X = a.Zentrum.X;
    Punkte[0].Y = a.Zentrum.Y;
    Punkte[0].Z = a.Zentrum.Z;

    // Normalised residuals, on either core. A point at the approximate centre has q = 0: with
    // m0 > 0 that is a division by zero (the first such point in order is the one raised).
    a.NV.resize(zeilen);
    AufAllenKernen(zeilen, AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        for (std::size_t i = anfang; i < ende; ++i) {
            const double ai[3] = {A[static_cast<long long>(3 * i)], A[static_cast<long long>(3 * i + 1)],
                                  A[static_cast<long long>(3 * i + 2)]};
            const double q = Cofactor(ai, Q);
            a.NV[i] = a.m0 > 0 ? StoreDouble(Divide(a.vR[i], a.m0 * SquareRoot(q))) : 0.0;
        }
    });
    return KugelErgebnis::Ok;
}

}  // namespace zentrix
