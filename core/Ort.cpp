// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Ort.hpp"

#include "core/Fehler.hpp"

namespace zentrix {

std::string OrtText(const TOrt& o) {
    std::string text;
    auto teil = [&text](const std::string& stueck) {
        if (stueck.empty()) return;
        if (!text.empty()) text += ", ";
        text += stueck;
    };
    if (!o.Datei.empty()) teil("Datei " + Sichtbar(o.Datei));
    if (!o.Kugel.empty()) teil("Kugel " + Sichtbar(o.Kugel));
    if (o.Zeile > 0 && o.ZeileBis > o.Zeile)
        teil("Zeilen " + std::to_string(o.Zeile) + "–" + std::to_string(o.ZeileBis));
    else if (o.Zeile > 0)
        teil("Zeile " + std::to_string(o.Zeile));
    if (o.Byte >= 0) teil("Byte " + std::to_string(o.Byte));
    if (o.Feld > 0) teil("Feld " + std::to_string(o.Feld));
    else if (!o.Feldname.empty()) teil("Feld " + o.Feldname);
    teil(o.Zelle);
    // What stood there, or why it went wrong.
    std::string was = o.Grund;
    if (was.empty() && (!o.Text.empty() || o.Feld > 0 || !o.Zelle.empty())) was = "„" + o.Text + "“";
    if (!was.empty()) text += text.empty() ? was : ": " + was;
    return text;
}

}  // namespace zentrix
