#include "numerics/GaussNewton.hpp"
#include "numerics/Toleranzen.hpp"

#include <tuple>
#include <utility>

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

Ext SumOfSquares(const TReduziertePunkte& q, const TVek& c, Ext R) {
    Ext ssq = 0;
    for (const TVek& p : q) {
        const Ext v = Norm(c - p) - R;
        ssq += v * v;
    }
    return ssq;
}

// The normal matrix N = A^T A and g = A^T f at (c, R), with the rows (a_i, -1) when the radius is
// free; and in H the second-order part of the Hessian of the sum of squares (halved), the sum of
// f_i (I - a_i a_i^T) / |c - q_i| over the points.
void Normalgleichungen(const TReduziertePunkte& q, const TVek& c, Ext R, bool frei, TMatrix4& N, Ext g[4], TMatrix4& H) {
    N = TMatrix4{};
    H = TMatrix4{};
    for (int j = 0; j < 4; ++j) g[j] = 0;
    const int k = frei ? 4 : 3;
    for (const TVek& p : q) {
        const TVek a = Richtung(c, p);
        const Ext zeile[4] = {a.x, a.y, a.z, -1};
        const Ext abstand = Norm(c - p), f = abstand - R;
        for (int j = 0; j < k; ++j) {
            g[j] += zeile[j] * f;
            for (int l = 0; l < k; ++l) N[j][l] += zeile[j] * zeile[l];
        }
        if (abstand > 0)
            for (int j = 0; j < 3; ++j)
                for (int l = 0; l < 3; ++l) H[j][l] += f * ((j == l ? 1 : 0) - zeile[j] * zeile[l]) / abstand;
    }
}

// The step: Newton's, -(N + H)^-1 g, where N + H is positive definite; otherwise Gauss-Newton's,
// -N^-1 g. Gauss-Newton alone leaves out the curvature of the distances themselves; where the
// points lie in a band round the sphere and the centre near their plane, the derivatives across
// the band vanish and its steps swing far from side to side, so that it does not converge within
// the iterations allowed. False when N itself is singular.
bool Schritt(TMatrix4 N, const TMatrix4& H, const Ext g[4], int k, Ext d[4]) {
    TMatrix4 NH = N;
    for (int j = 0; j < 3; ++j)
        for (int l = 0; l < 3; ++l) NH[j][l] += H[j][l];
    if (!InvertSymmetric(N, k)) return false;
    const TMatrix4& Q = InvertSymmetric(NH, k) ? NH : N;
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
Ext Parabel(const TReduziertePunkte& q, const TGaussNewton& e, const Ext d[4], const Ext g[4], Ext lambda, Ext ssq) {
    const Ext steigung = 2 * (g[0] * d[0] + g[1] * d[1] + g[2] * d[2] + g[3] * d[3]);
    const Ext kruemmung = ssq - e.ssq - steigung * lambda;
    if (!(steigung < 0) || !(kruemmung > 0)) return lambda;
    const Ext best = -steigung * lambda * lambda / (2 * kruemmung);
    if (!(best > 0.05L * lambda) || !(best < lambda)) return lambda;
    const auto [c, R] = Versetzt(e, d, best);
    return SumOfSquares(q, c, R) < ssq ? best : lambda;
}

}  // namespace

TVek Richtung(const TVek& c, const TVek& q) {
    const TVek d = c - q;
    const Ext laenge = Norm(d);
    return laenge > 0 ? (1 / laenge) * d : TVek{};
}

bool Kofaktoren(const TReduziertePunkte& q, const TVek& c, bool radiusFrei, TMatrix4& Q) {
    Ext g[4];
    TMatrix4 H;
    Normalgleichungen(q, c, 0, radiusFrei, Q, g, H);
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
        lambda = Parabel(q, e, d, g, lambda, ssq);
        std::tie(e.c, e.R) = Versetzt(e, d, lambda);
        e.ssq = SumOfSquares(q, e.c, e.R);
        if (lambda * std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + d[3] * d[3]) < toleranz::KonvergenzSchritt) {
            e.Status = TGaussNewton::TStatus::Konvergiert;
            return e;
        }
    }
    return e;
}

}  // namespace zentrix
