// The converged fixed-radius solver.
//
// The one-step method ("einstufig") takes one linearised step from the free four-point sphere and
// gives up wherever its three-point stage does. Here the centre is iterated to the least-squares
// solution of the residuals |C - P_i| - R from several start values, and the fit is then judged
// (KugelPruefung). A sphere of known radius through points on one side of it has two solutions
// that fit almost equally well, mirror images through the points' plane: the starts cover both
// sides. Without a station the better fit is taken. With the station at the origin the instrument
// saw only the near side of the sphere, so its centre lies behind the pointed surface: with four
// points or more a solution there is taken over a better fit in front of it, which noise on a
// group of four produces in a few groups in a hundred. Between equal fits the choice follows
// where the instrument stood.
//
// Everything runs in extended precision on coordinates reduced to the points' centroid, so that
// national-grid coordinates (800 km) give the same centre as local ones.
#include "numerics/KugelIterativ.hpp"

#include <cmath>
#include <utility>

#include "core/Fehler.hpp"
#include "numerics/Gleitkomma.hpp"
#include "numerics/GaussNewton.hpp"
#include "numerics/KugelPruefung.hpp"
#include "numerics/Toleranzen.hpp"

namespace zentrix {

namespace {

using Ext = long double;  // extended precision

// The points reduced to their centroid g (formed when asked for, from points 1..n of the list).
struct TReduziert {
    TVek g;
    TReduziertePunkte q;
};

TReduziert Reduziere(const TPunktArray& P, int n) {
    TVek g;
    for (int i = 1; i <= n; ++i) g = g + TVek{P[i].X, P[i].Y, P[i].Z};
    g = (1.0L / n) * g;
    return {g, TReduziertePunkte(&P[1], static_cast<std::size_t>(n), g)};
}

// The unit normal of the points' best-fit plane and their mean distance from the centroid within
// it (metres).
void Ausgleichsebene(const TReduziertePunkte& q, TVek& normale, Ext& radius) {
    TMatrix4 m{};
    for (const TVek& p : q) {
        const Ext k[3] = {p.x, p.y, p.z};
        for (int j = 0; j < 3; ++j)
            for (int l = 0; l < 3; ++l) m[j][l] += k[j] * k[l];
    }
    normale = KleinsteAchse(m);
    radius = 0;
    for (const TVek& p : q) radius += Norm(p - Dot(p, normale) * normale);
    radius /= static_cast<Ext>(q.size());
}

// The start values: the four- and three-point centres where they exist, both sides of the
// best-fit plane at the height that puts a circle of the points' spread on the sphere, and with
// a station the centroid moved by R away from it. Starts closer than a micrometre to an earlier
// one are left out.
std::vector<TVek> Startwerte(const TKugelLoesung& L0, const TReduziert& r, Ext R, bool station) {
    std::vector<TVek> starts;
    auto add = [&starts](const TVek& s) {
        if (!std::isfinite(s.x) || !std::isfinite(s.y) || !std::isfinite(s.z)) return;
        for (const TVek& t : starts)
            if (Norm(t - s) < toleranz::StartAbstand) return;
        starts.push_back(s);
    };
    if (L0.VierPunkt) add(TVek{L0.VierPunkt->Zentrum.X, L0.VierPunkt->Zentrum.Y, L0.VierPunkt->Zentrum.Z} - r.g);
    if (L0.DreiPunkt) add(TVek{L0.DreiPunkt->X, L0.DreiPunkt->Y, L0.DreiPunkt->Z} - r.g);
    TVek normale;
    Ext radius = 0;
    Ausgleichsebene(r.q, normale, radius);
    const Ext h = std::sqrt(std::max(R * R - radius * radius, 0.0L));
    add(h * normale);
    add((-h) * normale);
    if (station && Norm(r.g) > 0) add((R / Norm(r.g)) * r.g);
    return starts;
}

// True when a is to be preferred to b, two solutions that fit equally well, or the two exact
// solutions through three points. With a station (at the origin, -g reduced) the centre lies
// behind the points as seen from it: (P_i - C) . (S - P_i) > 0 for more of the points. Where that
// does not decide (no station, or a ring of pointings level with the instrument, which both mirror
// images see from behind), the three-point stage's side is taken: below the points' plane, the
// lower of the two.
bool Vorzuziehen(const TVek& a, const TVek& b, const TReduziert& r, bool station) {
    if (station) {
        const TVek s = (-1.0L) * r.g;
        int hinterA = 0, hinterB = 0;
        for (const TVek& p : r.q) {
            if (Dot(p - a, s - p) > 0) ++hinterA;
            if (Dot(p - b, s - p) > 0) ++hinterB;
        }
        if (hinterA != hinterB) return hinterA > hinterB;
    }
    return a.z < b.z;
}

// The mean distance (metres) of the points from the station at the origin (-g reduced).
Ext MittlererAbstand(const TReduziert& r) {
    Ext summe = 0;
    for (const TVek& p : r.q) summe += Norm(p + r.g);
    return summe / static_cast<Ext>(r.q.size());
}

// The centre c lies behind the pointed surface as seen from the station: farther from it than the
// points are on average (mittel, metres). Its mirror image through the points' plane lies in
// front of them, unless the points are a band level with the line of sight, which puts both
// mirror images behind.
bool Dahinter(const TVek& c, const TReduziert& r, Ext mittel) { return Norm(c + r.g) > mittel; }

// A candidate behind the surface is taken over a better fit only while it is a fit at all: its
// standard deviation of unit weight sqrt(ssq / (n - 3)) at most toleranz::SeiteHoechstens of the
// radius. Points
// measured all round a sphere (no station sees that) have their exact centre in front of their
// mean distance; a candidate behind it with residuals of a tenth of the radius does not describe a
// sphere through them, and the sum of squares decides. A real group of four with its mirror image
// in front fits behind within a few millimetres.
bool AlsSeitePlausibel(const TGaussNewton& e, std::size_t n, Ext R) {
    return n > 3 && std::sqrt(e.ssq / static_cast<Ext>(n - 3)) <= toleranz::SeiteHoechstens * R;
}

// Equal within the rounding of the iteration: the sums of squares differ by less than a
// millionth, or by less than a nanometre's square per point.
bool Gleich(Ext a, Ext b, std::size_t n) { return std::fabs(a - b) <= toleranz::GleichRelativ * std::max(a, b) + n * toleranz::GleichJePunkt; }

// The exact centres of the sphere through three points: the circle's centre and, when the sphere
// is larger than the circle, its two mirror images along the plane's normal.
KugelErgebnis ExactThreePointCentres(const TReduziert& r, Ext R, bool station, TVek& c, std::string& fehler) {
    const TVek u = r.q[1] - r.q[0], w = r.q[2] - r.q[0], nrm = Cross(u, w);
    if (Norm(nrm) <= toleranz::KollinearRelativ * Norm(u) * Norm(w)) {
        fehler = "Die drei Punkte liegen auf einer Geraden";
        return KugelErgebnis::Kollinear;
    }
    const TVek kreis = r.q[0] + (1 / (2 * Dot(nrm, nrm))) * Cross(Dot(u, u) * w - Dot(w, w) * u, nrm);
    const Ext rho = Norm(kreis - r.q[0]);
    if (rho > R * (1 + toleranz::KreisUeberRadius)) {
        fehler = "Der Kreis durch die drei Punkte ist größer als die Kugel: der Radius ist zu klein";
        return KugelErgebnis::RadiusZuKlein;
    }
    const TVek n = (std::sqrt(std::max(R * R - rho * rho, 0.0L)) / Norm(nrm)) * nrm;
    const TVek a = kreis + n, b = kreis - n;
    c = Vorzuziehen(a, b, r, station) ? a : b;
    return KugelErgebnis::Ok;
}

// A converged solution and the start that led to it.
struct TKandidat {
    TGaussNewton e;
    TVek start;
    bool gefunden = false;
};

// True when e is to be preferred to the best so far, w: the smaller sum of squares, and between
// equal fits Vorzuziehen.
bool Besser(const TGaussNewton& e, const TKandidat& w, const TReduziert& r, bool station) {
    if (!w.gefunden) return true;
    const std::size_t n = r.q.size();
    return (e.ssq < w.e.ssq && !Gleich(e.ssq, w.e.ssq, n)) ||
           (Gleich(e.ssq, w.e.ssq, n) && Vorzuziehen(e.c, w.e.c, r, station));
}

// The best of the converged solutions from every start, or the failure and its reason. With a
// station the best of those behind the pointed surface is kept beside it and taken where the best
// fit lies in front; wahl says which rule decided.
KugelErgebnis Iteriere(const TKugelLoesung& L0, const TReduziert& r, Ext R, bool station, TKandidat& best,
                       TSeitenwahl& wahl, std::string& fehler) {
    bool singulaer = false;
    TKandidat dahinter;
    const Ext mittel = station ? MittlererAbstand(r) : 0;
    for (const TVek& s : Startwerte(L0, r, R, station)) {
        const TGaussNewton e = GaussNewton(r.q, s, R, false);
        singulaer = singulaer || e.Status == TGaussNewton::TStatus::Singulaer;
        if (e.Status != TGaussNewton::TStatus::Konvergiert) continue;
        if (Besser(e, best, r, station)) best = {e, s, true};
        if (station && Dahinter(e.c, r, mittel) && AlsSeitePlausibel(e, r.q.size(), R) && Besser(e, dahinter, r, station))
            dahinter = {e, s, true};
    }
    if (best.gefunden) {
        const bool seite = dahinter.gefunden && !Dahinter(best.e.c, r, mittel);
        if (seite) best = dahinter;
        wahl = !station ? TSeitenwahl::Keine : seite ? TSeitenwahl::Standpunkt : TSeitenwahl::Quadratsumme;
        return KugelErgebnis::Ok;
    }
    if (singulaer) {
        fehler = "Die Normalgleichungen sind singulär: die Punkte liegen auf einer Geraden oder in einem Punkt";
        return KugelErgebnis::NormalSingulaer;
    }
    fehler = "Die Ausgleichung konvergiert nicht (" + std::to_string(toleranz::MaxIterationen) + " Iterationen von jedem Startwert)";
    return KugelErgebnis::NichtKonvergiert;
}

// The three- and four-point solutions as the one-step method finds them, where they exist.
void Naeherungen(const TPunktArray& P, int n, TKugelLoesung& L) {
    try {
        TXYZ c;
        if (ThreePointCentre(P, n, L.R, c) == KugelErgebnis::Ok) L.DreiPunkt = c;
        if (n > 3) L.VierPunkt = SphereFromFourPoints(P, n);
    } catch (const EMathError&) {
        // A stage the arithmetic cannot carry out gives no start value; the iteration goes on.
    }
}

// Centre, residuals and statistics into the result and the point list.
void Uebernimm(TPunktArray& P, int n, const TReduziert& r, const TVek& c, const TVek& start, int iterationen,
               TSeitenwahl wahl, TKugelLoesung& L) {
    TAusgleichung a;
    TKonvergenz k;
    k.Iterationen = iterationen;
    k.Seitenwahl = wahl;
    if (!PruefeKugel(r.q, c, L.R, a, k)) {
        L.Ergebnis = KugelErgebnis::NormalSingulaer;
        L.Fehlertext = "Die Normalgleichungen sind im Mittelpunkt singulär";
        return;
    }
    const TVek C = c + r.g, S = start + r.g;
    a.Zentrum = {StoreDouble(C.x), StoreDouble(C.y), StoreDouble(C.z)};
    k.Start = {StoreDouble(S.x), StoreDouble(S.y), StoreDouble(S.z)};
    a.Korrektur = {StoreDouble(S.x - a.Zentrum.X), StoreDouble(S.y - a.Zentrum.Y), StoreDouble(S.z - a.Zentrum.Z)};
    for (int i = 1; i <= n; ++i) P[i].vR = Verbesserung(c, r.q[static_cast<std::size_t>(i - 1)], L.R);
    P[0].X = a.Zentrum.X;
    P[0].Y = a.Zentrum.Y;
    P[0].Z = a.Zentrum.Z;
    L.Ausgleichung = std::move(a);
    L.Konvergenz = std::move(k);
}

void Solve(TPunktArray& P, int n, bool Polar, bool station, TKugelLoesung& L) {
    P[0].X = 0;
    P[0].Y = 0;
    P[0].Z = 0;
    if (Polar) PolarToRectangular(P, n);
    if (!(L.R > 0) || !std::isfinite(L.R)) {
        L.Ergebnis = KugelErgebnis::KeineEbene;
        L.Fehlertext = "Der Kugelradius muss größer als 0 sein";
        return;
    }
    Naeherungen(P, n, L);
    const TReduziert r = Reduziere(P, n);
    TVek c, start;
    int iterationen = 0;
    TSeitenwahl wahl = TSeitenwahl::Keine;
    if (n == 3) {
        L.Ergebnis = ExactThreePointCentres(r, L.R, station, c, L.Fehlertext);
        start = c;
    } else {
        TKandidat best;
        L.Ergebnis = Iteriere(L, r, L.R, station, best, wahl, L.Fehlertext);
        c = best.e.c;
        start = best.start;
        iterationen = best.e.Iterationen;
    }
    if (L.Ergebnis != KugelErgebnis::Ok) return;
    Uebernimm(P, n, r, c, start, iterationen, wahl, L);
    if (L.Ergebnis == KugelErgebnis::Ok && Polar) RectangularToPolar(P, n);
}

}  // namespace

bool IterativLoesbar(const TPunktArray& Punkte, int n, double R, bool station) {
    if (n < 3 || !(R > 0) || !std::isfinite(R)) return false;
    try {
        TKugelLoesung L0;
        L0.R = R;
        Naeherungen(Punkte, n, L0);
        const TReduziert r = Reduziere(Punkte, n);
        TVek c;
        std::string fehler;
        if (n == 3) {
            TMatrix4 Q;
            return ExactThreePointCentres(r, R, station, c, fehler) == KugelErgebnis::Ok && Kofaktoren(r.q, c, false, Q);
        }
        // The solver succeeds when a start converges and the normal equations can be solved at the
        // centre it takes. The first such start whose fit is no worse than the limit of an unsicher
        // centre decides: the solver then takes either a candidate behind the surface within that
        // limit or the smallest sum of squares, at most this start's, so its centre is not
        // unsicher either; and where no start gets within the limit, the solver's centre is
        // unsicher or none. The normal matrix is singular only where every point lies in one
        // plane with the centre (a great circle of the sphere), and a converged centre there is
        // the only solution, mirror image and all. A day's failed spheres are told in a fraction
        // of the time the whole solver with every start and its statistics would take. The
        // starts from the station and the points' plane converge most often: they go first.
        const std::vector<TVek> starts = Startwerte(L0, r, R, station);
        const Ext grenze = toleranz::UnsicherUeber * static_cast<Ext>(R);
        for (auto s = starts.rbegin(); s != starts.rend(); ++s) {
            const TGaussNewton e = GaussNewton(r.q, *s, R, false);
            if (e.Status != TGaussNewton::TStatus::Konvergiert) continue;
            // m0 = sqrt(ssq / (n - 3)) (metres), compared squared.
            if (e.ssq > grenze * grenze * static_cast<Ext>(n - 3)) continue;
            TMatrix4 Q;
            if (Kofaktoren(r.q, e.c, false, Q)) return true;
        }
    } catch (const EMathError&) {
    }
    return false;
}

TKugelLoesung LoeseKugelIterativ(TPunktArray& Punkte, int n, bool Polar, double R, bool stationImUrsprung) {
    TKugelLoesung L;
    L.Iterativ = true;
    L.n = n;
    L.R = R;
    if (n < 3) {
        L.Ergebnis = KugelErgebnis::ZuWenigPunkte;
        L.Fehlertext = "Zu wenig Punkte: eine Kugel braucht mindestens drei";
        return L;
    }
    try {
        Solve(Punkte, n, Polar, Polar || stationImUrsprung, L);
    } catch (const EMathError& e) {
        L.Ergebnis = KugelErgebnis::Rechenfehler;
        L.Fehlertext = e.what();
    }
    return L;
}

}  // namespace zentrix
