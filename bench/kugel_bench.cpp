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

#include <algorithm>
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
                                              : zentrix::LoeseKugel(P, f.zeigungen, false, f.radius);
    if (L.Ergebnis != zentrix::KugelErgebnis::Ok || L.Abbruch) {
        ++s.fehler;
        return;
    }
    s.abweichung.push_back(1000 * std::sqrt((P[0].X - c[0]) * (P[0].X - c[0]) + (P[0].Y - c[1]) * (P[0].Y - c[1]) +
                                            (P[0].Z - c[2]) * (P[0].Z - c[2])));
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
    return 0;
}
