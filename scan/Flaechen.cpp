#include "scan/Flaechen.hpp"

#include <cmath>

#include "core/Ausfuehrer.hpp"
#include "scan/Schwellen.hpp"

namespace zentrix {

namespace {

// Points between two looks at the stop flag.
constexpr std::size_t PruefAbstand = 1u << 20;

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

TZellMomente::TZellMomente(const TWolke& wolke, const TRaster& raster, TScanMelder& melder) : raster_(raster) {
    const unsigned teile = TAusfuehrer::Gemeinsam().Kerne();
    teile_.resize(teile);
    AufAllenKernen(teile, 1, [&](std::size_t von, std::size_t bis) {
        for (std::size_t t = von; t < bis; ++t) Sammle(wolke, static_cast<unsigned>(t), melder);
    });
}

void TZellMomente::Sammle(const TWolke& wolke, unsigned t, TScanMelder& melder) {
    TTeil& teil = teile_[t];
    const auto teile = static_cast<unsigned>(teile_.size());
    teil.tabelle = TZellTabelle(wolke.size() / (16 * teile) + 1024);
    std::uint64_t letzter = TZellTabelle::Leer;
    TMomente* m = nullptr;
    TWolkenpunkt mitte{0, 0, 0};
    for (std::size_t i = 0; i < wolke.size(); ++i) {
        if (i % PruefAbstand == 0) melder.Pruefe();
        const TWolkenpunkt& p = wolke[i];
        const TZelle z = raster_.Zelle(p.X, p.Y, p.Z);
        const std::uint64_t s = TRaster::Schluessel(z);
        // A scan's neighbouring points mostly share a cell: its moments are taken again at once.
        if (s != letzter) {
            letzter = s;
            m = nullptr;
            if (TZellTabelle::Teil(s, teile) == t) {
                bool neu = false;
                std::uint32_t& index = teil.tabelle.Eintrag(s, 0, neu);
                if (neu) index = teil.Neu();
                m = &teil.Eintrag(index);
                mitte = raster_.Mitte(z);
            }
        }
        if (m == nullptr) continue;
        const auto x = static_cast<float>(p.X - mitte.X), y = static_cast<float>(p.Y - mitte.Y),
                   zz = static_cast<float>(p.Z - mitte.Z);
        ++m->n;
        m->s[0] += x;
        m->s[1] += y;
        m->s[2] += zz;
        m->ss[0] += x * x;
        m->ss[1] += x * y;
        m->ss[2] += x * zz;
        m->ss[3] += y * y;
        m->ss[4] += y * zz;
        m->ss[5] += zz * zz;
    }
}

std::size_t TZellMomente::Zellen() const {
    std::size_t n = 0;
    for (const TTeil& t : teile_) n += t.n;
    return n;
}

const TMomente* TZellMomente::Momente(std::uint64_t schluessel) const {
    const TTeil& teil = teile_[TZellTabelle::Teil(schluessel, static_cast<unsigned>(teile_.size()))];
    const std::uint32_t i = teil.tabelle.Finde(schluessel);
    return i == TZellTabelle::Keiner ? nullptr : &teil.Eintrag(i);
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
    const TEigen3 e = Eigen3(c);
    if (!(e.wert[0] <= schwelle::DickeHoechstens * e.wert[1]) || !(e.wert[1] >= schwelle::BreiteMindestens * e.wert[2]))
        return std::nullopt;
    TFlaeche f;
    f.schwerpunkt = {bezug.X + mu[0], bezug.Y + mu[1], bezug.Z + mu[2]};
    f.normale = e.vektor[0];
    if (Skalar(Vektor(station) - f.schwerpunkt, f.normale) < 0)
        for (double& n : f.normale) n = -n;
    f.quer = e.wert[1] + e.wert[2];
    f.punkte = static_cast<std::uint32_t>(sum.n);
    return f;
}

}  // namespace

bool TZellMomente::Duenn(const TMomente& m) { return m.n > 0 && m.n < schwelle::PunkteJeFlaeche; }

std::optional<TFlaeche> TZellMomente::Flaeche(std::uint64_t schluessel, const TWolkenpunkt& station) const {
    const TMomente* eigene = Momente(schluessel);
    if (eigene == nullptr || Duenn(*eigene)) return std::nullopt;
    TSumme sum;
    const double null[3] = {0, 0, 0};
    sum.Addiere(*eigene, null);
    return Ebene(sum, raster_.Mitte(TRaster::AusSchluessel(schluessel)), station, schwelle::PunkteJeFlaeche);
}

std::uint64_t TZellMomente::GrobSchluessel(std::uint64_t schluessel) {
    const TZelle z = TRaster::AusSchluessel(schluessel);
    return TRaster::Schluessel({z.i >> 1, z.j >> 1, z.k >> 1});  // halved towards minus infinity
}

std::optional<TFlaeche> TZellMomente::GrobeFlaeche(std::uint64_t grobSchluessel, const TWolkenpunkt& station) const {
    const TZelle g = TRaster::AusSchluessel(grobSchluessel);
    const TWolkenpunkt bezug = Grob().Mitte(g);
    TSumme sum;
    std::uint32_t zellen = 0;
    for (int di = 0; di <= 1; ++di)
        for (int dj = 0; dj <= 1; ++dj)
            for (int dk = 0; dk <= 1; ++dk) {
                const TZelle z{2 * g.i + di, 2 * g.j + dj, 2 * g.k + dk};
                const TMomente* m = Momente(TRaster::Schluessel(z));
                if (m == nullptr || !Duenn(*m)) continue;
                const TWolkenpunkt mitte = raster_.Mitte(z);
                const double d[3] = {mitte.X - bezug.X, mitte.Y - bezug.Y, mitte.Z - bezug.Z};
                sum.Addiere(*m, d);
                ++zellen;
            }
    std::optional<TFlaeche> f = Ebene(sum, bezug, station, schwelle::PunkteJeGrobflaeche);
    if (f) f->gewicht = zellen;
    return f;
}

}  // namespace zentrix
