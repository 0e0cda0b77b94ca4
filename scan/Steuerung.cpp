// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Steuerung.hpp"

#include <algorithm>

namespace zentrix {

namespace {

// Shares closer than this to the last one reported are not handed on: a window redraws its bar
// a few hundred times at most.
constexpr double Meldeschritt = 0.002;

}  // namespace

void TScanMelder::Schritt(const std::string& name, double von, double bis) {
    schritt_ = name;
    von_ = von;
    bis_ = bis;
    gemeldet_ = -1;
    Melde(0);
}

void TScanMelder::Melde(double anteil) {
    Pruefe();
    const double gesamt = von_ + (bis_ - von_) * std::clamp(anteil, 0.0, 1.0);
    if (s_.Fortschritt && (gemeldet_ < 0 || gesamt - gemeldet_ >= Meldeschritt)) {
        gemeldet_ = gesamt;
        if (!s_.Fortschritt(schritt_, gesamt)) gestoppt_ = true;
    }
    Pruefe();
}

bool TScanMelder::Gestoppt() const {
    return gestoppt_.load(std::memory_order_relaxed) ||
           (s_.Abbrechen != nullptr && s_.Abbrechen->load(std::memory_order_relaxed));
}

void TScanMelder::Pruefe() const {
    if (Gestoppt()) throw EScanAbgebrochen{};
}

}  // namespace zentrix
