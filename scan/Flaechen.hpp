// SPDX-License-Identifier: GPL-3.0-or-later
// The surface elements of a cloud: planes fitted to the points of small cells of a grid, and where a
// cell's points are too few, to those of the sparse cells of a coarse cell of twice the edge.
//
// The cloud is gone through in pieces of consecutive points. A coarse cell's elements are made as
// soon as a piece passes without a point in it: a scanner writes its points column after column, so
// that a cell the scan has left is complete, and only the cells of the last columns are held. A
// cloud in another order gives the same elements where its pieces keep to their regions; where they
// do not, a cell met again after it was closed would give its element in parts. That is counted, and
// a cloud in no such order (more than a quarter of its cells met again) is to be gone through whole,
// as one piece, which holds every cell at once.
//
// A cell's moments are sums relative to its middle in single precision: a cell is a few
// centimetres wide, so that the sums keep every digit a plane of millimetre noise needs.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scan/Raster.hpp"
#include "scan/Schwellen.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Vektor.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

struct TMomente {
    std::uint32_t n = 0;
    float s[3] = {0, 0, 0};            // sums of x, y, z relative to the cell's middle (metres)
    float ss[6] = {0, 0, 0, 0, 0, 0};  // sums of xx, xy, xz, yy, yz, zz (square metres)
    std::uint32_t stueck = 0;          // the last piece of the cloud with a point in the cell
};

// The plane fitted to the points of a cell, or of the sparse cells of a coarse cell.
struct TFlaeche {
    TVektor3 schwerpunkt;  // the points' centroid (metres)
    TVektor3 normale;      // unit normal, towards the station
    double quer = 0;       // the points' variance along the plane, both directions together (m²)
    std::uint32_t punkte = 0;
    std::uint32_t gewicht = 1;  // the cells it stands for
};

// Whether a cell is sparse: it has points, but too few for a plane of its own.
inline bool Duenn(const TMomente& m) { return m.n > 0 && m.n < schwelle::PunkteJeFlaeche; }

class TFlaechenStrom {
public:
    // The cells of raster (the coarse cells of twice its edge, from the same origin), cut into one
    // part a core by the keys of the coarse cells; with ganz the cloud is one piece.
    TFlaechenStrom(const TWolke& wolke, const TRaster& raster, const TWolkenpunkt& station, bool ganz = false);

    unsigned Teile() const { return static_cast<unsigned>(teile_.size()); }
    std::size_t Stuecke() const;
    // After the last piece: whether the cloud's order scattered its cells over the pieces.
    bool Ungeordnet() const;
    // Gathers the points of piece `stueck` that fall in part t's cells and hands the surface
    // element of every cell the piece closes (all of them after the last piece) to abgabe(flaeche),
    // on the calling core. The pieces in order, each part on one core at a time.
    template <class Abgabe>
    void Stueck(std::size_t stueck, unsigned t, Abgabe abgabe, const TScanMelder& melder);

private:
    // One part's open cells: their moments in a list with its free places, by key in a table; and
    // what closing them needs, kept from piece to piece so that it is not asked for afresh.
    struct TOffen {
        std::uint64_t grob, schluessel;
        std::uint32_t platz;
    };
    struct TTeil {
        TZellTabelle tabelle, bleibt;
        std::vector<TMomente> momente;
        std::vector<std::uint32_t> frei;
        std::vector<TOffen> offen;
        std::vector<std::pair<std::uint64_t, std::uint32_t>> zu;
        // The coarse cells closed, as bits of their mixed keys (a bit set by another cell now and
        // then counts a cell met again that was not); the cells made, and those met again.
        std::vector<std::uint64_t> geschlossen;
        std::size_t neu = 0, wieder = 0;
    };
    // A cell met lately, by a few bits of its key: the next column of a scan goes through the same
    // cells again. m is an index into the part's list (Keiner: another part's cell).
    struct TZuletzt {
        std::uint64_t schluessel = TZellTabelle::Leer;
        std::uint32_t m = TZellTabelle::Keiner;
    };
    void Sammle(std::size_t stueck, unsigned t, const TScanMelder& melder);
    // The open cells of part t that the piece closes, each coarse cell's run of them together.
    const std::vector<std::pair<std::uint64_t, std::uint32_t>>& Geschlossen(std::size_t stueck, unsigned t);
    // The elements of one coarse cell's cells zellen [von, bis) of part t.
    template <class Abgabe>
    void Elemente(const TTeil& teil, const std::pair<std::uint64_t, std::uint32_t>* von,
                  const std::pair<std::uint64_t, std::uint32_t>* bis, Abgabe& abgabe) const;
    std::optional<TFlaeche> Flaeche(std::uint64_t schluessel, const TMomente& m) const;
    std::optional<TFlaeche> GrobeFlaeche(std::uint64_t grob, const TTeil& teil, const std::pair<std::uint64_t, std::uint32_t>* von,
                                         const std::pair<std::uint64_t, std::uint32_t>* bis) const;

    const TWolke& wolke_;
    TRaster raster_;
    TWolkenpunkt station_;
    bool ganz_;
    std::vector<TTeil> teile_;
    std::vector<std::vector<TZuletzt>> zuletzt_;  // a part's lately met cells
};

// The key of the coarse cell that holds a cell.
std::uint64_t GrobSchluessel(std::uint64_t schluessel);

template <class Abgabe>
void TFlaechenStrom::Stueck(std::size_t stueck, unsigned t, Abgabe abgabe, const TScanMelder& melder) {
    Sammle(stueck, t, melder);
    const std::vector<std::pair<std::uint64_t, std::uint32_t>>& zu = Geschlossen(stueck, t);
    for (std::size_t i = 0; i < zu.size();) {
        std::size_t j = i;
        while (j < zu.size() && GrobSchluessel(zu[j].first) == GrobSchluessel(zu[i].first)) ++j;
        Elemente(teile_[t], zu.data() + i, zu.data() + j, abgabe);
        i = j;
    }
    for (const auto& z : zu) teile_[t].frei.push_back(z.second);
    if (stueck + 1 >= Stuecke()) {  // nothing is left open
        TTeil& teil = teile_[t];
        teil = TTeil{TZellTabelle(), TZellTabelle(), {}, {}, {}, {}, {}, teil.neu, teil.wieder};
    }
}

template <class Abgabe>
void TFlaechenStrom::Elemente(const TTeil& teil, const std::pair<std::uint64_t, std::uint32_t>* von,
                              const std::pair<std::uint64_t, std::uint32_t>* bis, Abgabe& abgabe) const {
    bool duenn = false;
    for (auto z = von; z != bis; ++z) {
        const TMomente& m = teil.momente[z->second];
        if (Duenn(m)) duenn = true;
        else if (const std::optional<TFlaeche> f = Flaeche(z->first, m)) abgabe(*f);
    }
    if (duenn)
        if (const std::optional<TFlaeche> f = GrobeFlaeche(GrobSchluessel(von->first), teil, von, bis)) abgabe(*f);
}

}  // namespace zentrix
