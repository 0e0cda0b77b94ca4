// SPDX-License-Identifier: GPL-3.0-or-later
// A regular grid of cubes in space, and a table of the cells that hold something.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "scan/Wolke.hpp"

namespace zentrix {

// A cell by its three indices along X, Y, Z.
struct TZelle {
    int i, j, k;
};

// Cubes of edge length kante (metres) from an origin. A cell's indices fit 21 bits each
// (-2^20 to 2^20 - 1): a key packs them into 63 bits.
class TRaster {
public:
    TRaster(const TWolkenpunkt& ursprung, double kante) : u_(ursprung), kante_(kante), kehr_(1 / kante) {}

    double Kante() const { return kante_; }
    const TWolkenpunkt& Ursprung() const { return u_; }
    TZelle Zelle(double x, double y, double z) const {
        return {static_cast<int>(std::floor((x - u_.X) * kehr_)), static_cast<int>(std::floor((y - u_.Y) * kehr_)),
                static_cast<int>(std::floor((z - u_.Z) * kehr_))};
    }
    // The middle of a cell (metres).
    TWolkenpunkt Mitte(const TZelle& z) const {
        return {u_.X + (z.i + 0.5) * kante_, u_.Y + (z.j + 0.5) * kante_, u_.Z + (z.k + 0.5) * kante_};
    }
    // Whether a point's cell has a key: no farther than about a million cells from the origin.
    bool ImBereich(double x, double y, double z) const {
        const double grenze = Reichweite * kante_;
        return std::fabs(x - u_.X) < grenze && std::fabs(y - u_.Y) < grenze && std::fabs(z - u_.Z) < grenze;
    }
    static std::uint64_t Schluessel(const TZelle& z) {
        return (static_cast<std::uint64_t>(z.i + Versatz) << 42) | (static_cast<std::uint64_t>(z.j + Versatz) << 21) |
               static_cast<std::uint64_t>(z.k + Versatz);
    }
    static TZelle AusSchluessel(std::uint64_t s) {
        const auto teil = [](std::uint64_t v) { return static_cast<int>(v & Maske) - Versatz; };
        return {teil(s >> 42), teil(s >> 21), teil(s)};
    }

    // Cells this far from the origin in each direction have keys.
    static constexpr double Reichweite = 1 << 20;

private:
    static constexpr int Versatz = 1 << 20;
    static constexpr std::uint64_t Maske = (1u << 21) - 1;
    TWolkenpunkt u_;
    double kante_, kehr_;
};

// The cells that hold something, by key: each has a value (an index into the caller's list, or a
// count). Open addressing with linear probing, at most 70 % full; key and value share a slot of
// twelve bytes, so that a look-up touches one cache line and a million cells take 17 MB.
class TZellTabelle {
public:
    static constexpr std::uint64_t Leer = ~std::uint64_t{0};
    static constexpr std::uint32_t Keiner = ~std::uint32_t{0};

    explicit TZellTabelle(std::size_t erwartet = 1024);
    TZellTabelle(TZellTabelle&&) noexcept = default;
    TZellTabelle& operator=(TZellTabelle&&) noexcept = default;

    std::size_t Groesse() const { return n_; }
    // Forgets every cell; the places stay for the next ones.
    void Leeren() {
        std::fill(plaetze_.begin(), plaetze_.end(), TPlatz{});
        n_ = 0;
    }
    // The value of the cell, or Keiner.
    std::uint32_t Finde(std::uint64_t schluessel) const {
        for (std::size_t i = Platz(schluessel);; i = (i + 1) & maske_) {
            const std::uint64_t s = plaetze_[i].Schluessel();
            if (s == schluessel) return plaetze_[i].wert;
            if (s == Leer) return Keiner;
        }
    }
    // The value of the cell; a new cell gets neuerWert.
    std::uint32_t& Eintrag(std::uint64_t schluessel, std::uint32_t neuerWert, bool& neu);
    // f(schluessel, wert) for every cell, in no particular order.
    template <class F>
    void FuerAlle(F f) const {
        for (const TPlatz& p : plaetze_)
            if (p.Schluessel() != Leer) f(p.Schluessel(), p.wert);
    }
    // Which of teile parts of a table a key belongs to. Mixed otherwise than for the place in a
    // table: a part's own table must see its keys spread over all its places.
    static unsigned Teil(std::uint64_t schluessel, unsigned teile) {
        std::uint64_t x = (schluessel ^ (schluessel >> 31)) * 0xBF58476D1CE4E5B9ull;
        x ^= x >> 29;
        return static_cast<unsigned>(((x & 0xFFFFFFFFull) * teile) >> 32);
    }

private:
    // The key in two halves, so that a slot keeps the alignment of its value.
    struct TPlatz {
        std::uint32_t unten = ~std::uint32_t{0}, oben = ~std::uint32_t{0};
        std::uint32_t wert = Keiner;
        std::uint64_t Schluessel() const { return (static_cast<std::uint64_t>(oben) << 32) | unten; }
    };
    static std::uint64_t Mische(std::uint64_t s) { return s * 0x9E3779B97F4A7C15ull; }
    std::size_t Platz(std::uint64_t s) const { return static_cast<std::size_t>(Mische(s) >> schiebe_); }
    void Wachse();

    std::vector<TPlatz> plaetze_;
    std::size_t n_ = 0, maske_ = 0;
    int schiebe_ = 0;
};

}  // namespace zentrix
