#include "scan/Flaechen.hpp"

#include <cmath>

#include "core/Ausfuehrer.hpp"
#include "scan/Schwellen.hpp"

namespace zentrix {

namespace {

// Points between two looks at the stop flag.
constexpr std::size_t PruefAbstand = 1u << 20;
// The cells met last that a core keeps at hand (a power of two).
constexpr std::size_t ZuletztPlaetze = 4096;

// Adds the point p to the moments of a cell with that middle.
void Addiere(TMomente& m, const TWolkenpunkt& p, const TWolkenpunkt& mitte) {
    const auto x = static_cast<float>(p.X - mitte.X), y = static_cast<float>(p.Y - mitte.Y),
               z = static_cast<float>(p.Z - mitte.Z);
    ++m.n;
    m.s[0] += x;
    m.s[1] += y;
    m.s[2] += z;
    m.ss[0] += x * x;
    m.ss[1] += x * y;
    m.ss[2] += x * z;
    m.ss[3] += y * y;
    m.ss[4] += y * z;
    m.ss[5] += z * z;
}

// Moments in double precision relative to one reference point, to which cells are added.
struct TSumme {
    double n = 0;
    double s[3] = {0, 0, 0};
    double ss[6] = {0, 0, 0, 0, 0, 0};

    // Adds a cell's moments whose middle lies at d from the reference (metres): each point's x
    // becomes x + d, so s + n d and ss + d s' + s d' + n d d'.
    void Addiere(const TMomente& m, const double d[3]) {
        const double ms[3] = {m.s[0], m.s[1], m.s[2]};
        n += m.n;
        for (int a = 0; a < 3; ++a) s[a] += ms[a] + m.n * d[a];
        int k = 0;
        for (int a = 0; a < 3; ++a)
            for (int b = a; b < 3; ++b, ++k) ss[k] += m.ss[k] + d[a] * ms[b] + d[b] * ms[a] + m.n * d[a] * d[b];
    }
};

}  // namespace

std::uint32_t TZellMomente::TTeil::Neu() {
    if ((n & (BlockGroesse - 1)) == 0) bloecke.push_back(std::make_unique<TMomente[]>(BlockGroesse));
    return n++;
}

TZellMomente::TZellMomente(const TWolke& wolke, const TRaster& raster, TScanMelder& melder)
    : wolke_(wolke), raster_(raster) {
    const unsigned teile = TAusfuehrer::Gemeinsam().Kerne();
    teile_.resize(teile);
    AufAllenKernen(teile, 1, [&](std::size_t von, std::size_t bis) {
        for (std::size_t t = von; t < bis; ++t) Sammle(static_cast<unsigned>(t), melder);
    });
}

void TZellMomente::Sammle(unsigned t, TScanMelder& melder) {
    TTeil& teil = teile_[t];
    const auto teile = static_cast<unsigned>(teile_.size());
    teil.tabelle = TZellTabelle(wolke_.size() / (16 * teile) + 1024);
    // The cells met last, by a few bits of their key: a scan goes through the cells of one column of
    // beams and then, in the next column, through the same cells again.
    struct TZuletzt {
        std::uint64_t schluessel = TZellTabelle::Leer;
        TMomente* m = nullptr;  // none yet: the cell has one point so far, or it is another part's
        bool eigen = false;     // the cell belongs to this part
    };
    std::vector<TZuletzt> zuletzt(ZuletztPlaetze);
    for (std::size_t i = 0; i < wolke_.size(); ++i) {
        if (i % PruefAbstand == 0) melder.Pruefe();
        const TWolkenpunkt& p = wolke_[i];
        const TZelle z = raster_.Zelle(p.X, p.Y, p.Z);
        const std::uint64_t s = TRaster::Schluessel(z);
        TZuletzt& c = zuletzt[(s ^ (s >> 21) ^ (s >> 42)) & (ZuletztPlaetze - 1)];
        if (c.schluessel != s) c = {s, nullptr, TZellTabelle::Teil(GrobSchluessel(s), teile) == t};
        if (!c.eigen) continue;
        const TWolkenpunkt mitte = raster_.Mitte(z);
        if (c.m == nullptr) {
            bool neu = false;
            std::uint32_t& wert = teil.tabelle.Eintrag(s, EinPunkt | static_cast<std::uint32_t>(i), neu);
            if (neu) continue;  // the cell's first point: only its index
            if ((wert & EinPunkt) != 0) {
                const std::uint32_t index = teil.Neu();
                Addiere(teil.Eintrag(index), wolke_[wert & ~EinPunkt], mitte);
                wert = index;
            }
            c.m = &teil.Eintrag(wert);
        }
        Addiere(*c.m, p, mitte);
    }
}

std::size_t TZellMomente::Zellen() const {
    std::size_t n = 0;
    for (const TTeil& t : teile_) n += t.tabelle.Groesse();
    return n;
}

TMomente TZellMomente::Momente(std::uint64_t schluessel, const TTeil& teil, std::uint32_t wert) const {
    if ((wert & EinPunkt) == 0) return teil.Eintrag(wert);
    TMomente m;
    Addiere(m, wolke_[wert & ~EinPunkt], raster_.Mitte(TRaster::AusSchluessel(schluessel)));
    return m;
}

bool TZellMomente::Momente(std::uint64_t schluessel, TMomente& m) const {
    const TTeil& teil = TeilVon(schluessel);
    const std::uint32_t wert = teil.tabelle.Finde(schluessel);
    if (wert == TZellTabelle::Keiner) return false;
    m = Momente(schluessel, teil, wert);
    return true;
}

namespace {

// The plane of at least mindestens points summed in sum (relative to the point bezug), with its
// normal towards the station; none where they span no plane.
std::optional<TFlaeche> Ebene(const TSumme& sum, const TWolkenpunkt& bezug, const TWolkenpunkt& station,
                              std::uint32_t mindestens) {
    if (sum.n < mindestens) return std::nullopt;
    const double mu[3] = {sum.s[0] / sum.n, sum.s[1] / sum.n, sum.s[2] / sum.n};
    TMatrix3 c;
    int k = 0;
    for (int a = 0; a < 3; ++a)
        for (int b = a; b < 3; ++b, ++k) c[a][b] = c[b][a] = sum.ss[k] / sum.n - mu[a] * mu[b];
    TVektor3 wert, achse;
    KleinsteAchse(c, wert, achse);
    if (!(wert[0] <= schwelle::DickeHoechstens * wert[1]) || !(wert[1] >= schwelle::BreiteMindestens * wert[2]))
        return std::nullopt;
    TFlaeche f;
    f.schwerpunkt = {bezug.X + mu[0], bezug.Y + mu[1], bezug.Z + mu[2]};
    f.normale = achse;
    if (Skalar(Vektor(station) - f.schwerpunkt, f.normale) < 0)
        for (double& n : f.normale) n = -n;
    f.quer = wert[1] + wert[2];
    f.punkte = static_cast<std::uint32_t>(sum.n);
    return f;
}

}  // namespace

std::optional<TFlaeche> TZellMomente::Flaeche(std::uint64_t schluessel, const TWolkenpunkt& station) const {
    TMomente m;
    if (!Momente(schluessel, m)) return std::nullopt;
    return Flaeche(schluessel, m, station);
}

std::optional<TFlaeche> TZellMomente::Flaeche(std::uint64_t schluessel, const TMomente& m, const TWolkenpunkt& station) const {
    if (Duenn(m)) return std::nullopt;
    TSumme sum;
    const double null[3] = {0, 0, 0};
    sum.Addiere(m, null);
    return Ebene(sum, raster_.Mitte(TRaster::AusSchluessel(schluessel)), station, schwelle::PunkteJeFlaeche);
}

std::uint64_t TZellMomente::GrobSchluessel(std::uint64_t schluessel) {
    const TZelle z = TRaster::AusSchluessel(schluessel);
    return TRaster::Schluessel({z.i >> 1, z.j >> 1, z.k >> 1});  // halved towards minus infinity
}

std::optional<TFlaeche> TZellMomente::GrobeFlaeche(std::uint64_t grobSchluessel, const TWolkenpunkt& station) const {
    return GrobeFlaeche(grobSchluessel, TZellTabelle::Leer, station);
}

std::optional<TFlaeche> TZellMomente::GrobeFlaecheDerErsten(std::uint64_t schluessel, const TWolkenpunkt& station) const {
    return GrobeFlaeche(GrobSchluessel(schluessel), schluessel, station);
}

std::optional<TFlaeche> TZellMomente::GrobeFlaeche(std::uint64_t grob, std::uint64_t erste, const TWolkenpunkt& station) const {
    const TZelle g = TRaster::AusSchluessel(grob);
    const TWolkenpunkt bezug = Grob().Mitte(g);
    TSumme sum;
    std::uint32_t zellen = 0;
    // The cells in the order of their keys: a sparse one before erste means erste is not the first.
    for (int di = 0; di <= 1; ++di)
        for (int dj = 0; dj <= 1; ++dj)
            for (int dk = 0; dk <= 1; ++dk) {
                const TZelle z{2 * g.i + di, 2 * g.j + dj, 2 * g.k + dk};
                const std::uint64_t s = TRaster::Schluessel(z);
                TMomente m;
                if (!Momente(s, m) || !Duenn(m)) continue;
                if (erste != TZellTabelle::Leer && zellen == 0 && s != erste) return std::nullopt;
                const TWolkenpunkt mitte = raster_.Mitte(z);
                const double d[3] = {mitte.X - bezug.X, mitte.Y - bezug.Y, mitte.Z - bezug.Z};
                sum.Addiere(m, d);
                ++zellen;
            }
    std::optional<TFlaeche> f = Ebene(sum, bezug, station, schwelle::PunkteJeGrobflaeche);
    if (f) f->gewicht = zellen;
    return f;
}

}  // namespace zentrix
