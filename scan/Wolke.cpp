// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Wolke.hpp"

#include "core/Fehler.hpp"

namespace zentrix {

TWolke::TWolke(std::size_t kapazitaet)
    : p_(kapazitaet > 0 ? std::make_unique_for_overwrite<TWolkenpunkt[]>(kapazitaet) : nullptr), n_(kapazitaet) {}

void TWolke::Kuerzen(std::size_t n) {
    if (n > n_) RaiseRangeError();
    n_ = n;
}

void TWolke::Freigeben() {
    p_.reset();
    n_ = 0;
}

}  // namespace zentrix
