// SPDX-License-Identifier: GPL-3.0-or-later
// zentrix-cli scan: the evaluation of a scan (scan/Scan.hpp) on the batch tool's streams and files.
#include "cli/Scan.hpp"

#include <CLI/CLI.hpp>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "cli/Cli.hpp"
#include "cli/JsonStrom.hpp"
#include "cli/Zielpruefung.hpp"
#include "core/Fehler.hpp"
#include "scan/ScanAusgabe.hpp"
#include "scan/ScanTabelle.hpp"
#include "textio/TextFile.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace {

using nlohmann::json;

// A finite number written with a decimal point, or nothing.
std::optional<double> Zahl(const std::string& text) {
    const TRealScan s = ScanReal(text, TokenRegel());
    if (s.Status != TRealStatus::Zahl || !std::isfinite(s.Wert)) return std::nullopt;
    return s.Wert;
}

// A place as JSON: only what is known of it; lines, fields and bytes as integers.
json OrtJson(const TOrt& o) {
    if (o.Leer()) return nullptr;
    json j = json::object();
    if (!o.Datei.empty()) j["datei"] = o.Datei;
    if (o.Zeile > 0) j["zeile"] = o.Zeile;
    if (o.Byte >= 0) j["byte"] = o.Byte;
    if (o.Feld > 0) j["feld"] = o.Feld;
    if (!o.Feldname.empty()) j["feldname"] = o.Feldname;
    if (o.Feld > 0 || !o.Text.empty()) j["text"] = o.Text;
    if (!o.Grund.empty()) j["grund"] = o.Grund;
    return j;
}

const char* Seitenwahl(TSeitenwahl s) {
    switch (s) {
        case TSeitenwahl::Standpunkt: return "standpunkt";
        case TSeitenwahl::Quadratsumme: return "quadratsumme";
        case TSeitenwahl::Keine: break;
    }
    return nullptr;
}

}  // namespace

json ScanKugelJson(const TScanKugel& k) {
    json j = {{"name", k.Name},
              {"mittelpunkt",
               {{"X", k.Mittelpunkt.X}, {"Y", k.Mittelpunkt.Y}, {"Z", k.Mittelpunkt.Z}, {"Ri", k.Polar.Ri}, {"S", k.Polar.S},
                {"Zd", k.Polar.Zd}}},
              {"mX", k.m.X},
              {"mY", k.m.Y},
              {"mZ", k.m.Z},
              {"m0", k.m0},
              {"punkte", k.Punkte},
              {"ausreisser", k.Ausreisser},
              {"kappe", k.Kappe},
              {"hinter_flaeche", k.Hinter}};
    j["radius_frei"] = k.Radius ? json(k.Radius->RFrei) : json(nullptr);
    j["m_radius_frei"] = k.Radius ? json(k.Radius->mR) : json(nullptr);
    j["radius_abweichend"] = k.Radius ? json(k.Radius->Abweichend) : json(nullptr);
    const char* seite = Seitenwahl(k.Seitenwahl);
    j["seitenwahl"] = seite != nullptr ? json(seite) : json(nullptr);
    j["pruefung"] = {{"kappe_quer", k.KappeQuer},       {"fortsetzung", k.Fortsetzung}, {"quer_kruemmung", k.QuerKruemmung},
                     {"normalenwinkel", k.NormalenWinkel}, {"sigma", k.Sigma},          {"band", k.Band}};
    return j;
}

namespace {

// The result as one object, written as it is put together: report, messages, error and its place,
// the cloud, and the spheres.
void SchreibeScanJson(std::ostream& out, const TScanErgebnis* e, const std::vector<std::string>& bericht,
                      const std::string& fehler, const TOrt& ort) {
    TJsonStrom j;
    j.Feld("report", [&bericht](const auto& element) {
        for (const std::string& zeile : bericht) element(zeile);
    });
    j.Wert("messages", e != nullptr ? e->Meldungen : std::vector<std::string>{});
    j.Wert("error", fehler.empty() ? json(nullptr) : json(fehler));
    j.Wert("ort", fehler.empty() ? json(nullptr) : OrtJson(ort));
    if (e != nullptr) {
        j.Wert("datei", e->Datei);
        j.Wert("format", WolkenformatName(e->Format));
        j.Wert("punkte_gelesen", e->Gelesen);
        j.Wert("punkte_ohne_koordinaten", e->Ungueltig);
        j.Wert("radius", e->R);
        j.Wert("standpunkt",
               {{"X", e->Standpunkt.X}, {"Y", e->Standpunkt.Y}, {"Z", e->Standpunkt.Z}, {"gegeben", e->StandpunktGegeben}});
        j.Wert("kandidaten_verworfen", e->Verworfen.size());
        j.Feld("kugeln", [e](const auto& element) {
            for (const TScanKugel& k : e->Kugeln) element(ScanKugelJson(k));
        });
    }
    j.Schreibe(out);
}

// Writes the files asked for; false (and the reason on err) at the first that cannot be written.
bool SchreibeDateien(const TScanAufruf& a, const TScanErgebnis& e, std::ostream& err) {
    std::string datei, grund;
    int code = 0;
    if (!a.kugeln.empty() && (code = SaveText(a.kugeln, ScanKugelnCsv(e.Kugeln), &grund)) != 0) datei = a.kugeln;
    if (code == 0 && !a.beobachtungen.empty() && (code = SaveLines(a.beobachtungen, ScanBeobachtungen(e.Kugeln), &grund)) != 0)
        datei = a.beobachtungen;
    if (code == 0 && !a.punkte.empty()) code = SchreibePunktdateien(e.Kugeln, e.R, a.punkte, datei, grund);
    if (code == 0) return true;
    err << "Fehler: Datei " << datei << " kann nicht geschrieben werden. " << grund << ".\n";
    return false;
}

}  // namespace

CLI::App* ScanBefehl(CLI::App& app, TScanAufruf& a) {
    auto* scan = app.add_subcommand("scan");
    scan->add_option("WOLKE", a.wolke)->required();
    // Numbers with a decimal point whatever the locale, as the files have them.
    const CLI::Validator zahl(
        [](std::string& text) { return Zahl(text) ? std::string() : std::string("keine Zahl"); }, "ZAHL", "Zahl");
    const CLI::Validator radius(
        [](std::string& text) {
            const std::optional<double> r = Zahl(text);
            return r && *r > 0 ? std::string() : std::string("kein Radius");
        },
        "R", "Radius");
    scan->add_option("--radius", a.radius)->required()->check(radius);
    scan->add_option("--standpunkt", a.standpunkt)->expected(3)->check(zahl);
    scan->add_flag("--json", a.json);
    scan->add_option("--kugeln", a.kugeln);
    scan->add_option("--punkte", a.punkte);
    scan->add_option("--beobachtungen", a.beobachtungen);
    return scan;
}

int FuehreScanAus(const TScanAufruf& a, std::ostream& out, std::ostream& err) {
    // The overview and the observations may replace neither the cloud nor each other.
    if (const std::string fehler = ZieleVerboten("scan", a.wolke, {a.kugeln, a.beobachtungen}); !fehler.empty()) {
        err << fehler;
        return CliFehler;
    }
    if (!a.kugeln.empty() && !a.beobachtungen.empty() && ZielVerboten(a.beobachtungen, {}, {a.kugeln}) != "") {
        err << "Fehler: Datei " << a.beobachtungen << " kann nicht geschrieben werden. " << a.kugeln
            << " ist eine Ausgabe dieser Auswertung.\n";
        return CliFehler;
    }
    std::optional<TXYZ> standpunkt;
    if (a.standpunkt.size() == 3)
        standpunkt = TXYZ{*Zahl(a.standpunkt[0]), *Zahl(a.standpunkt[1]), *Zahl(a.standpunkt[2])};
    try {
        const TScanErgebnis e = WerteScanAus(a.wolke, Zahl(a.radius).value_or(0), standpunkt);
        const std::vector<std::string> bericht = ScanBericht(e);
        if (a.json) {
            SchreibeScanJson(out, &e, bericht, {}, {});
        } else {
            for (const std::string& zeile : bericht) out << zeile << '\n';
            for (const std::string& m : e.Meldungen) err << "Meldung: " << m << '\n';
        }
        if (!SchreibeDateien(a, e, err)) return CliFehler;
        return e.Meldungen.empty() ? CliOk : CliMeldung;
    } catch (const EZentrixError& fehler) {
        const std::string text = ErrorBoxText(fehler.what());
        if (a.json) {
            SchreibeScanJson(out, nullptr, {}, text, fehler.Ort);
        } else {
            err << "Fehler: " << text << '\n';
            if (!fehler.Ort.Leer()) err << "  " << OrtText(fehler.Ort) << '\n';
        }
        return CliFehler;
    }
}

}  // namespace zentrix
