// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/Datenformat.hpp"

#include "core/Fehler.hpp"

namespace zentrix {

// In the polar formats the record always ends up with the distance in X, the direction (gon) in Y
// and the height difference, or before its preparation the zenith angle (gon), in Z: the polar
// form the solver expects.
const std::array<TDatenformat, 8> Datenformate = {{
    {"Nr X Y Z R", {&TPunkt::X, &TPunkt::Y, &TPunkt::Z}, {"X", "Y", "Höhe"}, false, THoehenregel::WieGelesen},
    {"Nr Y X Z R", {&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"Y", "X", "Höhe"}, false, THoehenregel::WieGelesen},
    {"Nr Ri S dH R", {&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"S", "Ri", "dH"}, true, THoehenregel::WieGelesen},
    {"Nr Ri S  Zd R", {&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"S", "Ri", "Zd"}, true, THoehenregel::Kotangens},
    {"Nr Ri Zd S R", {&TPunkt::Y, &TPunkt::Z, &TPunkt::X}, {"S", "Ri", "Zd"}, true, THoehenregel::Kotangens},
    {"Nr Ri D dH R", {&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"D", "Ri", "dH"}, true, THoehenregel::WieGelesen},
    {"Nr Ri D Zd R", {&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"D", "Ri", "Zd"}, true, THoehenregel::Schraeg},
    {"Nr Ri ZD D R", {&TPunkt::Y, &TPunkt::Z, &TPunkt::X}, {"D", "Ri", "Zd"}, true, THoehenregel::Schraeg},
}};

const TDatenformat& Datenformat(int index) {
    if (index < 0 || index >= static_cast<int>(Datenformate.size())) RaiseRangeError();
    return Datenformate[static_cast<std::size_t>(index)];
}

}  // namespace zentrix
