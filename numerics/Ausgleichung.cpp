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

// The design row of point p (the differences over the fixed radius, not over the distance) and its
// misclosure (metres): distance from the approximate centre c0 minus R.
void Designzeile(const TPunkt& p, double R, const TXYZ& c0, double a[3], double* l) {
    const Ext dX = static_cast<Ext>(c0.X) - p.X, dY = static_cast<Ext>(c0.Y) - p.Y, dZ = static_cast<Ext>(c0.Z) - p.Z;
    a[0] = StoreDouble(Divide(dX, R));
    a[1] = StoreDouble(Divide(dY, R));
    a[2] = StoreDouble(Divide(dZ, R));
    if (l != nullptr) *l = StoreDouble(std::sqrt(dX * dX + dY * dY + dZ * dZ) - R);
}

// The normal equations N = A^T A and b = A^T l, summed row by row. Each sum adds its terms in the
// order of the points and rounds each partial sum to a double; the sums are independent of one
// another, so they are formed side by side in one pass over the points. N[j][k] and N[k][j] add
// the same products (a product is the same either way round) in the same order: only the lower
// triangle is summed (this pass is the one part of a million-point fit on a single core), and
// Spiegeln copies it to the upper one.
struct TNormalgleichungen {
    double n[3][3] = {};
    double b[3] = {};
    void Zeile(const double a[3], double l) {
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k <= j; ++k) n[j][k] = StoreDouble(static_cast<Ext>(a[j]) * a[k] + n[j][k]);
        for (int j = 0; j < 3; ++j) b[j] = StoreDouble(static_cast<Ext>(a[j]) * l + b[j]);
    }
    void Spiegeln() {
        for (int j = 0; j < 3; ++j)
            for (int k = j + 1; k < 3; ++k) n[j][k] = n[k][j];
    }
};

// The design rows and misclosures of a block of points, laid out on any core.
struct TDesignblock {
    std::vector<double> a, l;
};

// The cofactor q = a Q a^T of the design row a.
double Cofactor(const double a[3], const TMatrix& Q) {
    double q = 0;
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) q = StoreDouble(static_cast<Ext>(a[j - 1]) * Q[j][k] * a[k - 1] + q);
    return q;
}

// The normal equations of the design rows of points 1..zeilen at the approximate centre c0 (metres)
// for the radius R (metres).
TNormalgleichungen Normalsummen(const TPunktArray& Punkte, std::size_t zeilen, double R, const TXYZ& c0) {
    TNormalgleichungen summe;
    auto bilde = [&](std::size_t anfang, std::size_t ende, TDesignblock& block) {
        block.a.resize(3 * (ende - anfang));
        block.l.resize(ende - anfang);
        for (std::size_t i = anfang; i < ende; ++i)
            Designzeile(Punkte[static_cast<long long>(i) + 1], R, c0, &block.a[3 * (i - anfang)], &block.l[i - anfang]);
    };
    auto summiere = [&summe](const TDesignblock& block) {
        for (std::size_t k = 0; k < block.l.size(); ++k) summe.Zeile(&block.a[3 * k], block.l[k]);
    };
    if (zeilen <= AufEinemKern) {
        // A pointed sphere's few rows: in a block kept for the next sphere.
        thread_local TDesignblock block;
        bilde(0, zeilen, block);
        summiere(block);
    } else {
        InBloecken(zeilen, AufEinemKern, [&bilde](std::size_t anfang, std::size_t ende) {
            TDesignblock block;
            bilde(anfang, ende, block);
            return block;
        }, summiere);
    }
    summe.Spiegeln();
    return summe;
}

}  // namespace

KugelErgebnis KugelAusgleichung(TPunktArray& Punkte, int n, double R, const TXYZ& Naeherung, TAusgleichung& a) {
    // Three unknowns need three observations.
    if (n < 3) return KugelErgebnis::ZuWenigPunkte;
    const double X0 = Naeherung.X, Y0 = Naeherung.Y, Z0 = Naeherung.Z;
    const auto zeilen = static_cast<std::size_t>(n);
    const TXYZ c0{X0, Y0, Z0};
    // The design rows a block at a time on either core (a scan's million points), summed in the
    // order of the points as the blocks come: neither the design matrix nor the misclosures of all
    // points are ever held at once.
    const TNormalgleichungen summe = Normalsummen(Punkte, zeilen, R, c0);
    TMatrix N = NewMatrix(4, 4);  // normal matrix, then Q = N^-1
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) N[j][k] = summe.n[j - 1][k - 1];
    const double* b = summe.b;
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

    // Residuals at the adjusted centre (positive: the point lies outside the sphere), into the
    // points. Each on either core; their sum of squares after it, in the order of the points.
    AufAllenKernen(zeilen, AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        for (std::size_t i = anfang; i < ende; ++i) {
            TPunkt& p = Punkte[static_cast<long long>(i) + 1];
            const Ext ex = static_cast<Ext>(a.Zentrum.X) - p.X, ey = static_cast<Ext>(a.Zentrum.Y) - p.Y,
                    ez = static_cast<Ext>(a.Zentrum.Z) - p.Z;
            p.vR = StoreDouble(std::sqrt(ex * ex + ey * ey + ez * ez) - R);
        }
    });
    double vv = 0;
    for (std::size_t i = 1; i <= zeilen; ++i) {
        const double v = Punkte[static_cast<long long>(i)].vR;
        vv = StoreDouble(static_cast<Ext>(v) * v + vv);
    }
    // Standard deviation of unit weight (none without redundancy) and of the centre (metres).
    a.m0 = n > 3 ? StoreDouble(SquareRoot(static_cast<Ext>(vv) / (n - 3))) : 0.0;
    a.m = {StoreDouble(a.m0 * SquareRoot(Q[1][1])), StoreDouble(a.m0 * SquareRoot(Q[2][2])),
           StoreDouble(a.m0 * SquareRoot(Q[3][3]))};
    Punkte[0].X = a.Zentrum.X;
    Punkte[0].Y = a.Zentrum.Y;
    Punkte[0].Z = a.Zentrum.Z;

    // Normalised residuals, on either core, each point's design row formed again. A point at the
    // approximate centre has q = 0: with m0 > 0 that is a division by zero (the first such point in
    // order is the one raised).
    a.NV.resize(zeilen);
    AufAllenKernen(zeilen, AufEinemKern, [&](std::size_t anfang, std::size_t ende) {
        for (std::size_t i = anfang; i < ende; ++i) {
            const TPunkt& p = Punkte[static_cast<long long>(i) + 1];
            double ai[3];
            Designzeile(p, R, c0, ai, nullptr);
            const double q = Cofactor(ai, Q);
            a.NV[i] = a.m0 > 0 ? StoreDouble(Divide(p.vR, a.m0 * SquareRoot(q))) : 0.0;
        }
    });
    return KugelErgebnis::Ok;
}

}  // namespace zentrix
