// SPDX-License-Identifier: GPL-3.0-or-later
// Outlier test: externally studentized residuals T_i = v_i / (s_(i) sqrt(r_i)), with s_(i) the
// standard deviation of unit weight computed without point i, s_(i)^2 = ((n - 3) m0^2 - v_i^2 /
// r_i) / (n - 4). Under the hypothesis that point i is no blunder T_i follows Student's t with
// n - 4 degrees of freedom; the largest |T_i| above the 99.9 % quantile marks one point. The
// surveyor removes it and computes again: after a blunder is gone the others' residuals change.
//
// Radius check: the same points adjusted with the radius free give a radius and its standard
// deviation; a given reflector radius further from it than the 99.9 % quantile times that
// deviation is flagged, since a wrong reflector radius is the commonest blunder of all.
#include "numerics/KugelPruefung.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <cstddef>
#include <limits>

#include "numerics/GaussNewton.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

int Ausreisser(const TReduziertePunkte& q, const TVek& c, Ext R, const TAusgleichung& a, const TKonvergenz& k, int n) {
    int best = 0;
    Ext bestT = k.tQuantil;
    for (int i = 0; i < n; ++i) {
        const Ext v = Verbesserung(c, q[static_cast<std::size_t>(i)], R), r = k.r[static_cast<std::size_t>(i)];
        if (r < toleranz::MindestRedundanz) continue;  // a point that checks itself alone cannot be tested
        const Ext s2 = ((n - 3) * static_cast<Ext>(a.m0) * a.m0 - v * v / r) / (n - 4);
        const Ext T = s2 > 0 ? std::fabs(v) / (std::sqrt(s2) * std::sqrt(r)) : std::numeric_limits<Ext>::infinity();
        if (T > bestT) {
            bestT = T;
            best = i + 1;
        }
    }
    return best;
}

std::optional<TRadiusPruefung> PruefeRadius(const TReduziertePunkte& q, const TVek& c, Ext R, Ext t) {
    const int n = static_cast<int>(q.size());
    const TGaussNewton frei = GaussNewton(q, c, R, true);
    TMatrix4 Q;
    if (frei.Status != TGaussNewton::TStatus::Konvergiert || !Kofaktoren(q, frei.c, true, Q)) return std::nullopt;
    TRadiusPruefung p;
    p.RFrei = static_cast<double>(frei.R);
    p.mR = static_cast<double>(std::sqrt(frei.ssq / (n - 4)) * std::sqrt(Q[3][3]));
    p.Grenze = std::max(static_cast<double>(t) * p.mR, toleranz::RadiusGrenzeMindestens);
    p.Abweichend = std::fabs(static_cast<Ext>(p.RFrei) - R) > p.Grenze;
    return p;
}

}  // namespace

double TQuantil999(int df) {
    auto quantil = [df] { return boost::math::quantile(boost::math::students_t_distribution<double>(df), 1 - 0.001 / 2); };
    // It depends on the degrees of freedom alone, and a day's evaluation asks for a few of them a
    // hundred thousand times: each of the small ones is computed once (0: not yet; two threads that
    // both compute one store the same value).
    static std::array<std::atomic<double>, 256> bekannt{};
    if (df < 1 || df >= static_cast<int>(bekannt.size())) return quantil();
    std::atomic<double>& t = bekannt[static_cast<std::size_t>(df)];
    double wert = t.load(std::memory_order_relaxed);
    if (wert == 0) {
        wert = quantil();
        t.store(wert, std::memory_order_relaxed);
    }
    return wert;
}

bool PruefeKugel(const TReduziertePunkte& q, const TVek& c, long double R, TAusgleichung& a, TKonvergenz& k) {
    const int n = static_cast<int>(q.size());
    TMatrix4 Q;
    if (!Kofaktoren(q, c, false, Q)) return false;
    Ext vv = 0;
    for (const TVek& p : q) {
        const Ext v = Norm(c - p) - R;
        vv += v * v;
    }
    if (n <= 3) return true;  // no redundancy: no precision figures
    const Ext m0 = std::sqrt(vv / (n - 3));
    a.m0 = static_cast<double>(m0);
    a.m = {static_cast<double>(m0 * std::sqrt(Q[0][0])), static_cast<double>(m0 * std::sqrt(Q[1][1])),
           static_cast<double>(m0 * std::sqrt(Q[2][2]))};
    k.r.reserve(q.size());
    a.NV.reserve(q.size());
    for (std::size_t i = 0; i < q.size(); ++i) {
        const TVek ai = Richtung(c, q[i]);
        const Ext ak[3] = {ai.x, ai.y, ai.z};
        Ext aqa = 0;
        for (int j = 0; j < 3; ++j)
            for (int l = 0; l < 3; ++l) aqa += ak[j] * Q[j][l] * ak[l];
        const Ext r = 1 - aqa;
        k.r.push_back(static_cast<double>(r));
        a.NV.push_back(r >= toleranz::MindestRedundanz && m0 > 0
                           ? static_cast<double>(Verbesserung(c, q[i], R) / (m0 * std::sqrt(r)))
                           : std::numeric_limits<double>::quiet_NaN());
    }
    if (n < 5) return true;
    k.tQuantil = TQuantil999(n - 4);
    if (m0 >= toleranz::PruefGrenze) k.Ausreisser = Ausreisser(q, c, R, a, k, n);
    k.Radius = PruefeRadius(q, c, R, k.tQuantil);
    return true;
}

}  // namespace zentrix
