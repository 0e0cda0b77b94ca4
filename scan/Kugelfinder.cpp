// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Kugelfinder.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <unordered_map>

#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "core/Speicher.hpp"
#include "numerics/Loeser.hpp"
#include "scan/Eigen3.hpp"
#include "scan/Flaechen.hpp"
#include "scan/Kugelmodell.hpp"
#include "scan/Raster.hpp"
#include "scan/Schwellen.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// Points or cells between two looks at the stop flag.
constexpr std::size_t PruefAbstand = 1u << 16;
// Points a block of the passes over the cloud.
constexpr std::size_t PunkteJeBlock = 1u << 20;

struct TKandidat {
    TVektor3 c{};                // its centre (metres)
    std::uint32_t stimmen = 0;   // votes in its block
    std::uint64_t punkte = 0;    // points in the cells around it
    std::size_t schritt = 1;     // every schritt-th of them goes into the search's fit
};

TVektor3 Punkt(const TXYZ& p) { return {p.X, p.Y, p.Z}; }
TWolkenpunkt Wolkenpunkt(const TVektor3& v) { return {v[0], v[1], v[2]}; }

// --- Votes ------------------------------------------------------------------------------------------

// The vote of a surface element: the centre of the sphere of radius R whose cap it would be. Its
// centroid lies inside such a cap by the cap's depth at the points' spread, quer / (2 R).
TVektor3 Stimme(const TFlaeche& f, double R) {
    const double tiefe = std::min(f.quer / (2 * R), R / 2);
    return f.schwerpunkt - (R - tiefe) * f.normale;
}

// A surface element as the search keeps it: where it votes (its vote cell, and the offset from that
// cell's middle in metres), its normal, and the cells and points it stands for. 40 bytes.
struct TElement {
    std::uint64_t zelle;
    float versatz[3];
    float normale[3];
    std::uint16_t gewicht, punkte;  // both stop growing at 65535

    // All of it in order: the list's order then depends on nothing but the elements.
    bool operator<(const TElement& b) const {
        return std::tie(zelle, versatz[0], versatz[1], versatz[2], normale[0], normale[1], normale[2], gewicht, punkte) <
               std::tie(b.zelle, b.versatz[0], b.versatz[1], b.versatz[2], b.normale[0], b.normale[1], b.normale[2],
                        b.gewicht, b.punkte);
    }
};

// The elements of the cloud, sorted by their vote cell, with the index of each cell's first.
struct TElemente {
    TRaster stimmRaster;
    std::vector<TElement> liste;
    TZellTabelle erstes;

    // Where element e votes (metres).
    TVektor3 Stimme(const TElement& e) const {
        const TWolkenpunkt m = stimmRaster.Mitte(TRaster::AusSchluessel(e.zelle));
        return {m.X + e.versatz[0], m.Y + e.versatz[1], m.Z + e.versatz[2]};
    }
    // f(element) for the elements that vote in cell z.
    template <class F>
    void InZelle(const TZelle& z, F f) const {
        const std::uint64_t s = TRaster::Schluessel(z);
        for (std::uint32_t i = erstes.Finde(s); i < liste.size() && liste[i].zelle == s; ++i) f(liste[i]);
    }
};

// The element of a surface element that votes within the vote grid.
std::optional<TElement> Element(const TFlaeche& f, const TRaster& stimmRaster, double R) {
    const TVektor3 v = Stimme(f, R);
    if (!stimmRaster.ImBereich(v[0], v[1], v[2])) return std::nullopt;
    const TZelle z = stimmRaster.Zelle(v[0], v[1], v[2]);
    const TWolkenpunkt m = stimmRaster.Mitte(z);
    TElement e{TRaster::Schluessel(z),
               {static_cast<float>(v[0] - m.X), static_cast<float>(v[1] - m.Y), static_cast<float>(v[2] - m.Z)},
               {static_cast<float>(f.normale[0]), static_cast<float>(f.normale[1]), static_cast<float>(f.normale[2])},
               static_cast<std::uint16_t>(std::min<std::uint32_t>(f.gewicht, 0xFFFF)),
               static_cast<std::uint16_t>(std::min<std::uint32_t>(f.punkte, 0xFFFF))};
    return e;
}

// Elements a block: 4 MB, so that a block comes straight from the system and goes straight back
// to it (core/Speicher.hpp) when it has been copied into the list.
constexpr std::size_t ElementeJeBlock = (4u << 20) / sizeof(TElement) + 1;

// Every surface element of the cloud: the cloud in pieces, each core making its part's elements,
// kept in blocks; only when the cells' moments are gone are they put into one list, each block
// given back as it is copied, so that they never stand twice in memory.
std::vector<std::vector<TElement>> ElementBloecke(const TWolke& wolke, const TRaster& raster, const TRaster& stimmRaster,
                                                  double R, const TVektor3& station, TScanMelder& melder, bool ganz) {
    TFlaechenStrom strom(wolke, raster, Wolkenpunkt(station), ganz);
    std::vector<std::vector<TElement>> je(strom.Teile()), bloecke;
    for (std::size_t s = 0; s < strom.Stuecke(); ++s) {
        AufAllenKernen(strom.Teile(), 1, [&](std::size_t von, std::size_t bis) {
            for (std::size_t t = von; t < bis; ++t)
                strom.Stueck(s, static_cast<unsigned>(t), [&](const TFlaeche& f) {
                    if (const std::optional<TElement> e = Element(f, stimmRaster, R)) je[t].push_back(*e);
                }, melder);
        });
        for (std::vector<TElement>& e : je) {
            for (const TElement& x : e) {
                if (bloecke.empty() || bloecke.back().size() == ElementeJeBlock) bloecke.emplace_back().reserve(ElementeJeBlock);
                bloecke.back().push_back(x);
            }
            e.clear();
        }
        if (!ganz) melder.Melde(static_cast<double>(s + 1) / static_cast<double>(strom.Stuecke()));
    }
    // A cloud in no order of regions: once more, whole.
    if (!ganz && strom.Ungeordnet()) return ElementBloecke(wolke, raster, stimmRaster, R, station, melder, true);
    return bloecke;
}

TElemente Elemente(const TWolke& wolke, const TRaster& raster, const TRaster& stimmRaster, double R,
                   const TVektor3& station, TScanMelder& melder) {
    std::vector<std::vector<TElement>> bloecke = ElementBloecke(wolke, raster, stimmRaster, R, station, melder, false);
    FreienSpeicherZurueckgeben();  // the cells' moments
    std::size_t anzahl = 0;
    for (const std::vector<TElement>& b : bloecke) anzahl += b.size();
    TElemente el{stimmRaster, {}, TZellTabelle()};
    el.liste.reserve(anzahl);
    for (std::vector<TElement>& b : bloecke) {
        el.liste.insert(el.liste.end(), b.begin(), b.end());
        std::vector<TElement>().swap(b);
    }
    std::sort(el.liste.begin(), el.liste.end());
    std::size_t zellen = 0;
    for (std::size_t i = 0; i < el.liste.size(); ++i) zellen += i == 0 || el.liste[i].zelle != el.liste[i - 1].zelle;
    el.erstes = TZellTabelle(zellen);
    for (std::size_t i = 0; i < el.liste.size(); ++i) {
        bool neu = false;
        if (i == 0 || el.liste[i].zelle != el.liste[i - 1].zelle) el.erstes.Eintrag(el.liste[i].zelle, static_cast<std::uint32_t>(i), neu);
    }
    return el;
}

// The blocks of 3 x 3 x 3 vote cells around a cell of at least two votes that hold at least
// schwelle::StimmenMindestens votes (an element counting for the cells it stands for) of
// schwelle::WaehlerMindestens elements, strongest first; the centre is the votes' mean.
std::vector<TKandidat> Gipfel(const TElemente& el) {
    std::vector<std::size_t> zellen;
    for (std::size_t i = 0; i < el.liste.size();) {
        std::size_t j = i, stimmen = 0;
        for (; j < el.liste.size() && el.liste[j].zelle == el.liste[i].zelle; ++j) stimmen += el.liste[j].gewicht;
        if (stimmen >= 2) zellen.push_back(i);
        i = j;
    }
    std::vector<TKandidat> alle;
    for (std::vector<TKandidat>& teil : InTeilen(zellen.size(), AufEinemKern, [&](std::size_t von, std::size_t bis) {
             std::vector<TKandidat> k;
             for (std::size_t i = von; i < bis; ++i) {
                 const TZelle z = TRaster::AusSchluessel(el.liste[zellen[i]].zelle);
                 TKandidat kand;
                 std::uint32_t waehler = 0;
                 TVektor3 summe{0, 0, 0};
                 for (int di = -1; di <= 1; ++di)
                     for (int dj = -1; dj <= 1; ++dj)
                         for (int dk = -1; dk <= 1; ++dk)
                             el.InZelle({z.i + di, z.j + dj, z.k + dk}, [&](const TElement& e) {
                                 kand.stimmen += e.gewicht;
                                 ++waehler;
                                 summe = summe + static_cast<double>(e.gewicht) * el.Stimme(e);
                             });
                 if (kand.stimmen < schwelle::StimmenMindestens || waehler < schwelle::WaehlerMindestens) continue;
                 kand.c = (1.0 / kand.stimmen) * summe;
                 k.push_back(kand);
             }
             return k;
         }))
        alle.insert(alle.end(), teil.begin(), teil.end());
    std::stable_sort(alle.begin(), alle.end(), [](const TKandidat& a, const TKandidat& b) { return a.stimmen > b.stimmen; });
    return alle;
}

// Of candidates sorted strongest first, those farther than abstand from every stronger one kept.
template <class T, class Mitte>
std::vector<T> Unterdruecke(std::vector<T> kandidaten, double abstand, Mitte mitte) {
    if (kandidaten.empty()) return kandidaten;
    const TRaster r(Wolkenpunkt(mitte(kandidaten.front())), abstand);
    std::unordered_map<std::uint64_t, std::vector<TVektor3>> genommen;
    std::vector<T> behalten;
    for (T& k : kandidaten) {
        const TVektor3 c = mitte(k);
        const TZelle z = r.Zelle(c[0], c[1], c[2]);
        bool nah = false;
        for (int di = -1; di <= 1 && !nah; ++di)
            for (int dj = -1; dj <= 1 && !nah; ++dj)
                for (int dk = -1; dk <= 1 && !nah; ++dk) {
                    const auto it = genommen.find(TRaster::Schluessel({z.i + di, z.j + dj, z.k + dk}));
                    if (it == genommen.end()) continue;
                    for (const TVektor3& g : it->second) nah = nah || Laenge(g - c) < abstand;
                }
        if (nah) continue;
        genommen[TRaster::Schluessel(z)].push_back(c);
        behalten.push_back(std::move(k));
    }
    return behalten;
}

// The surface elements whose votes fall near the candidate: at least schwelle::TraegerMindestens
// cells, their normals spread in two directions; their votes' mean becomes its centre, and their
// points are counted.
bool Stuetze(TKandidat& k, const TElemente& el, double R) {
    const TZelle z = el.stimmRaster.Zelle(k.c[0], k.c[1], k.c[2]);
    const int weite = static_cast<int>(std::ceil(schwelle::TraegerAbstand * R / el.stimmRaster.Kante()));
    TMatrix3 streuung{};
    TVektor3 summe{0, 0, 0};
    std::uint32_t traeger = 0;
    k.punkte = 0;
    for (int di = -weite; di <= weite; ++di)
        for (int dj = -weite; dj <= weite; ++dj)
            for (int dk = -weite; dk <= weite; ++dk)
                el.InZelle({z.i + di, z.j + dj, z.k + dk}, [&](const TElement& e) {
                    const TVektor3 v = el.Stimme(e);
                    if (Laenge(v - k.c) > schwelle::TraegerAbstand * R) return;
                    AddiereDyade(streuung, {e.normale[0], e.normale[1], e.normale[2]}, e.gewicht);
                    summe = summe + static_cast<double>(e.gewicht) * v;
                    traeger += e.gewicht;
                    k.punkte += e.punkte;
                });
    if (traeger < schwelle::TraegerMindestens) return false;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < i; ++j) streuung[i][j] = streuung[j][i];
    for (auto& zeile : streuung)
        for (double& x : zeile) x /= traeger;
    if (Eigen3(streuung).wert[0] < schwelle::NormalenStreuungMindestens) return false;
    k.c = (1.0 / traeger) * summe;
    k.stimmen = traeger;
    return true;
}

// --- The points around the candidates -------------------------------------------------------------

// A point's index mixed, so that taking every k-th by it follows no scan line.
std::uint64_t Gemischt(std::size_t i) {
    std::uint64_t x = static_cast<std::uint64_t>(i) + 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The points of the cloud near the centres, in the cloud's order: nimm(k, i, p) says whether
// centre k takes point p of index i; only points within reichweite of a centre are asked.
template <class Nimm>
std::vector<std::vector<TWolkenpunkt>> Sammle(const TWolke& wolke, const std::vector<TVektor3>& zentren,
                                               double reichweite, Nimm nimm, TScanMelder& melder) {
    std::vector<std::vector<TWolkenpunkt>> ergebnis(zentren.size());
    if (zentren.empty()) return ergebnis;
    // Each centre is listed in the cells its ball of reichweite touches.
    const TRaster r(Wolkenpunkt(zentren[0]), reichweite);
    TZellTabelle zellen;
    std::vector<std::vector<std::uint32_t>> listen;
    for (std::size_t k = 0; k < zentren.size(); ++k) {
        const TZelle z = r.Zelle(zentren[k][0], zentren[k][1], zentren[k][2]);
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj)
                for (int dk = -1; dk <= 1; ++dk) {
                    bool neu = false;
                    std::uint32_t& i = zellen.Eintrag(TRaster::Schluessel({z.i + di, z.j + dj, z.k + dk}), 0, neu);
                    if (neu) {
                        i = static_cast<std::uint32_t>(listen.size());
                        listen.emplace_back();
                    }
                    listen[i].push_back(static_cast<std::uint32_t>(k));
                }
    }
    std::size_t erledigt = 0;
    InBloecken(
        wolke.size(), PunkteJeBlock,
        [&](std::size_t von, std::size_t bis) {
            melder.Pruefe();
            std::vector<std::pair<std::uint32_t, TWolkenpunkt>> gefunden;
            std::uint64_t letzter = TZellTabelle::Leer;
            std::uint32_t liste = TZellTabelle::Keiner;
            for (std::size_t i = von; i < bis; ++i) {
                const TWolkenpunkt& p = wolke[i];
                if (!r.ImBereich(p.X, p.Y, p.Z)) continue;
                const std::uint64_t s = TRaster::Schluessel(r.Zelle(p.X, p.Y, p.Z));
                if (s != letzter) {
                    letzter = s;
                    liste = zellen.Finde(s);
                }
                if (liste == TZellTabelle::Keiner) continue;
                for (const std::uint32_t k : listen[liste])
                    if (nimm(k, i, p)) gefunden.push_back({k, p});
            }
            return gefunden;
        },
        [&](const std::vector<std::pair<std::uint32_t, TWolkenpunkt>>& gefunden) {
            for (const auto& [k, p] : gefunden) ergebnis[k].push_back(p);
            erledigt += PunkteJeBlock;
            melder.Melde(static_cast<double>(erledigt) / static_cast<double>(wolke.size()));
        });
    return ergebnis;
}

// --- The stages -------------------------------------------------------------------------------------

// Every point must have a cell of the search's grids.
void PruefeAusdehnung(const TWolke& wolke, const TRaster& r) {
    for (const std::size_t weit : InTeilen(wolke.size(), AufEinemKern, [&](std::size_t von, std::size_t bis) {
             for (std::size_t i = von; i < bis; ++i)
                 if (!r.ImBereich(wolke[i].X, wolke[i].Y, wolke[i].Z)) return i + 1;
             return std::size_t{0};
         }))
        if (weit > 0)
            throw EZentrixError("Die Punktwolke ist für die Suche zu ausgedehnt: Punkt " + std::to_string(weit) +
                                " liegt in einer Richtung mehr als " + FixedText(TRaster::Reichweite * r.Kante() / 1000, 1) +
                                " km vom ersten entfernt");
}

// The candidates: the elements' votes, their peaks, the peaks with support, each with its stride.
std::vector<TKandidat> Kandidaten(const TWolke& wolke, double R, const TVektor3& station, TScanMelder& melder,
                                  const std::function<double(double)>& anteil) {
    const TRaster raster(wolke[0], schwelle::ZelleJeRadius * R);
    const TRaster stimmRaster(wolke[0], schwelle::StimmzelleJeRadius * R);
    melder.Schritt("Flächen", anteil(0), anteil(0.4));
    PruefeAusdehnung(wolke, stimmRaster);
    const TElemente el = Elemente(wolke, raster, stimmRaster, R, station, melder);
    melder.Schritt("Stimmen", anteil(0.4), anteil(0.5));
    std::vector<TKandidat> k = Unterdruecke(Gipfel(el), R, [](const TKandidat& c) { return c.c; });
    std::vector<char> gestuetzt(k.size(), 0);
    AufAllenKernen(k.size(), 8, [&](std::size_t von, std::size_t bis) {
        melder.Pruefe();
        for (std::size_t i = von; i < bis; ++i) gestuetzt[i] = Stuetze(k[i], el, R);
    });
    std::vector<TKandidat> mitStuetze;
    for (std::size_t i = 0; i < k.size(); ++i)
        if (gestuetzt[i]) mitStuetze.push_back(k[i]);
    std::stable_sort(mitStuetze.begin(), mitStuetze.end(),
                     [](const TKandidat& a, const TKandidat& b) { return a.stimmen > b.stimmen; });
    mitStuetze = Unterdruecke(std::move(mitStuetze), R, [](const TKandidat& c) { return c.c; });
    for (TKandidat& c : mitStuetze)
        c.schritt = std::max<std::size_t>(1, static_cast<std::size_t>((c.punkte + schwelle::SuchpunkteHoechstens - 1) /
                                                                      schwelle::SuchpunkteHoechstens));
    return mitStuetze;
}

// A candidate judged on its points.
struct TGeprueft {
    TKugelSchaetzung s;
    TKugelMass m;
    std::string grund;  // empty: a sphere
};

// Fits and judges the candidates [von, bis) on every schritt-th point of their shells, into g.
void Pruefe(const TWolke& wolke, const std::vector<TKandidat>& k, std::size_t von, std::size_t bis,
            const TKugelmodell& modell, std::vector<TGeprueft>& g, TScanMelder& melder) {
    const double R = modell.R();
    std::vector<TVektor3> zentren;
    for (std::size_t i = von; i < bis; ++i) zentren.push_back(k[i].c);
    const double innen = (1 - schwelle::SchaleJeRadius) * R, aussen = (1 + schwelle::SchaleJeRadius) * R;
    const auto punkte = Sammle(wolke, zentren, aussen, [&](std::uint32_t i, std::size_t index, const TWolkenpunkt& p) {
        const TKandidat& c = k[von + i];
        if (c.schritt > 1 && Gemischt(index) % c.schritt != 0) return false;
        const double d = Laenge(p - c.c);
        return d >= innen && d <= aussen;
    }, melder);
    AufAllenKernen(bis - von, 1, [&](std::size_t a, std::size_t b) {
        for (std::size_t j = a; j < b; ++j) {
            melder.Pruefe();
            TGeprueft& e = g[von + j];
            e.s = modell.Schaetze(punkte[j], k[von + j].c);
            if (!e.s.ok) {
                e.grund = "die Ausgleichung der Suche findet dort keine Kugel";
                continue;
            }
            e.m = modell.Miss(punkte[j], e.s);
            e.m.punkte *= static_cast<int>(k[von + j].schritt);  // the points of the whole cap, about
            e.grund = modell.Urteil(e.m);
        }
    });
}

// Fits and judges each candidate, in passes of at most schwelle::SuchpunkteJeDurchgang points.
std::vector<TGeprueft> Pruefe(const TWolke& wolke, const std::vector<TKandidat>& k, const TKugelmodell& modell,
                              TScanMelder& melder) {
    std::vector<TGeprueft> g(k.size());
    std::size_t von = 0;
    while (von < k.size()) {
        std::size_t bis = von, punkte = 0;
        while (bis < k.size() && (bis == von || punkte + std::min<std::size_t>(k[bis].punkte, schwelle::SuchpunkteHoechstens) <=
                                                    schwelle::SuchpunkteJeDurchgang))
            punkte += std::min<std::size_t>(k[bis++].punkte, schwelle::SuchpunkteHoechstens);
        Pruefe(wolke, k, von, bis, modell, g, melder);
        von = bis;
    }
    return g;
}

// A sphere that passed the search: its fit and figures, its points and outliers at full density.
struct TGefunden {
    TKugelSchaetzung s;
    TKugelMass m;
    std::vector<TWolkenpunkt> nahe;  // every point within schwelle::AusreisserBand × R of its surface, on the station's side
};

// The last checks on the converged solver's result; empty when the sphere is reported.
std::string LetztesUrteil(const TKugelLoesung& L, const TKugelmodell& modell, bool hinter) {
    const double R = modell.R();
    if (L.Ergebnis != KugelErgebnis::Ok) return "die Ausgleichung scheitert: " + L.Fehlertext;
    const TAusgleichung& a = *L.Ausgleichung;
    if (a.m0 > schwelle::M0Hoechstens * R) return "m0 " + FixedText(a.m0 * 1000, 1) + " mm zu groß";
    const std::optional<TRadiusPruefung>& r = L.Konvergenz->Radius;
    if (!r) return "kein freier Radius";
    if (std::fabs(r->RFrei - R) > schwelle::RadiusAbweichungHoechstens * R)
        return "freier Radius " + FixedText(r->RFrei, 4) + " m weicht ab";
    if (!hinter) return "der Mittelpunkt liegt vor der Fläche (vom Standpunkt aus)";
    return {};
}

// The converged solver over the sphere's points relative to the station, and the sphere as
// reported; empty with grund set where a last check fails.
std::optional<TScanKugel> Ausgleichen(const TGefunden& f, const TKugelmodell& modell, std::string& grund) {
    TScanKugel k;
    for (const TWolkenpunkt& p : f.nahe)
        if (modell.Auf(p, f.s)) k.Punktliste.push_back(p);
    k.Ausreisser = static_cast<int>(f.nahe.size() - k.Punktliste.size());
    const int n = static_cast<int>(k.Punktliste.size());
    if (n < schwelle::PunkteMindestens) {
        grund = "nur " + std::to_string(n) + " Punkte";
        return std::nullopt;
    }
    const TVektor3& S = modell.Station();
    TPunktArray P(static_cast<std::size_t>(n) + 1);
    double abstand = 0;
    for (int i = 0; i < n; ++i) {
        const TVektor3 q = k.Punktliste[static_cast<std::size_t>(i)] - S;
        P[i + 1].X = q[0];
        P[i + 1].Y = q[1];
        P[i + 1].Z = q[2];
        abstand += Laenge(q) / n;
    }
    k.Loesung = LoeseKugel(P, n, false, modell.R(), TVerfahren{true, true});
    const TVektor3 C = k.Loesung.Ergebnis == KugelErgebnis::Ok ? Punkt(k.Loesung.Ausgleichung->Zentrum) : TVektor3{};
    k.Hinter = Laenge(C) > abstand;
    grund = LetztesUrteil(k.Loesung, modell, k.Hinter);
    if (!grund.empty()) return std::nullopt;
    try {
        k.Polar = Polar({C[0], C[1], C[2]});
    } catch (const EMathError&) {
        grund = "der Mittelpunkt liegt lotrecht über oder unter dem Standpunkt";
        return std::nullopt;
    }
    const TAusgleichung& a = *k.Loesung.Ausgleichung;
    k.Mittelpunkt = {C[0] + S[0], C[1] + S[1], C[2] + S[2]};
    k.m = a.m;
    k.m0 = a.m0;
    k.Punkte = n;
    k.Radius = k.Loesung.Konvergenz->Radius;
    k.Seitenwahl = k.Loesung.Konvergenz->Seitenwahl;
    TKugelSchaetzung am = f.s;
    am.c = C + S;
    const TKugelMass m = modell.Miss(f.nahe, am);
    k.Kappe = m.kappe;
    k.KappeQuer = m.kappeQuer;
    k.Fortsetzung = f.m.fortsetzung;
    k.QuerKruemmung = m.querKruemmung;
    k.NormalenWinkel = m.normalenWinkel;
    k.Sigma = f.s.sigma;
    k.Band = f.s.band;
    return k;
}

// The spheres that passed: all their points near the surface gathered, adjusted one a core.
void Ausgleiche(const TWolke& wolke, std::vector<TGefunden>& gefunden, const TKugelmodell& modell, TKugelfund& fund,
                TScanMelder& melder) {
    const double R = modell.R();
    std::vector<TVektor3> zentren;
    for (const TGefunden& f : gefunden) zentren.push_back(f.s.c);
    auto nahe = Sammle(wolke, zentren, (1 + schwelle::AusreisserBand) * R,
                       [&](std::uint32_t k, std::size_t, const TWolkenpunkt& p) {
                           const TKugelSchaetzung& s = gefunden[k].s;
                           return std::fabs(modell.Residuum(p, s.c)) <= schwelle::AusreisserBand * R && modell.Vorn(p, s.c);
                       },
                       melder);
    for (std::size_t i = 0; i < gefunden.size(); ++i) gefunden[i].nahe = std::move(nahe[i]);
    std::vector<std::optional<TScanKugel>> kugeln(gefunden.size());
    std::vector<std::string> gruende(gefunden.size());
    AufAllenKernen(gefunden.size(), 1, [&](std::size_t von, std::size_t bis) {
        for (std::size_t i = von; i < bis; ++i) {
            melder.Pruefe();
            kugeln[i] = Ausgleichen(gefunden[i], modell, gruende[i]);
        }
    });
    for (std::size_t i = 0; i < gefunden.size(); ++i) {
        if (kugeln[i]) fund.Kugeln.push_back(std::move(*kugeln[i]));
        else
            fund.Verworfen.push_back({{zentren[i][0], zentren[i][1], zentren[i][2]},
                                      static_cast<int>(gefunden[i].nahe.size()),
                                      gefunden[i].m.kappe, gefunden[i].m.kappeQuer, gefunden[i].m.fortsetzung, gruende[i]});
    }
}

}  // namespace

TKugelfund FindeKugeln(const TWolke& wolke, double R, const TVektor3& station, TScanMelder& melder, double anfang) {
    TKugelfund fund;
    if (wolke.empty()) return fund;
    const auto anteil = [anfang](double a) { return anfang + (1 - anfang) * a; };
    const TKugelmodell modell(R, station);
    const std::vector<TKandidat> k = Kandidaten(wolke, R, station, melder, anteil);
    melder.Schritt("Prüfen", anteil(0.5), anteil(0.75));
    std::vector<TGeprueft> g = Pruefe(wolke, k, modell, melder);
    fund.Kandidaten = k.size();
    std::vector<TGefunden> gefunden;
    for (std::size_t i = 0; i < k.size(); ++i) {
        if (g[i].grund.empty()) gefunden.push_back({g[i].s, g[i].m, {}});
        else
            fund.Verworfen.push_back({{g[i].s.c[0], g[i].s.c[1], g[i].s.c[2]}, g[i].m.punkte, g[i].m.kappe, g[i].m.kappeQuer,
                                      g[i].m.fortsetzung, g[i].grund});
    }
    // Two candidates whose fits met on one sphere: the one with more points stays.
    std::stable_sort(gefunden.begin(), gefunden.end(), [](const TGefunden& a, const TGefunden& b) { return a.m.punkte > b.m.punkte; });
    gefunden = Unterdruecke(std::move(gefunden), R, [](const TGefunden& f) { return f.s.c; });
    melder.Schritt("Ausgleichen", anteil(0.75), anteil(1));
    Ausgleiche(wolke, gefunden, modell, fund, melder);
    std::stable_sort(fund.Kugeln.begin(), fund.Kugeln.end(),
                     [](const TScanKugel& a, const TScanKugel& b) { return a.Polar.Ri < b.Polar.Ri; });
    for (std::size_t i = 0; i < fund.Kugeln.size(); ++i) fund.Kugeln[i].Name = "K" + std::to_string(i + 1);
    melder.Melde(1);
    return fund;
}

}  // namespace zentrix
