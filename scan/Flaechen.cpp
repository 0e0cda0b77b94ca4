// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Flaechen.hpp"

#include <algorithm>
#include <cmath>

#include "core/Ausfuehrer.hpp"
#include "scan/Eigen3.hpp"
#include "scan/Schwellen.hpp"

namespace zentrix {

namespace {

// Points between two looks at the stop flag.
constexpr std::size_t PruefAbstand = 1u << 20;
// The cells met lately that a core keeps at hand (a power of two).
constexpr std::size_t ZuletztPlaetze = 4096;
// Points of a piece of the cloud: some ten to a hundred columns of a scan.
constexpr std::size_t StueckPunkte = 1u << 16;
// Bits that mark a part's closed coarse cells (1 MB a part), and the share of the cells met again
// that marks a cloud in no order of regions: in scan order none is met again, and no more than a
// few percent of the cells share a bit with a closed one.
constexpr std::size_t GeschlossenBits = std::size_t{1} << 23;
constexpr double UngeordnetAnteil = 0.25;

// The bit of a coarse cell.
std::size_t GeschlossenBit(std::uint64_t grob) { return static_cast<std::size_t>((grob * 0xD6E8FEB86659FD93ull) >> 41); }

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

std::uint64_t GrobSchluessel(std::uint64_t schluessel) {
    const TZelle z = TRaster::AusSchluessel(schluessel);
    return TRaster::Schluessel({z.i >> 1, z.j >> 1, z.k >> 1});  // halved towards minus infinity
}

TFlaechenStrom::TFlaechenStrom(const TWolke& wolke, const TRaster& raster, const TWolkenpunkt& station, bool ganz)
    : wolke_(wolke), raster_(raster), station_(station), ganz_(ganz) {
    const unsigned teile = TAusfuehrer::Gemeinsam().Kerne();
    teile_.resize(teile);
    for (TTeil& t : teile_) t.geschlossen.assign(GeschlossenBits / 64, 0);
    zuletzt_.assign(teile, std::vector<TZuletzt>(ZuletztPlaetze));
}

std::size_t TFlaechenStrom::Stuecke() const {
    return ganz_ ? 1 : std::max<std::size_t>(1, (wolke_.size() + StueckPunkte - 1) / StueckPunkte);
}

bool TFlaechenStrom::Ungeordnet() const {
    std::size_t neu = 0, wieder = 0;
    for (const TTeil& t : teile_) {
        neu += t.neu;
        wieder += t.wieder;
    }
    return wieder > UngeordnetAnteil * static_cast<double>(neu);
}

void TFlaechenStrom::Sammle(std::size_t stueck, unsigned t, const TScanMelder& melder) {
    TTeil& teil = teile_[t];
    std::vector<TZuletzt>& zuletzt = zuletzt_[t];
    const auto teile = static_cast<unsigned>(teile_.size());
    const auto nr = static_cast<std::uint32_t>(stueck + 1);  // 0: no piece yet
    const std::size_t von = ganz_ ? 0 : stueck * StueckPunkte;
    const std::size_t bis = ganz_ ? wolke_.size() : std::min(wolke_.size(), (stueck + 1) * StueckPunkte);
    for (std::size_t i = von; i < bis; ++i) {
        if (i % PruefAbstand == 0) melder.Pruefe();
        const TWolkenpunkt& p = wolke_[i];
        const TZelle z = raster_.Zelle(p.X, p.Y, p.Z);
        const std::uint64_t s = TRaster::Schluessel(z);
        TZuletzt& c = zuletzt[(s ^ (s >> 21) ^ (s >> 42)) & (ZuletztPlaetze - 1)];
        if (c.schluessel != s) {
            c = {s, TZellTabelle::Keiner};
            if (TZellTabelle::Teil(GrobSchluessel(s), teile) != t) continue;
            bool neu = false;
            std::uint32_t& index = teil.tabelle.Eintrag(s, 0, neu);
            if (neu) {
                ++teil.neu;
                const std::size_t bit = GeschlossenBit(GrobSchluessel(s));
                if ((teil.geschlossen[bit / 64] >> (bit % 64)) & 1) ++teil.wieder;
            }
            if (neu && !teil.frei.empty()) {
                index = teil.frei.back();
                teil.frei.pop_back();
                teil.momente[index] = TMomente{};
            } else if (neu) {
                index = static_cast<std::uint32_t>(teil.momente.size());
                teil.momente.emplace_back();
            }
            c.m = index;
        }
        if (c.m == TZellTabelle::Keiner) continue;
        TMomente& m = teil.momente[c.m];
        m.stueck = nr;
        Addiere(m, p, raster_.Mitte(z));
    }
}

const std::vector<std::pair<std::uint64_t, std::uint32_t>>& TFlaechenStrom::Geschlossen(std::size_t stueck, unsigned t) {
    TTeil& teil = teile_[t];
    const bool alle = stueck + 1 >= Stuecke();
    const auto nr = static_cast<std::uint32_t>(stueck + 1);
    // The open cells by coarse cell.
    teil.offen.clear();
    teil.tabelle.FuerAlle([&teil](std::uint64_t s, std::uint32_t i) { teil.offen.push_back({GrobSchluessel(s), s, i}); });
    std::sort(teil.offen.begin(), teil.offen.end(), [](const TOffen& a, const TOffen& b) {
        return a.grob < b.grob || (a.grob == b.grob && a.schluessel < b.schluessel);
    });
    // A coarse cell stays open while the piece had a point in one of its cells.
    teil.zu.clear();
    teil.bleibt.Leeren();
    const std::vector<TOffen>& offen = teil.offen;
    for (std::size_t i = 0; i < offen.size();) {
        std::size_t j = i;
        bool beruehrt = false;
        for (; j < offen.size() && offen[j].grob == offen[i].grob; ++j) beruehrt = beruehrt || teil.momente[offen[j].platz].stueck == nr;
        for (; i < j; ++i) {
            bool neu = false;
            if (beruehrt && !alle) {
                teil.bleibt.Eintrag(offen[i].schluessel, offen[i].platz, neu);
            } else {
                teil.zu.push_back({offen[i].schluessel, offen[i].platz});
                const std::size_t bit = GeschlossenBit(offen[i].grob);
                teil.geschlossen[bit / 64] |= std::uint64_t{1} << (bit % 64);
            }
        }
    }
    std::swap(teil.tabelle, teil.bleibt);
    // The places of the closed cells are taken again: what the part kept at hand is forgotten.
    std::fill(zuletzt_[t].begin(), zuletzt_[t].end(), TZuletzt{});
    return teil.zu;
}

std::optional<TFlaeche> TFlaechenStrom::Flaeche(std::uint64_t schluessel, const TMomente& m) const {
    TSumme sum;
    const double null[3] = {0, 0, 0};
    sum.Addiere(m, null);
    return Ebene(sum, raster_.Mitte(TRaster::AusSchluessel(schluessel)), station_, schwelle::PunkteJeFlaeche);
}

std::optional<TFlaeche> TFlaechenStrom::GrobeFlaeche(std::uint64_t grob, const TTeil& teil,
                                                     const std::pair<std::uint64_t, std::uint32_t>* von,
                                                     const std::pair<std::uint64_t, std::uint32_t>* bis) const {
    const TWolkenpunkt bezug = TRaster(raster_.Ursprung(), 2 * raster_.Kante()).Mitte(TRaster::AusSchluessel(grob));
    TSumme sum;
    std::uint32_t zellen = 0;
    for (auto z = von; z != bis; ++z) {
        const TMomente& m = teil.momente[z->second];
        if (!Duenn(m)) continue;
        const TWolkenpunkt mitte = raster_.Mitte(TRaster::AusSchluessel(z->first));
        const double d[3] = {mitte.X - bezug.X, mitte.Y - bezug.Y, mitte.Z - bezug.Z};
        sum.Addiere(m, d);
        ++zellen;
    }
    std::optional<TFlaeche> f = Ebene(sum, bezug, station_, schwelle::PunkteJeGrobflaeche);
    if (f) f->gewicht = zellen;
    return f;
}

}  // namespace zentrix
