// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Zielpruefung.hpp"

#include <cerrno>

#include "core/Fehler.hpp"
#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"
#include "polar/Polarauswertung.hpp"
#include "textio/Ablage.hpp"

namespace zentrix {

std::string ZielVerboten(const std::string& ziel, const std::string& eingabe, const std::vector<std::string>& ausgaben) {
    plattform::TInfo info;
    if (plattform::Info(ziel, info) == 0) {
        if (info.Art == plattform::TArt::Ordner) return SystemReasonText(EISDIR);
        if (info.Art != plattform::TArt::Datei) return IOErrorText(ea::KeineGewoehnlicheDatei);
    }
    if (!eingabe.empty() && ablage::GleicheDatei(ziel, eingabe)) return "Die Eingabedatei würde überschrieben";
    for (const std::string& ausgabe : ausgaben)
        if (ablage::GleicheDatei(ziel, ausgabe)) return ausgabe + " ist eine Ausgabe dieser Auswertung";
    return {};
}

std::string ZieleVerboten(const std::string& befehl, const std::string& datei, const std::vector<std::string>& ziele) {
    // The polar evaluation writes its marked copy and its listing beside the input.
    std::vector<std::string> ausgaben;
    if (befehl == "polarauswertung") ausgaben = {AusgabeBasis(datei) + "TXT", AusgabeBasis(datei) + "LST"};
    for (const std::string& ziel : ziele) {
        if (ziel.empty()) continue;
        if (const std::string grund = ZielVerboten(ziel, datei, ausgaben); !grund.empty())
            return "Fehler: Datei " + ziel + " kann nicht geschrieben werden. " + grund + ".\n";
    }
    return {};
}

}  // namespace zentrix
