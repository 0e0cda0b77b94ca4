#include "window/Grafik.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "bericht/KugelBericht.hpp"
#include "numerics/Polar.hpp"
#include "textio/NumText.hpp"
#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {

namespace {

// A point in space (metres, the station at the origin where there is one) from the form its list
// stands in: polar ones from horizontal distance s (metres), direction (gon) and height difference
// (metres) or elevation angle (gon).
TXYZ ImRaum(const TPunkt& p, TPunktForm form) {
    if (form == TPunktForm::Rechtwinklig) return {p.X, p.Y, p.Z};
    const TPlan plan = Plan(p.X, p.Y);
    const double hoehe = form == TPunktForm::PolarWinkel ? HoeheAusHoehenwinkel(p.X, p.Z) : p.Z;
    return {static_cast<double>(plan.X), static_cast<double>(plan.Y), hoehe};
}

// A round number: 1, 2 or 5 times a power of ten, the largest not above x (x > 0).
double Rund(double x) {
    const double zehner = std::pow(10.0, std::floor(std::log10(x)));
    for (const double f : {5.0, 2.0, 1.0})
        if (f * zehner <= x) return f * zehner;
    return zehner;
}

}  // namespace

double Vergroesserung(double groessteVerbesserung, double R) {
    if (!(groessteVerbesserung > 0) || !(R > 0)) return 1;
    return std::clamp(Rund(0.25 * R / groessteVerbesserung), 1.0, 100000.0);
}

double Massstabslaenge(double ausdehnung) { return ausdehnung > 0 ? Rund(ausdehnung / 5) : 1; }

TGrafik GrafikAus(const TForm1& form) {
    TGrafik g;
    if (!form.LetzteLoesung) return g;
    const TKugelLoesung& L = *form.LetzteLoesung;
    g.Gerechnet = true;
    g.Erfolg = L.Ergebnis == KugelErgebnis::Ok && L.Ausgleichung.has_value();
    if (!g.Erfolg) g.Fehler = FehlerMitGrund(L);
    g.Standpunkt = form.PunkteLage.Standpunkt;
    g.R = L.R;
    const TPunktArray& punkte = form.Punkte;
    const int n = std::min<int>(L.n, static_cast<int>(punkte.High()));
    if (n < 0) return g;
    const auto lage = [&form](const TPunkt& p) { return ImRaum(p, form.PunkteLage.Form); };
    g.Name = punkte[0].Name.str();
    const int ausreisser = L.Konvergenz ? L.Konvergenz->Ausreisser : 0;
    g.Gesamt = static_cast<std::size_t>(n);
    const int schritt = static_cast<int>((g.Gesamt + GrafikHoechstens - 1) / GrafikHoechstens);
    double groesste = 0;
    g.Punkte.reserve(std::min(g.Gesamt, GrafikHoechstens) + 1);
    for (int i = 1; i <= n; ++i) {
        const TPunkt& p = punkte[i];
        if (g.Erfolg && std::isfinite(p.vR)) groesste = std::max(groesste, std::fabs(p.vR));
        // A point without a name is called as the grid calls it, by its number.
        if ((i - 1) % schritt == 0 || i == ausreisser)
            g.Punkte.push_back({p.Name.empty() ? FormatText("P%2d", {i}) : p.Name.str(), lage(p), g.Erfolg ? p.vR : 0.0,
                                i == ausreisser, i});
    }
    UnterscheideNamen(g.Punkte);
    g.Faktor = Vergroesserung(groesste, g.R);
    if (g.Erfolg) {
        g.Zentrum = L.Ausgleichung->Zentrum;
    } else if (!g.Punkte.empty()) {
        // No centre: the section looks along the line to the points' middle.
        for (const TGrafikPunkt& p : g.Punkte) {
            g.Zentrum.X += p.P.X / static_cast<double>(g.Punkte.size());
            g.Zentrum.Y += p.P.Y / static_cast<double>(g.Punkte.size());
            g.Zentrum.Z += p.P.Z / static_cast<double>(g.Punkte.size());
        }
    }
    return g;
}

TEben Projektion(const TGrafik& g, TAnsicht ansicht, const TXYZ& p) {
    if (ansicht == TAnsicht::Grundriss) return {p.Y, p.X};
    if (!g.Standpunkt) return {p.X, p.Z};
    // Along the horizontal line of sight from the station to the centre.
    const double laenge = std::hypot(g.Zentrum.X, g.Zentrum.Y);
    if (!(laenge > 0)) return {p.X, p.Z};
    return {(p.X * g.Zentrum.X + p.Y * g.Zentrum.Y) / laenge, p.Z};
}

const char* AnsichtTitel(const TGrafik& g, TAnsicht ansicht) {
    if (ansicht == TAnsicht::Grundriss) return "Grundriss (Y nach rechts, X nach oben)";
    return g.Standpunkt ? "Schnitt entlang der Sicht vom Standpunkt (Entfernung, Z)" : "Schnitt (X nach rechts, Z nach oben)";
}

void UnterscheideNamen(std::vector<TGrafikPunkt>& punkte) {
    // The points in the order of their names: equal names stand side by side.
    std::vector<std::size_t> folge(punkte.size());
    for (std::size_t i = 0; i < folge.size(); ++i) folge[i] = i;
    std::sort(folge.begin(), folge.end(), [&punkte](std::size_t a, std::size_t b) { return punkte[a].Name < punkte[b].Name; });
    std::vector<bool> mehrfach(punkte.size(), false);
    for (std::size_t k = 1; k < folge.size(); ++k)
        if (punkte[folge[k]].Name == punkte[folge[k - 1]].Name) mehrfach[folge[k]] = mehrfach[folge[k - 1]] = true;
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        if (!mehrfach[i]) continue;
        punkte[i].Name += '/';
        punkte[i].Name += std::to_string(punkte[i].Nummer);
    }
}

std::optional<TFeld> NamenFeld(double x, double y, double b, double h, std::vector<TFeld>& belegt) {
    // Marks are drawn 4 pixels wide: a name starts 6 pixels off the point, clear of its mark; the
    // second try is a line further out.
    for (const double weiter : {0.0, h + 2}) {
        const double links = x - 6 - b, rechts = x + 6, oben = y - 6 - h - weiter, unten = y + 6 + weiter;
        for (const TFeld f : {TFeld{rechts, oben, b, h}, TFeld{rechts, unten, b, h}, TFeld{links, oben, b, h},
                              TFeld{links, unten, b, h}}) {
            const auto ueber = [&f](const TFeld& a) {
                return a.x < f.x + f.b && f.x < a.x + a.b && a.y < f.y + f.h && f.y < a.y + a.h;
            };
            if (std::any_of(belegt.begin(), belegt.end(), ueber)) continue;
            belegt.push_back(f);
            return f;
        }
    }
    return std::nullopt;
}

bool GrafikEndung(const std::string& datei) {
    const std::size_t punkt = datei.rfind('.'), schraeg = datei.rfind('/');
    if (punkt == std::string::npos || (schraeg != std::string::npos && punkt < schraeg)) return false;
    std::string endung = datei.substr(punkt + 1);
    for (char& c : endung) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return endung == "png" || endung == "svg";
}

std::vector<TLegendenOrt> LegeLegende(const std::vector<TLegendenTeil>& teile, double links, double rechts, double luecke) {
    // The left edge a piece wants: after the end of the line so far (or at links on an empty line),
    // and not before its own place.
    const auto anfang = [links, rechts, luecke](const TLegendenTeil& t, double ende, bool leer) {
        double x = leer ? links : ende + luecke;
        if (t.Wunsch == TLegendenWunsch::AbMitte) x = std::max(x, (links + rechts) / 2);
        if (t.Wunsch == TLegendenWunsch::Rechts) x = std::max(x, rechts - t.b);
        return x;
    };
    std::vector<TLegendenOrt> orte;
    int zeile = 0;
    double ende = links;
    bool leer = true;
    for (const TLegendenTeil& t : teile) {
        double x = anfang(t, ende, leer);
        if (!leer && x + t.b > rechts) {
            ++zeile;
            leer = true;
            x = anfang(t, links, true);
        }
        // Alone on its line and still too wide from its place: as far right as it goes.
        if (leer && x + t.b > rechts) x = std::max(links, rechts - t.b);
        orte.push_back({x, zeile});
        ende = x + t.b;
        leer = false;
    }
    return orte;
}

}  // namespace zentrix
