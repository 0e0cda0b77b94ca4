// SPDX-License-Identifier: GPL-3.0-or-later
// The one-step method ("einstufig") against the converged solver on simulated total-station groups.
//
// Each group is one reflector sphere seen from a station at the origin: its centre at a slope
// distance of 10, 30 or 80 m, in a random direction, 10 gon above to 10 gon below the horizon.
// The pointings lie on the side facing the instrument, spread by up to 60 degrees to either side
// of the line of sight, and from 20 degrees below to 60 degrees above the centre (front view), or
// within 10 degrees of its height (side view). Every coordinate gets Gaussian noise. Both
// solvers get the same points; the centre error is the distance from the true centre.
//
// Printed per case: the failure rate, and the median, 95th percentile and maximum of the centre
// error (millimetres) of each method. Fixed seed: the table is the same on every run.
//
// A last section takes groups of four pointings, where a sphere of known radius has two centres
// that fit almost equally well (mirror images through the points' plane), through the polar path:
// the converged solver told that the station is at the origin, once with the points in the
// station's rectangular frame and once in polar form (horizontal distance, direction in gon,
// height difference), as "Rechne Datei" hands them on in a polar data format. Its reference is a
// fit of its own that knows the station: the least-squares centre among those behind the pointed
// surface, found here by Levenberg-Marquardt from starts all round the points.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "numerics/Kugel.hpp"
#include "numerics/KugelIterativ.hpp"

namespace {

using zentrix::TPunktArray;

constexpr double kGrad = 3.14159265358979323846 / 180;

struct Fall {
    double radius, weite;  // metres
    int zeigungen;
    bool seite;            // side view: vertical within +-10 degrees
    double rauschen;       // metres, on each coordinate
};

struct Statistik {
    int fehler = 0;
    std::vector<double> abweichung;  // millimetres

    void Zeige(int gruppen) const {
        std::vector<double> a = abweichung;
        std::sort(a.begin(), a.end());
        auto q = [&a](double p) { return a.empty() ? NAN : a[static_cast<std::size_t>(p * (a.size() - 1) + 0.5)]; };
        std::printf(" %5.1f%% %7.2f %7.2f %8.2f", 100.0 * fehler / gruppen, q(0.5), q(0.95), a.empty() ? NAN : a.back());
    }
};

// One group: the true centre and the pointed points (station frame, metres).
TPunktArray Gruppe(const Fall& f, std::mt19937& rng, double c[3]) {
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> rausch(0, f.rauschen);
    const double ri = 2 * M_PI * u(rng), zd = (90 + 20 * u(rng)) / 200 * M_PI;
    c[0] = f.weite * std::sin(zd) * std::cos(ri);
    c[1] = f.weite * std::sin(zd) * std::sin(ri);
    c[2] = f.weite * std::cos(zd);
    const double h = std::hypot(c[0], c[1]);
    const double vorn[2] = {-c[0] / h, -c[1] / h}, seite[2] = {-vorn[1], vorn[0]};  // horizontal
    TPunktArray P(static_cast<std::size_t>(f.zeigungen) + 1);
    for (int i = 1; i <= f.zeigungen; ++i) {
        const double a = (-60 + 120 * u(rng)) * kGrad;
        const double b = (f.seite ? -10 + 20 * u(rng) : -20 + 80 * u(rng)) * kGrad;
        const double cf = std::cos(b) * std::cos(a), cs = std::cos(b) * std::sin(a);
        P[i].X = c[0] + f.radius * (cf * vorn[0] + cs * seite[0]) + rausch(rng);
        P[i].Y = c[1] + f.radius * (cf * vorn[1] + cs * seite[1]) + rausch(rng);
        P[i].Z = c[2] + f.radius * std::sin(b) + rausch(rng);
    }
    return P;
}

void Werte(TPunktArray P, const Fall& f, const double c[3], bool iterativ, Statistik& s) {
    const zentrix::TKugelLoesung L = iterativ ? zentrix::LoeseKugelIterativ(P, f.zeigungen, false, f.radius, true)
                                              : zentrix::LoeseKugelEinstufig(P, f.zeigungen, false, f.radius);
    if (L.Ergebnis != zentrix::KugelErgebnis::Ok) {
        ++s.fehler;
        return;
    }
    s.abweichung.push_back(1000 * std::sqrt((P[0].X - c[0]) * (P[0].X - c[0]) + (P[0].Y - c[1]) * (P[0].Y - c[1]) +
                                            (P[0].Z - c[2]) * (P[0].Z - c[2])));
}

// The least-squares sum of squares of the radial residuals |c - q_i| - R (square metres).
double Quadratsumme(const std::vector<std::array<double, 3>>& q, const double c[3], double R) {
    double ssq = 0;
    for (const auto& p : q) {
        const double v = std::sqrt((c[0] - p[0]) * (c[0] - p[0]) + (c[1] - p[1]) * (c[1] - p[1]) +
                                   (c[2] - p[2]) * (c[2] - p[2])) - R;
        ssq += v * v;
    }
    return ssq;
}

// Levenberg-Marquardt for the centre c (metres, points reduced to their centroid) with the radius
// held fixed: the damped normal equations (J^T J + mu I) d = -J^T v solved by Cramer's rule, the
// damping lowered after a step that lowers the sum of squares and raised until one does.
void Abstieg(const std::vector<std::array<double, 3>>& q, double R, double c[3]) {
    double mu = 1e-3, f = Quadratsumme(q, c, R);
    for (int it = 0; it < 500; ++it) {
        double N[3][3] = {}, g[3] = {};
        for (const auto& p : q) {
            const double d[3] = {c[0] - p[0], c[1] - p[1], c[2] - p[2]};
            const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            if (l == 0) continue;
            for (int j = 0; j < 3; ++j) {
                g[j] += d[j] / l * (l - R);
                for (int k = 0; k < 3; ++k) N[j][k] += d[j] * d[k] / (l * l);
            }
        }
        double schritt = 0;
        bool besser = false;
        for (int versuch = 0; versuch < 80 && !besser; ++versuch) {
            double M[3][3];
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k) M[j][k] = N[j][k] + (j == k ? mu : 0);
            auto det = [](const double A[3][3]) {
                return A[0][0] * (A[1][1] * A[2][2] - A[1][2] * A[2][1]) - A[0][1] * (A[1][0] * A[2][2] - A[1][2] * A[2][0]) +
                       A[0][2] * (A[1][0] * A[2][1] - A[1][1] * A[2][0]);
            };
            const double D = det(M);
            double neu[3];
            for (int j = 0; j < 3; ++j) {
                double Mj[3][3];
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) Mj[a][b] = b == j ? -g[a] : M[a][b];
                neu[j] = c[j] + det(Mj) / D;
            }
            const double fn = Quadratsumme(q, neu, R);
            if (std::isfinite(fn) && fn < f) {
                schritt = std::sqrt((neu[0] - c[0]) * (neu[0] - c[0]) + (neu[1] - c[1]) * (neu[1] - c[1]) +
                                    (neu[2] - c[2]) * (neu[2] - c[2]));
                for (int j = 0; j < 3; ++j) c[j] = neu[j];
                f = fn;
                mu /= 3;
                besser = true;
            } else {
                mu *= 4;
            }
        }
        if (!besser || schritt < 1e-13) return;
    }
}

// The reference centre (station frame, metres): of the local least-squares minima reached from
// the 26 directions of a cube around the centroid and from the direction away from the station,
// each a radius out, the best one farther from the station than the points are on average. False
// when none lies behind the points.
bool Referenz(const TPunktArray& P, int n, double R, double c[3]) {
    double g[3] = {0, 0, 0}, mittel = 0;
    for (int i = 1; i <= n; ++i) {
        g[0] += P[i].X / n;
        g[1] += P[i].Y / n;
        g[2] += P[i].Z / n;
        mittel += std::sqrt(P[i].X * P[i].X + P[i].Y * P[i].Y + P[i].Z * P[i].Z) / n;
    }
    std::vector<std::array<double, 3>> q;
    for (int i = 1; i <= n; ++i) q.push_back({P[i].X - g[0], P[i].Y - g[1], P[i].Z - g[2]});
    std::vector<std::array<double, 3>> richtungen;
    for (int a = -1; a <= 1; ++a)
        for (int b = -1; b <= 1; ++b)
            for (int d = -1; d <= 1; ++d)
                if (a != 0 || b != 0 || d != 0) richtungen.push_back({double(a), double(b), double(d)});
    richtungen.push_back({g[0], g[1], g[2]});
    double best = INFINITY;
    for (const auto& u : richtungen) {
        const double l = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        double s[3] = {R * u[0] / l, R * u[1] / l, R * u[2] / l};
        Abstieg(q, R, s);
        const double x = s[0] + g[0], y = s[1] + g[1], z = s[2] + g[2];
        const double f = Quadratsumme(q, s, R);
        if (std::sqrt(x * x + y * y + z * z) > mittel && f < best) {
            best = f;
            c[0] = x;
            c[1] = y;
            c[2] = z;
        }
    }
    return std::isfinite(best);
}

// The points in polar form as a polar data format gives them to the solver: horizontal distance
// (metres), direction (gon, 0 to 400) and height difference (metres) from the station.
TPunktArray Polarform(const TPunktArray& P, int n) {
    TPunktArray Q(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        Q[i].X = std::hypot(P[i].X, P[i].Y);
        const double ri = std::atan2(P[i].Y, P[i].X) * 200 / M_PI;
        Q[i].Y = ri < 0 ? ri + 400 : ri;
        Q[i].Z = P[i].Z;
    }
    return Q;
}

// One group of four through the polar path, in the station's rectangular frame or in polar form,
// into s; a centre more than a quarter of the radius from the reference's (another solution) is
// counted in anders. ref is null where the reference found no centre behind the points.
void WertePolar(const TPunktArray& P, const Fall& f, const double c[3], const double* ref, bool polarform,
                Statistik& s, int& anders) {
    TPunktArray Q = polarform ? Polarform(P, f.zeigungen) : P;
    const zentrix::TKugelLoesung L = zentrix::LoeseKugelIterativ(Q, f.zeigungen, polarform, f.radius, true);
    if (L.Ergebnis != zentrix::KugelErgebnis::Ok) {
        ++s.fehler;
        return;
    }
    double x = Q[0].X, y = Q[0].Y, z = Q[0].Z;
    if (polarform) {  // back from horizontal distance, direction (gon), elevation angle (gon)
        const double hz = Q[0].X, ri = Q[0].Y * M_PI / 200, h = Q[0].Z * M_PI / 200;
        x = hz * std::cos(ri);
        y = hz * std::sin(ri);
        z = hz * std::tan(h);
    }
    s.abweichung.push_back(1000 * std::sqrt((x - c[0]) * (x - c[0]) + (y - c[1]) * (y - c[1]) + (z - c[2]) * (z - c[2])));
    if (ref && std::sqrt((x - ref[0]) * (x - ref[0]) + (y - ref[1]) * (y - ref[1]) + (z - ref[2]) * (z - ref[2])) > f.radius / 4)
        ++anders;
}

// Groups of four through the polar path against the reference, one row per view and noise over
// every radius and distance.
void PolarVierer() {
    constexpr int kGruppen = 500;
    std::printf("\nVier Zeigungen über den Polarweg gegen die Ausgleichung hinter der angezielten Fläche "
                "(%d Gruppen je Zeile):\n", 9 * kGruppen);
    std::printf("%12s | %-39s | %-39s | %s\n", "", "Standpunkt im Ursprung, rechtwinklig", "Standpunkt im Ursprung, Polarform",
                "Referenz");
    std::printf("%5s %6s |", "Sicht", "s/mm");
    for (int block = 0; block < 2; ++block) std::printf(" %6s %7s %7s %8s %6s |", "Fehl", "Med", "95%", "Max", "anders");
    std::printf(" %6s %7s %7s %8s\n", "Fehl", "Med", "95%", "Max");
    std::mt19937 rng(20261209u);
    for (const double rauschen : {0.0003, 0.001})
        for (const bool seite : {false, true}) {
            Statistik rechtwinklig, polar, referenz;
            int andersR = 0, andersP = 0;
            for (const double radius : {0.06, 0.0725, 0.10})
                for (const double weite : {10.0, 30.0, 80.0}) {
                    const Fall f{radius, weite, 4, seite, rauschen};
                    for (int g = 0; g < kGruppen; ++g) {
                        double c[3], ref[3];
                        const TPunktArray P = Gruppe(f, rng, c);
                        const bool mitReferenz = Referenz(P, 4, radius, ref);
                        if (mitReferenz)
                            referenz.abweichung.push_back(1000 * std::sqrt((ref[0] - c[0]) * (ref[0] - c[0]) +
                                                                           (ref[1] - c[1]) * (ref[1] - c[1]) +
                                                                           (ref[2] - c[2]) * (ref[2] - c[2])));
                        else
                            ++referenz.fehler;
                        WertePolar(P, f, c, mitReferenz ? ref : nullptr, false, rechtwinklig, andersR);
                        WertePolar(P, f, c, mitReferenz ? ref : nullptr, true, polar, andersP);
                    }
                }
            const int gruppen = 9 * kGruppen;
            std::printf("%5s %6.1f |", seite ? "Seite" : "vorn", rauschen * 1000);
            rechtwinklig.Zeige(gruppen);
            std::printf(" %6d |", andersR);
            polar.Zeige(gruppen);
            std::printf(" %6d |", andersP);
            referenz.Zeige(gruppen);
            std::printf("\n");
        }
}

}  // namespace

// One row per noise, view and number of pointings, over every radius and distance: the figures
// the targets of the converged solver are set for.
void Zusammenfassung(const std::vector<std::pair<Fall, Statistik>>& gesamt, int gruppen) {
    std::printf("\nZusammengefasst über Radien und Entfernungen (%d Gruppen je Zeile):\n", 9 * gruppen);
    std::printf("%5s %6s %3s | %-30s | %-30s | %s\n", "Sicht", "s/mm", "n", "  einstufig: Fehl  Med   95%   Max",
                "  iterativ: Fehl  Med   95%   Max", "Ziel 95%");
    for (std::size_t i = 0; i < gesamt.size(); i += 2) {
        const Fall& f = gesamt[i].first;
        std::printf("%5s %6.1f %3d |", f.seite ? "Seite" : "vorn", f.rauschen * 1000, f.zeigungen);
        gesamt[i].second.Zeige(9 * gruppen);
        std::printf(" |");
        const Statistik& it = gesamt[i + 1].second;
        it.Zeige(9 * gruppen);
        // The targets of the converged solver: no failure anywhere, and these 95th percentiles.
        double ziel = 0;
        if (!f.seite && f.rauschen < 0.0005 && f.zeigungen == 6) ziel = 1.3;
        if (!f.seite && f.rauschen < 0.0005 && f.zeigungen == 8) ziel = 0.95;
        if (!f.seite && f.rauschen > 0.0005 && f.zeigungen == 6) ziel = 5.5;
        if (f.seite && f.rauschen < 0.0005 && f.zeigungen == 6) ziel = 4.0;
        std::vector<double> a = it.abweichung;
        std::sort(a.begin(), a.end());
        const double p95 = a.empty() ? NAN : a[static_cast<std::size_t>(0.95 * (a.size() - 1) + 0.5)];
        if (ziel > 0) std::printf(" | %5.2f %s", ziel, it.fehler == 0 && p95 <= ziel ? "erreicht" : "VERFEHLT");
        else std::printf(" | %s", it.fehler == 0 ? "keine Fehlschläge" : "FEHLSCHLÄGE");
        std::printf("\n");
    }
}

int main() {
    constexpr int kGruppen = 200;
    std::vector<std::pair<Fall, Statistik>> gesamt;
    std::printf("%6s %5s %3s %5s %6s | %-30s | %-30s\n", "R/m", "D/m", "n", "Sicht", "s/mm", "  einstufig: Fehl  Med   95%   Max",
                "  iterativ: Fehl  Med   95%   Max");
    std::mt19937 rng(20261208u);
    for (const double rauschen : {0.0003, 0.001})
        for (const bool seite : {false, true})
            for (const int zeigungen : {4, 6, 8}) {
                gesamt.push_back({Fall{0, 0, zeigungen, seite, rauschen}, {}});
                gesamt.push_back({Fall{0, 0, zeigungen, seite, rauschen}, {}});
                for (const double radius : {0.06, 0.0725, 0.10})
                    for (const double weite : {10.0, 30.0, 80.0}) {
                        const Fall f{radius, weite, zeigungen, seite, rauschen};
                        Statistik einstufig, iterativ;
                        for (int g = 0; g < kGruppen; ++g) {
                            double c[3];
                            const TPunktArray P = Gruppe(f, rng, c);
                            Werte(P, f, c, false, einstufig);
                            Werte(P, f, c, true, iterativ);
                        }
                        std::printf("%6.4f %5.0f %3d %5s %6.1f |", radius, weite, zeigungen, seite ? "Seite" : "vorn",
                                    rauschen * 1000);
                        einstufig.Zeige(kGruppen);
                        std::printf(" |");
                        iterativ.Zeige(kGruppen);
                        std::printf("\n");
                        for (std::size_t k = 0; k < 2; ++k) {
                            Statistik& z = gesamt[gesamt.size() - 2 + k].second;
                            const Statistik& s = k == 0 ? einstufig : iterativ;
                            z.fehler += s.fehler;
                            z.abweichung.insert(z.abweichung.end(), s.abweichung.begin(), s.abweichung.end());
                        }
                    }
            }
    Zusammenfassung(gesamt, kGruppen);
    PolarVierer();
    return 0;
}
