// SPDX-License-Identifier: GPL-3.0-or-later
#include "numerics/GaussNewton.hpp"
#include "numerics/Toleranzen.hpp"

#include <algorithm>
#include <cstddef>
#include <tuple>
#include <utility>

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

// The sum of the squared residuals |c - q_i| - R (square metres).
Ext SumOfSquares(const TReduziertePunkte& q, const TVek& c, Ext R) {
    Ext ssq = 0;
    for (const TVek& p : q) {
        const Ext v = Norm(c - p) - R;
        ssq += v * v;
    }
    return ssq;
}

// The normal matrix N = A^T A and g = A^T f at (c, R), with the rows (a_i, -1) when the radius is
// free (K = 4; K = 3 with the radius held); and where MitH, in H the second-order part of the
// Hessian of the sum of squares (halved), the sum of f_i (I - a_i a_i^T) / |c - q_i| over the
// points. Both matrices are symmetric, and a product of two factors is the same either way round:
// only their lower triangles (with the diagonal) are formed, and only those are read.
//
// Each sum runs over the points in their order, term by term as written. Twenty sums of extended
// precision do not fit the eight registers of the floating-point unit, and an 80-bit value costs
// several times a double to store and load again: added point by point, every sum went to memory
// and back once a point. Here the rows of a block of points are formed first, and then a few sums
// at a time go over the block in registers; the same terms in the same order, so the same sums.
constexpr int Block = 32;  // points whose rows are formed together

struct TZeilenBlock {
    Ext a[3][Block];   // the direction a = (c - q) / |c - q|
    Ext f[Block];      // the residual |c - q| - R (metres)
    Ext abstand[Block];  // |c - q| (metres)
};

// Point i's term of N[J][L] (L <= J < 3), a_J a_L, or with H of H[J][L],
// f (delta_JL - a_J a_L) / |c - q|, where the point lies apart from c.
template <bool H, int J, int L>
Ext Glied(const TZeilenBlock& z, int i) {
    if constexpr (H) return z.f[i] * ((J == L ? 1 : 0) - z.a[J][i] * z.a[L][i]) / z.abstand[i];
    else return z.a[J][i] * z.a[L][i];
}

// Three sums of the triangle, N[J][L] (or H[J][L]) for the pairs (J1, L1), (J2, L2), (J3, L3),
// over the block in one pass, each in a register.
template <bool H, int J1, int L1, int J2, int L2, int J3, int L3>
void Drei(const TZeilenBlock& z, int m, Ext s[3]) {
    Ext s1 = s[0], s2 = s[1], s3 = s[2];
    for (int i = 0; i < m; ++i) {
        s1 += Glied<H, J1, L1>(z, i);
        s2 += Glied<H, J2, L2>(z, i);
        s3 += Glied<H, J3, L3>(z, i);
    }
    s[0] = s1;
    s[1] = s2;
    s[2] = s3;
}

// The six sums of N's (or with H of H's) lower triangle of order 3 over the block, row by row,
// where every point of the block lies apart from c. Three at a time: rows 0 and 1 together (they
// read the same two directions, loaded once a point), then row 2; six would not fit the eight
// registers.
template <bool H>
void Dreieck(const TZeilenBlock& z, int m, Ext s[6]) {
    Drei<H, 0, 0, 1, 0, 1, 1>(z, m, s);
    Drei<H, 2, 0, 2, 1, 2, 2>(z, m, s + 3);
}

// The rows of the points [anfang, anfang + m) into z. False when a point lies at c.
bool Zeilen(const TReduziertePunkte& q, const TVek& c, Ext R, std::size_t anfang, int m, TZeilenBlock& z) {
    bool getrennt = true;
    for (int i = 0; i < m; ++i) {
        // The distance once: the direction a and the residual f.
        const TVek d = c - q[anfang + static_cast<std::size_t>(i)];
        const Ext abstand = Norm(d);
        const TVek a = abstand > 0 ? (1 / abstand) * d : TVek{};
        getrennt = getrennt && abstand > 0;
        z.a[0][i] = a.x;
        z.a[1][i] = a.y;
        z.a[2][i] = a.z;
        z.f[i] = abstand - R;
        z.abstand[i] = abstand;
    }
    return getrennt;
}

template <int K, bool MitH>
void Normalsummen(const TReduziertePunkte& q, const TVek& c, Ext R, TMatrix4& N, Ext g[4], TMatrix4& H) {
    Ext s[10] = {}, t[6] = {};  // N's and H's lower triangles, row by row
    for (int j = 0; j < 4; ++j) g[j] = 0;
    TZeilenBlock z;
    const std::size_t n = q.size();
    for (std::size_t anfang = 0; anfang < n; anfang += Block) {
        const int m = static_cast<int>(std::min<std::size_t>(Block, n - anfang));
        const bool getrennt = Zeilen(q, c, R, anfang, m, z);
        // g, and with the free radius the row of -1: -1 times a term is its negative exactly.
        for (int i = 0; i < m; ++i) {
            g[0] += z.a[0][i] * z.f[i];
            g[1] += z.a[1][i] * z.f[i];
            g[2] += z.a[2][i] * z.f[i];
        }
        Dreieck<false>(z, m, s);
        if (K == 4)
            for (int i = 0; i < m; ++i) {
                const Ext eins = -1;
                g[3] += eins * z.f[i];
                s[6] += eins * z.a[0][i];
                s[7] += eins * z.a[1][i];
                s[8] += eins * z.a[2][i];
                s[9] += eins * eins;
            }
        if (!MitH) continue;
        if (getrennt) {
            Dreieck<true>(z, m, t);
        } else {
            // A point at c adds nothing to H: the sums go over the block without it.
            TZeilenBlock ohne;
            int k = 0;
            for (int i = 0; i < m; ++i) {
                if (!(z.abstand[i] > 0)) continue;
                for (int j = 0; j < 3; ++j) ohne.a[j][k] = z.a[j][i];
                ohne.f[k] = z.f[i];
                ohne.abstand[k++] = z.abstand[i];
            }
            Dreieck<true>(ohne, k, t);
        }
    }
    for (int j = 0, r = 0; j < K; ++j)
        for (int l = 0; l <= j; ++l, ++r) {
            N[j][l] = s[r];
            if (MitH && j < 3) H[j][l] = t[r];
        }
}

void Normalgleichungen(const TReduziertePunkte& q, const TVek& c, Ext R, bool frei, TMatrix4& N, Ext g[4], TMatrix4& H) {
    if (frei) Normalsummen<4, true>(q, c, R, N, g, H);
    else Normalsummen<3, true>(q, c, R, N, g, H);
}

// The step: Newton's, -(N + H)^-1 g, where N + H is positive definite; otherwise Gauss-Newton's,
// -N^-1 g. Gauss-Newton alone leaves out the curvature of the distances themselves; where the
// points lie in a band round the sphere and the centre near their plane, the derivatives across
// the band vanish and its steps swing far from side to side, so that it does not converge within
// the iterations allowed. False when N itself is singular.
bool Schritt(const TMatrix4& N, const TMatrix4& H, const Ext g[4], int k, Ext d[4]) {
    // The lower triangles, as the factors read them.
    TMatrix4 NH;
    for (int j = 0; j < k; ++j)
        for (int l = 0; l <= j; ++l) NH[j][l] = j < 3 ? N[j][l] + H[j][l] : N[j][l];
    // N's factor tells whether N is regular; N's inverse is needed only where N + H is not.
    TMatrix4 LN, LNH, Q;
    if (!Cholesky(N, k, LN)) return false;
    InverseAusCholesky(Cholesky(NH, k, LNH) ? LNH : LN, k, Q);
    for (int j = 0; j < 4; ++j) d[j] = 0;
    for (int j = 0; j < k; ++j)
        for (int l = 0; l < k; ++l) d[j] -= Q[j][l] * g[l];
    return true;
}

// The centre and radius a fraction lambda of the step d further on.
std::pair<TVek, Ext> Versetzt(const TGaussNewton& e, const Ext d[4], Ext lambda) {
    return {e.c + lambda * TVek{d[0], d[1], d[2]}, e.R + lambda * d[3]};
}

// Where a weakly determined direction makes the steps overshoot (points near a band around the
// sphere, whose residuals change only to second order with the centre's position across it),
// Gauss-Newton converges slowly, swinging from side to side of the minimum. The parabola through
// the sum of squares at the start, its slope there (2 g . d) and its value after the accepted
// step gives the best fraction of the step; it is taken when it lowers the sum further.
// Returns the fraction taken and the sum of squares there.
std::pair<Ext, Ext> Parabel(const TReduziertePunkte& q, const TGaussNewton& e, const Ext d[4], const Ext g[4], Ext lambda,
                            Ext ssq) {
    const Ext steigung = 2 * (g[0] * d[0] + g[1] * d[1] + g[2] * d[2] + g[3] * d[3]);
    const Ext kruemmung = ssq - e.ssq - steigung * lambda;
    if (!(steigung < 0) || !(kruemmung > 0)) return {lambda, ssq};
    const Ext best = -steigung * lambda * lambda / (2 * kruemmung);
    if (!(best > 0.05L * lambda) || !(best < lambda)) return {lambda, ssq};
    const auto [c, R] = Versetzt(e, d, best);
    const Ext dort = SumOfSquares(q, c, R);
    return dort < ssq ? std::pair<Ext, Ext>{best, dort} : std::pair<Ext, Ext>{lambda, ssq};
}

}  // namespace

TVek Richtung(const TVek& c, const TVek& q) {
    const TVek d = c - q;
    const Ext laenge = Norm(d);
    return laenge > 0 ? (1 / laenge) * d : TVek{};
}

bool Kofaktoren(const TReduziertePunkte& q, const TVek& c, bool radiusFrei, TMatrix4& Q) {
    // Only N is needed: the second-order part is left out.
    Ext g[4];
    TMatrix4 H;
    Q = TMatrix4{};
    if (radiusFrei) Normalsummen<4, false>(q, c, 0, Q, g, H);
    else Normalsummen<3, false>(q, c, 0, Q, g, H);
    return InvertSymmetric(Q, radiusFrei ? 4 : 3);
}

TGaussNewton GaussNewton(const TReduziertePunkte& q, const TVek& c0, long double R0, bool radiusFrei) {
    const int k = radiusFrei ? 4 : 3;
    TGaussNewton e;
    e.c = c0;
    e.R = R0;
    e.ssq = SumOfSquares(q, c0, R0);
    for (int it = 1; it <= toleranz::MaxIterationen; ++it) {
        e.Iterationen = it;
        TMatrix4 N, H;
        Ext g[4], d[4];
        Normalgleichungen(q, e.c, e.R, radiusFrei, N, g, H);
        if (!Schritt(N, H, g, k, d)) {
            e.Status = TGaussNewton::TStatus::Singulaer;
            return e;
        }
        // Halve the step while the sum of squares would grow. Where no part of it lowers the sum,
        // the centre is already as good as the arithmetic can tell.
        Ext lambda = 1, ssq = 0;
        for (int halbiert = 0;; ++halbiert) {
            const auto [c, R] = Versetzt(e, d, lambda);
            ssq = SumOfSquares(q, c, R);
            if (ssq <= e.ssq) break;
            if (halbiert == toleranz::MaxHalbierungen) {
                e.Status = TGaussNewton::TStatus::Konvergiert;
                return e;
            }
            lambda /= 2;
        }
        std::tie(lambda, ssq) = Parabel(q, e, d, g, lambda, ssq);
        std::tie(e.c, e.R) = Versetzt(e, d, lambda);
        e.ssq = ssq;
        if (lambda * std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + d[3] * d[3]) < toleranz::KonvergenzSchritt) {
            e.Status = TGaussNewton::TStatus::Konvergiert;
            return e;
        }
    }
    return e;
}

}  // namespace zentrix
