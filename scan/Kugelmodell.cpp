// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Kugelmodell.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "numerics/Polar.hpp"
#include "scan/Eigen3.hpp"
#include "scan/Raster.hpp"
#include "scan/Schwellen.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// Tukey's biweight: the residual's weight within the band d, 0 outside.
double Tukey(double v, double d) {
    const double u = v / d;
    return std::fabs(u) < 1 ? (1 - u * u) * (1 - u * u) : 0;
}

// The constant that makes Tukey's biweight 95 % efficient for normal residuals, in robust standard
// deviations, and the factor from the median absolute residual to the standard deviation.
constexpr double TukeyKonstante = 4.685;
constexpr double MadFaktor = 1.4826;

TWolkenpunkt Wolkenpunkt(const TVektor3& v) { return {v[0], v[1], v[2]}; }

// Radians to gon.
double Gon(double rad) { return static_cast<double>(rad * Rho); }

}  // namespace

bool TKugelmodell::Schritt(const std::vector<TWolkenpunkt>& p, TVektor3& c, double tukey, double& schritt) const {
    // The residual v = |p - c| - R has the derivative (c - p) / |p - c|.
    TMatrix3 n{};
    TVektor3 g{0, 0, 0};
    int genommen = 0;
    for (const TWolkenpunkt& q : p) {
        const TVektor3 d = q - c;
        const double r = Laenge(d);
        const double w = r > 0 && Skalar(d, s_ - c) > 0 ? Tukey(Normiert(q, c), tukey) : 0;
        if (w == 0) continue;
        const TVektor3 a = (-1 / r) * d;
        AddiereDyade(n, a, w);
        g = g + (w * (r - R_)) * a;
        ++genommen;
    }
    TVektor3 dc{};
    if (genommen < 4 || !LoeseSymmetrisch(n, (-1.0) * g, dc)) return false;
    c = c + dc;
    schritt = Laenge(dc);
    return true;
}

double TKugelmodell::MadSigma(const std::vector<TWolkenpunkt>& p, const TVektor3& c, double fenster) const {
    std::vector<double> betraege;
    for (const TWolkenpunkt& q : p) {
        const double v = std::fabs(Normiert(q, c));
        if (v < fenster && Vorn(q, c)) betraege.push_back(v);
    }
    if (betraege.size() < 4) return std::nan("");
    auto mitte = betraege.begin() + static_cast<std::ptrdiff_t>(betraege.size() / 2);
    std::nth_element(betraege.begin(), mitte, betraege.end());
    return MadFaktor * *mitte;
}

double TKugelmodell::NachbarSigma(const std::vector<TWolkenpunkt>& p, const TVektor3& c, double fenster) const {
    // The points within the window, sorted by their cell of a grid of the largest neighbour distance.
    const double h = schwelle::NachbarAbstand * R_;
    const TRaster r(Wolkenpunkt(c), h);
    struct TNah {
        std::uint64_t zelle;
        TVektor3 p;
        double v;
    };
    std::vector<TNah> nah;
    // Each point moved onto the sphere along the line through the centre: neighbours are found by
    // where they lie on the cap, not by how far the noise moved them, which would pick neighbours
    // with like errors where the noise is larger than the spacing.
    for (const TWolkenpunkt& q : p) {
        const double v = Normiert(q, c);
        if (std::fabs(v) >= fenster || !Vorn(q, c)) continue;
        const TVektor3 auf = c + R_ * Einheit(q - c);
        nah.push_back({TRaster::Schluessel(r.Zelle(auf[0], auf[1], auf[2])), auf, v});
    }
    std::sort(nah.begin(), nah.end(), [](const TNah& a, const TNah& b) { return a.zelle < b.zelle; });
    std::vector<double> differenzen;
    for (const TNah& a : nah) {
        const TZelle z = TRaster::AusSchluessel(a.zelle);
        double best = h, dv = 0;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj)
                for (int dk = -1; dk <= 1; ++dk) {
                    const std::uint64_t k = TRaster::Schluessel({z.i + di, z.j + dj, z.k + dk});
                    auto it = std::lower_bound(nah.begin(), nah.end(), k, [](const TNah& x, std::uint64_t y) { return x.zelle < y; });
                    for (; it != nah.end() && it->zelle == k; ++it) {
                        const double d = Laenge(it->p - a.p);
                        if (d > 0 && d < best) {
                            best = d;
                            dv = it->v - a.v;
                        }
                    }
                }
        if (best < h) differenzen.push_back(std::fabs(dv));
    }
    if (differenzen.size() < schwelle::NachbarPaareMindestens) return std::nan("");
    auto mitte = differenzen.begin() + static_cast<std::ptrdiff_t>(differenzen.size() / 2);
    std::nth_element(differenzen.begin(), mitte, differenzen.end());
    return MadFaktor * *mitte / std::sqrt(2.0);
}

TKugelSchaetzung TKugelmodell::Schaetze(const std::vector<TWolkenpunkt>& p, const TVektor3& c0) const {
    TKugelSchaetzung s;
    s.c = c0;
    // First the centre: Tukey's weights within 4.685 robust standard deviations of the residuals,
    // these measured within the same band (at most R/3, the start's).
    const double anfang = schwelle::BandAnfang * R_, bandMin = schwelle::BandMindestens * R_;
    double band = anfang, schritt = 0;
    bool fest = false;
    for (; s.iterationen < 200 && !fest; ++s.iterationen) {
        if (!Schritt(p, s.c, band, schritt)) return s;
        if (Laenge(s.c - c0) > schwelle::VerschiebungHoechstens * R_) return s;
        s.sigma = MadSigma(p, s.c, band);
        if (std::isnan(s.sigma)) return s;
        const double neu = std::clamp(TukeyKonstante * s.sigma, bandMin, anfang);
        fest = std::fabs(neu - band) <= 0.01 * band && schritt < 1e-4 * bandMin;
        band = neu;
    }
    // Then the noise: residuals of neighbouring points differ by the noise alone. Where that is far
    // below the spread of the residuals, the surface only touches the sphere; its band is the
    // noise's, and the centre is settled again with the weights of that noise.
    const double nachbar = NachbarSigma(p, s.c, std::max(bandMin, schwelle::SigmaJeBand * s.sigma));
    if (!std::isnan(nachbar) && nachbar < schwelle::NachbarAnteil * s.sigma) {
        s.sigma = std::max(nachbar, bandMin / schwelle::SigmaJeBand);
        for (int i = 0; i < 100; ++i) {
            if (!Schritt(p, s.c, TukeyKonstante * s.sigma, schritt)) return s;
            if (schritt < 1e-4 * bandMin) break;
        }
        if (Laenge(s.c - c0) > schwelle::VerschiebungHoechstens * R_) return s;
    }
    s.ok = fest;
    s.band = std::max(bandMin, schwelle::SigmaJeBand * s.sigma);
    return s;
}

double TKugelmodell::QuerKruemmung(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s, const TVektor3& quer) const {
    // v = a + b t + k t² over the sphere's points, t their offset across (metres): a pipe of radius R
    // bends away from the sphere by t² / (2R) there.
    TMatrix3 n{};
    TVektor3 r{0, 0, 0};
    for (const TWolkenpunkt& q : p) {
        if (!Auf(q, s)) continue;
        const double t = R_ * Skalar(Einheit(q - s.c), quer), v = Residuum(q, s.c);
        const TVektor3 a{1, t, t * t};
        AddiereDyade(n, a, 1);
        r = r + v * a;
    }
    TVektor3 x{};
    return LoeseSymmetrisch(n, r, x) ? 2 * R_ * x[2] : 0;
}

double TKugelmodell::NormalenWinkel(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s) const {
    // The points by their cell of a grid of the neighbourhood's radius.
    const double umkreis = schwelle::NormalenUmkreis * R_;
    const TRaster r(Wolkenpunkt(s.c), umkreis);
    std::vector<std::pair<std::uint64_t, TVektor3>> zellen;
    std::size_t auf = 0;
    for (const TWolkenpunkt& q : p) {
        zellen.push_back({TRaster::Schluessel(r.Zelle(q.X, q.Y, q.Z)), Vektor(q)});
        auf += Auf(q, s) ? 1 : 0;
    }
    std::sort(zellen.begin(), zellen.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t schritt = std::max<std::size_t>(1, auf / schwelle::NormalenProben);
    std::vector<double> winkel;
    std::size_t k = 0;
    for (const TWolkenpunkt& q : p) {
        if (!Auf(q, s) || k++ % schritt != 0) continue;
        const TVektor3 a = Vektor(q);
        const TZelle z = r.Zelle(q.X, q.Y, q.Z);
        TMatrix3 m{};
        TVektor3 summe{0, 0, 0};
        double n = 0;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj)
                for (int dk = -1; dk <= 1; ++dk) {
                    const std::uint64_t schluessel = TRaster::Schluessel({z.i + di, z.j + dj, z.k + dk});
                    auto it = std::lower_bound(zellen.begin(), zellen.end(), schluessel,
                                               [](const auto& x, std::uint64_t y) { return x.first < y; });
                    for (; it != zellen.end() && it->first == schluessel; ++it) {
                        const TVektor3 d = it->second - a;
                        if (Skalar(d, d) > umkreis * umkreis) continue;
                        AddiereDyade(m, d, 1);
                        summe = summe + d;
                        ++n;
                    }
                }
        if (n < 5) continue;
        const TVektor3 mu = (1 / n) * summe;
        for (int i = 0; i < 3; ++i)
            for (int j = i; j < 3; ++j) m[i][j] = m[j][i] = m[i][j] / n - mu[static_cast<std::size_t>(i)] * mu[static_cast<std::size_t>(j)];
        const TVektor3 normale = Eigen3(m).vektor[0];
        winkel.push_back(std::acos(std::min(1.0, std::fabs(Skalar(normale, Einheit(a - s.c))))));
    }
    if (winkel.empty()) return 0;
    auto mitte = winkel.begin() + static_cast<std::ptrdiff_t>(winkel.size() / 2);
    std::nth_element(winkel.begin(), mitte, winkel.end());
    return Gon(*mitte);
}

TKugelMass TKugelmodell::Miss(const std::vector<TWolkenpunkt>& p, const TKugelSchaetzung& s) const {
    TKugelMass m;
    const TVektor3 achse = Einheit(s_ - s.c);
    std::vector<double> kosinus;
    TMatrix3 streuung{};
    for (const TWolkenpunkt& q : p) {
        if (!Auf(q, s)) continue;
        const TVektor3 u = Einheit(q - s.c);
        kosinus.push_back(Skalar(u, achse));
        AddiereDyade(streuung, u, 1);
    }
    m.punkte = static_cast<int>(kosinus.size());
    if (m.punkte == 0) return m;
    // The half-angle holding 95 % of the points: the 5 % quantile of the cosines.
    auto q5 = kosinus.begin() + static_cast<std::ptrdiff_t>(kosinus.size() / 20);
    std::nth_element(kosinus.begin(), q5, kosinus.end());
    const double grenzKosinus = *q5;
    m.kappe = Gon(std::acos(std::clamp(grenzKosinus, -1.0, 1.0)));
    // The directions' second moments: across a cap of half-angle a the smallest is sin² a / 4 (points
    // spread evenly over the disc the station sees); a pipe's band has its directions in one plane.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < i; ++j) streuung[i][j] = streuung[j][i];
    for (auto& zeile : streuung)
        for (double& x : zeile) x /= m.punkte;
    const TEigen3 e = Eigen3(streuung);
    m.kappeQuer = Gon(std::asin(std::min(1.0, 2 * std::sqrt(std::max(0.0, e.wert[0])))));
    m.querKruemmung = QuerKruemmung(p, s, e.vektor[0]);
    m.normalenWinkel = NormalenWinkel(p, s);
    // What goes on beyond the sphere near its cap.
    std::size_t weiter = 0;
    for (const TWolkenpunkt& q : p) {
        const double v = std::fabs(Residuum(q, s.c));
        if (std::fabs(Normiert(q, s.c)) > s.band && v <= schwelle::SchaleJeRadius * R_ && Vorn(q, s.c) && Skalar(Einheit(q - s.c), achse) >= grenzKosinus)
            ++weiter;
    }
    m.fortsetzung = static_cast<double>(weiter) / m.punkte;
    return m;
}

std::string TKugelmodell::Urteil(const TKugelMass& m) const {
    if (m.punkte < schwelle::PunkteMindestens)
        return "nur " + std::to_string(m.punkte) + " Punkte (mindestens " + std::to_string(schwelle::PunkteMindestens) + ")";
    if (m.kappe < schwelle::KappeMindestens)
        return "Kappe " + FixedText(m.kappe, 0) + " gon zu klein (mindestens " + FixedText(schwelle::KappeMindestens, 0) + ")";
    if (m.kappeQuer < schwelle::KappeQuerMindestens)
        return "Kappe quer " + FixedText(m.kappeQuer, 0) + " gon zu schmal (ein Rohr?)";
    if (m.normalenWinkel > schwelle::NormalenWinkelHoechstens)
        return "die Fläche steht schräg zur Kugel (Normalen " + FixedText(m.normalenWinkel, 0) + " gon daneben)";
    if (m.querKruemmung > schwelle::QuerKruemmungHoechstens)
        return "quer zur Kappe gerade wie ein Rohr (Krümmung " + FixedText(1 - m.querKruemmung, 2) + " der Kugel)";
    if (m.fortsetzung > schwelle::FortsetzungHoechstens)
        return "die Fläche geht über die Kugel hinaus (" + FixedText(m.fortsetzung, 2) + " Punkte je Kugelpunkt)";
    return {};
}

}  // namespace zentrix
