// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Raster.hpp"

#include <bit>

namespace zentrix {

TZellTabelle::TZellTabelle(std::size_t erwartet) {
    const std::size_t plaetze = std::bit_ceil(std::max<std::size_t>(16, erwartet * 10 / 7 + 1));
    plaetze_.assign(plaetze, TPlatz{});
    maske_ = plaetze - 1;
    schiebe_ = 64 - std::countr_zero(plaetze);
}

std::uint32_t& TZellTabelle::Eintrag(std::uint64_t schluessel, std::uint32_t neuerWert, bool& neu) {
    if (10 * (n_ + 1) > 7 * plaetze_.size()) Wachse();
    std::size_t i = Platz(schluessel);
    for (; plaetze_[i].Schluessel() != Leer; i = (i + 1) & maske_)
        if (plaetze_[i].Schluessel() == schluessel) {
            neu = false;
            return plaetze_[i].wert;
        }
    plaetze_[i] = {static_cast<std::uint32_t>(schluessel), static_cast<std::uint32_t>(schluessel >> 32), neuerWert};
    ++n_;
    neu = true;
    return plaetze_[i].wert;
}

void TZellTabelle::Wachse() {
    TZellTabelle groesser(plaetze_.size());
    FuerAlle([&groesser](std::uint64_t s, std::uint32_t w) {
        bool neu = false;
        groesser.Eintrag(s, w, neu);
    });
    *this = std::move(groesser);
}

}  // namespace zentrix
