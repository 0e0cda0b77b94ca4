// The cloud gathered in the cells of a grid: each cell's number of points and their first and second
// moments, and from them the surface element of a cell, the plane its points span. Where the points
// are too few for that, the sparse cells of a coarse cell of twice the edge span one plane together.
//
// The moments are sums relative to the cell's middle in single precision: a cell is a few
// centimetres wide, so that the sums keep every digit a plane of millimetre noise needs, and ten
// million points take some forty bytes a cell.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "scan/Eigen3.hpp"
#include "scan/Raster.hpp"
#include "scan/Schwellen.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

struct TMomente {
    std::uint32_t n = 0;
    float s[3] = {0, 0, 0};               // sums of x, y, z relative to the cell's middle (metres)
    float ss[6] = {0, 0, 0, 0, 0, 0};     // sums of xx, xy, xz, yy, yz, zz (square metres)
};

// The plane fitted to the points of a cell, or of the sparse cells of a coarse cell.
struct TFlaeche {
    TVektor3 schwerpunkt;  // the points' centroid (metres)
    TVektor3 normale;      // unit normal, towards the station
    double quer = 0;       // the points' variance along the plane, both directions together (m²)
    std::uint32_t punkte = 0;
    std::uint32_t gewicht = 1;  // the cells it stands for
};

class TZellMomente {
public:
    // Gathers the cloud's points in the cells of raster, on all cores: the table is cut into one
    // part a core by the keys of the coarse cells, and each core goes through all points for its
    // part's cells. The cloud must outlive the table (a cell of one point keeps only its index).
    TZellMomente(const TWolke& wolke, const TRaster& raster, TScanMelder& melder);

    const TRaster& Raster() const { return raster_; }
    std::size_t Zellen() const;
    std::size_t Zellen(unsigned t) const { return teile_[t].tabelle.Groesse(); }
    unsigned Teile() const { return static_cast<unsigned>(teile_.size()); }
    // The moments of the cell with this key into m; false for an empty cell.
    bool Momente(std::uint64_t schluessel, TMomente& m) const;
    // f(schluessel, momente) for each cell of part t; a part holds whole coarse cells.
    template <class F>
    void FuerTeil(unsigned t, F f) const {
        const TTeil& teil = teile_[t];
        teil.tabelle.FuerAlle([&](std::uint64_t s, std::uint32_t wert) { f(s, Momente(s, teil, wert)); });
    }
    // The surface element of a cell with at least schwelle::PunkteJeFlaeche points: the plane they
    // span. None for a sparse cell, or where the points span no plane (a blob, a line).
    std::optional<TFlaeche> Flaeche(std::uint64_t schluessel, const TWolkenpunkt& station) const;
    // The same for the cell's moments at hand.
    std::optional<TFlaeche> Flaeche(std::uint64_t schluessel, const TMomente& m, const TWolkenpunkt& station) const;
    // Whether a cell is sparse: it has points, but too few for a plane of its own.
    static bool Duenn(const TMomente& m) { return m.n > 0 && m.n < schwelle::PunkteJeFlaeche; }
    // The coarse grid: cells of twice the edge, each holding 2 x 2 x 2 cells.
    TRaster Grob() const { return TRaster(raster_.Ursprung(), 2 * raster_.Kante()); }
    // The key of the coarse cell that holds a cell.
    static std::uint64_t GrobSchluessel(std::uint64_t schluessel);
    // The surface element of the sparse cells of a coarse cell together (far from the station,
    // where the points are a centimetre and more apart), standing for as many cells as it took.
    std::optional<TFlaeche> GrobeFlaeche(std::uint64_t grobSchluessel, const TWolkenpunkt& station) const;
    // The same asked by one of the sparse cells: only the first of them (by key) gets it, so that
    // going through the cells meets each coarse cell's element once.
    std::optional<TFlaeche> GrobeFlaecheDerErsten(std::uint64_t schluessel, const TWolkenpunkt& station) const;

private:
    // One part of the table: its cells, and their moments in blocks that never move.
    struct TTeil {
        TZellTabelle tabelle;
        std::vector<std::unique_ptr<TMomente[]>> bloecke;
        std::uint32_t n = 0;
        TMomente& Eintrag(std::uint32_t i) const { return bloecke[i >> BlockBits][i & (BlockGroesse - 1)]; }
        std::uint32_t Neu();
    };
    static constexpr unsigned BlockBits = 16;
    static constexpr std::uint32_t BlockGroesse = 1u << BlockBits;
    // A cell's value in the table: the index of its moments, or with this bit the index of its only
    // point in the cloud (a third of a scan's cells hold one point: they take no moments).
    static constexpr std::uint32_t EinPunkt = 1u << 31;

    const TTeil& TeilVon(std::uint64_t schluessel) const {
        return teile_[TZellTabelle::Teil(GrobSchluessel(schluessel), static_cast<unsigned>(teile_.size()))];
    }
    TMomente Momente(std::uint64_t schluessel, const TTeil& teil, std::uint32_t wert) const;
    // The surface element of the sparse cells of coarse cell grob; with erste (a key) none unless
    // that cell is the first sparse one.
    std::optional<TFlaeche> GrobeFlaeche(std::uint64_t grob, std::uint64_t erste, const TWolkenpunkt& station) const;
    void Sammle(unsigned t, TScanMelder& melder);

    const TWolke& wolke_;
    TRaster raster_;
    std::vector<TTeil> teile_;
};

}  // namespace zentrix
