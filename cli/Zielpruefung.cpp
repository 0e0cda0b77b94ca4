#include "cli/Zielpruefung.hpp"

#include <filesystem>
#include <system_error>

#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "polar/Polarauswertung.hpp"
#include "textio/Ablage.hpp"

namespace zentrix {

std::string ZielVerboten(const std::string& ziel, const std::string& eingabe, const std::vector<std::string>& ausgaben) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(ziel), ec);
    if (fs::is_directory(st)) return SystemReasonText(EISDIR);
    if (fs::exists(st) && !fs::is_regular_file(st)) return IOErrorText(ea::KeineGewoehnlicheDatei);
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
