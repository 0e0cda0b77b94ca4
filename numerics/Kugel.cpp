// SPDX-License-Identifier: GPL-3.0-or-later
// The sphere centre solver.
//
// Stage 1 finds a centre from three well-spread points: the circle through them in plan, lifted
// by the height that puts the points at distance R, always below the points' plane (the
// reflector is seen from above the sphere's equator or from the side). Stage 2 takes the exact
// sphere through the first four points, and stage 3 one least-squares step from there.
#include "numerics/Kugel.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "numerics/BasePair.hpp"
#include "numerics/Gleitkomma.hpp"
#include "numerics/Matrix.hpp"
#include "numerics/Polar.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

using Ext = long double;  // extended precision

void PolarToRectangular(TPunktArray& Punkte, int n) {
    for (int i = 1; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        const TPlan plan = Plan(p.X, p.Y);
        const double x = StoreDouble(plan.X);
        const double y = StoreDouble(plan.Y);
        p.X = x;
        p.Y = y;
    }
}

// The entries before a point straight above or below the station stay converted.
void RectangularToPolar(TPunktArray& Punkte, int n) {
    for (int i = 0; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        double s = 0, t = 0;
        DirectionAndDistance(p.Y, p.X, s, t);
        p.X = s;
        p.Y = StoreDouble(static_cast<Ext>(t) * Rho);
        p.Z = StoreDouble(Hoehenwinkel(p.Z, s));
    }
}

namespace {

// The third point: the one farthest from the line a-b in plan (0 when every point lies on it),
// its distance e = |s_i sin(t_i - t_ab)| from the direction and distance of each point from a.
// Only a strictly larger e replaces the running maximum. `nur` names the points to look at (all
// when empty); those left out must be farther from the maximum than any rounding.
int ThirdPointExakt(const TPunktArray& Punkte, int n, int a, int b, const std::vector<int>& nur) {
    const TPunkt& pa = Punkte[a];
    double s = 0, tab = 0;
    DirectionAndDistance(StoreDouble(static_cast<Ext>(Punkte[b].Y) - pa.Y),
                         StoreDouble(static_cast<Ext>(Punkte[b].X) - pa.X), s, tab);
    int k = 0;
    double maxOff = 0;
    const std::size_t anzahl = nur.empty() ? static_cast<std::size_t>(n) : nur.size();
    for (std::size_t m = 0; m < anzahl; ++m) {
        const int i = nur.empty() ? static_cast<int>(m) + 1 : nur[m];
        double si = 0, ti = 0;
        DirectionAndDistance(StoreDouble(static_cast<Ext>(Punkte[i].Y) - pa.Y),
                             StoreDouble(static_cast<Ext>(Punkte[i].X) - pa.X), si, ti);
        const double e = StoreDouble(std::fabs(si * std::sin(static_cast<Ext>(ti) - tab)));
        if (i != b && e > maxOff) {
            maxOff = e;
            k = i;
        }
    }
    return k;
}

// The distance from the line by the cross product first, then the exact rule (a direction and a
// sine for each point) only for the points within a billionth of the points' spread of the
// largest: the others cannot reach it, whatever the rounding.
int ThirdPoint(const TPunktArray& Punkte, int n, int a, int b) {
    if (a == b) return ThirdPointExakt(Punkte, n, a, b, {});
    const TPunkt &pa = Punkte[a], &pb = Punkte[b];
    const double ux = pb.X - pa.X, uy = pb.Y - pa.Y;
    // |u x d| for point i, in double (its rounding is some 1e-16 of the terms, the margin 1e-9
    // of the spread), and the spread |dx| + |dy| as a scale; on both cores.
    auto kreuz = [&](int i) {
        const double dx = Punkte[i].X - pa.X, dy = Punkte[i].Y - pa.Y;
        return std::fabs(ux * dy - uy * dx);
    };
    struct TMax {
        double groesster = 0, weite = 0;
    };
    TMax m;
    const auto anzahl = static_cast<std::size_t>(n);
    InBloecken(anzahl, TeilGroesse(anzahl, AufEinemKern), [&](std::size_t anfang, std::size_t ende) {
        TMax teil;
        for (auto i = static_cast<int>(anfang) + 1; i <= static_cast<int>(ende); ++i) {
            if (i != b) teil.groesster = std::max(teil.groesster, kreuz(i));
            teil.weite = std::max(teil.weite, std::fabs(Punkte[i].X - pa.X) + std::fabs(Punkte[i].Y - pa.Y));
        }
        return teil;
    }, [&m](const TMax& t) {
        m.groesster = std::max(m.groesster, t.groesster);
        m.weite = std::max(m.weite, t.weite);
    });
    const double groesster = m.groesster;
    const double laenge = std::sqrt(ux * ux + uy * uy);
    const double grenze = groesster - toleranz::DritterKandidatRelativ * m.weite * laenge;
    thread_local std::vector<int> kandidaten;  // its memory kept for the next sphere
    kandidaten.clear();
    for (int i = 1; i <= n; ++i)
        if (kreuz(i) >= grenze) kandidaten.push_back(i);
    return ThirdPointExakt(Punkte, n, a, b, kandidaten);
}

// The plan circumcentre of a, b, k from two perpendicular-bisector equations, solved by the
// inversion of Matrix.hpp (row exchanges where a pivot is too small: equal X of a and b is solved).
bool PlanCircumcentre(const TPunkt& pa, const TPunkt& pb, const TPunkt& pk, double& XM, double& YM) {
    TMatrix M = NewMatrix(3, 3);
    TVektor v(3);
    const Ext xa = pa.X, ya = pa.Y, xb = pb.X, yb = pb.Y, xk = pk.X, yk = pk.Y;
    M[1][1] = StoreDouble(2 * (xb - xa));
    M[1][2] = StoreDouble(2 * (yb - ya));
    v[1] = StoreDouble(xb * xb - xa * xa + yb * yb - ya * ya);
    M[2][1] = StoreDouble(2 * (xk - xa));
    M[2][2] = StoreDouble(2 * (yk - ya));
    v[2] = StoreDouble(xk * xk - xa * xa + yk * yk - ya * ya);
    if (!InvertMatrix(M, 2)) return false;
    XM = 0;
    YM = 0;
    for (int j = 1; j <= 2; ++j) XM = StoreDouble(static_cast<Ext>(M[1][j]) * v[j] + XM);
    for (int j = 1; j <= 2; ++j) YM = StoreDouble(static_cast<Ext>(M[2][j]) * v[j] + YM);
    return true;
}

}  // namespace

KugelErgebnis ThreePointCentre(const TPunktArray& Punkte, int n, double R, TXYZ& centre) {
    const auto [a, b] = BasePair(Punkte, n);
    const int k = ThirdPoint(Punkte, n, a, b);
    if (k == 0) return KugelErgebnis::Kollinear;
    const TPunkt &pa = Punkte[a], &pb = Punkte[b], &pk = Punkte[k];

    // Unit normal of the plane through a, b, k. A radius of 0 or below is no sphere.
    const Ext ux = static_cast<Ext>(pb.X) - pa.X, uy = static_cast<Ext>(pb.Y) - pa.Y, uz = static_cast<Ext>(pb.Z) - pa.Z;
    const Ext wx = static_cast<Ext>(pk.X) - pa.X, wy = static_cast<Ext>(pk.Y) - pa.Y, wz = static_cast<Ext>(pk.Z) - pa.Z;
    const double nx = StoreDouble(uy * wz - uz * wy);
    const double ny = StoreDouble(uz * wx - ux * wz);
    const double nz = StoreDouble(ux * wy - uy * wx);
    const double len =
        StoreDouble(std::sqrt(static_cast<Ext>(nx) * nx + static_cast<Ext>(ny) * ny + static_cast<Ext>(nz) * nz));
    if (len <= 0 || !(R > 0)) return KugelErgebnis::KeineEbene;
    const double NX = StoreDouble(Divide(nx, len));
    const double NY = StoreDouble(Divide(ny, len));
    const double NZ = StoreDouble(Divide(nz, len));

    double XM = 0, YM = 0;
    if (!PlanCircumcentre(pa, pb, pk, XM, YM)) return KugelErgebnis::KreisSingulaer;

    // Height of the centre above or below the circle's plane: h^2 = R^2 - r^2.
    const Ext ex = static_cast<Ext>(XM) - pa.X, ey = static_cast<Ext>(YM) - pa.Y;
    const double h2 = StoreDouble(static_cast<Ext>(R) * R - ex * ex - ey * ey);
    if (h2 <= 0) return KugelErgebnis::RadiusZuKlein;
    double h = StoreDouble(std::sqrt(static_cast<Ext>(h2)));

    // From the mean height of the three points along the normal, always downwards.
    const double ZM = StoreDouble((static_cast<Ext>(pa.Z) + pb.Z + pk.Z) / 3);
    if (NZ < 0) h = -h;
    centre.X = StoreDouble(XM - static_cast<Ext>(h) * NX);
    centre.Y = StoreDouble(YM - static_cast<Ext>(h) * NY);
    centre.Z = StoreDouble(ZM - static_cast<Ext>(h) * NZ);
    return KugelErgebnis::Ok;
}

namespace {

// The stages in order; an arithmetic fault passes out of here to LoeseKugel.
void Solve(TPunktArray& Punkte, bool Polar, TKugelLoesung& L) {
    const int n = L.n;
    Punkte[0].X = 0;
    Punkte[0].Y = 0;
    Punkte[0].Z = 0;
    if (Polar) PolarToRectangular(Punkte, n);

    TXYZ centre;
    L.Ergebnis = ThreePointCentre(Punkte, n, L.R, centre);
    if (L.Ergebnis != KugelErgebnis::Ok) return;
    L.DreiPunkt = centre;

    // The exact sphere through points 1 to 4. When its system is singular, the adjustment starts
    // from the three-point centre rather than from the origin.
    if (n > 3) {
        L.VierPunktGerechnet = true;
        L.VierPunkt = SphereFromFourPoints(Punkte, n);
        if (L.VierPunkt) centre = L.VierPunkt->Zentrum;
    }

    TAusgleichung a;
    L.Ergebnis = KugelAusgleichung(Punkte, n, L.R, centre, a);
    if (L.Ergebnis != KugelErgebnis::Ok) return;
    L.Ausgleichung = std::move(a);
    if (Polar) RectangularToPolar(Punkte, n);
}

}  // namespace

TKugelLoesung LoeseKugelEinstufig(TPunktArray& Punkte, int n, bool Polar, double R) {
    TKugelLoesung L;
    L.n = n;
    L.R = R;
    if (n < 3) {
        L.Ergebnis = KugelErgebnis::ZuWenigPunkte;
        return L;
    }
    try {
        Solve(Punkte, Polar, L);
    } catch (const EMathError& e) {
        L.Ergebnis = KugelErgebnis::Rechenfehler;
        L.Fehlertext = e.what();
    }
    return L;
}

}  // namespace zentrix
