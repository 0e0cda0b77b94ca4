#include "scan/Raster.hpp"

#include <bit>

namespace zentrix {

TZellTabelle::TZellTabelle(std::size_t erwartet) {
    const std::size_t plaetze = std::bit_ceil(std::max<std::size_t>(16, 2 * erwartet));
    schluessel_.assign(plaetze, Leer);
    wert_.assign(plaetze, Keiner);
    maske_ = plaetze - 1;
    schiebe_ = 64 - std::countr_zero(plaetze);
}

std::uint32_t& TZellTabelle::Eintrag(std::uint64_t schluessel, std::uint32_t neuerWert, bool& neu) {
    if (2 * (n_ + 1) > schluessel_.size()) Wachse();
    std::size_t i = Platz(schluessel);
    for (; schluessel_[i] != Leer; i = (i + 1) & maske_)
        if (schluessel_[i] == schluessel) {
            neu = false;
            return wert_[i];
        }
    schluessel_[i] = schluessel;
    wert_[i] = neuerWert;
    ++n_;
    neu = true;
    return wert_[i];
}

void TZellTabelle::Wachse() {
    TZellTabelle groesser(schluessel_.size());
    FuerAlle([&groesser](std::uint64_t s, std::uint32_t w) {
        bool neu = false;
        groesser.Eintrag(s, w, neu);
    });
    *this = std::move(groesser);
}

}  // namespace zentrix
