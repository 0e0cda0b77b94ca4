// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanAusgabe.hpp"

#include <filesystem>
#include <system_error>

#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "polar/KugelTabelle.hpp"
#include "polar/Kugelsuche.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

// The report's columns: the header and the layout of a sphere's line.
constexpr const char* KopfFormat = "%-6s %8s %6s %14s %14s %11s %10s %10s %10s %6s %6s %6s %6s %8s %6s";
constexpr const char* ZeilenFormat =
    "%-6s %8d %6d %14.4f %14.4f %11.4f %10.4f %10.3f %10.4f %6.2f %6.2f %6.2f %6.2f %8.4f %6.1f%s";

std::string Zeile(const TScanKugel& k) {
    const double frei = k.Radius ? k.Radius->RFrei : 0;
    const char* hinweis = k.Radius && k.Radius->Abweichend ? "  Radius weicht ab" : "";
    return FormatText(ZeilenFormat, {k.Name, k.Punkte, k.Ausreisser, k.Mittelpunkt.X, k.Mittelpunkt.Y,
                                     k.Mittelpunkt.Z, k.Polar.Ri, k.Polar.S, k.Polar.Zd, 1000 * k.m.X, 1000 * k.m.Y,
                                     1000 * k.m.Z, 1000 * k.m0, frei, k.Kappe, hinweis});
}

}  // namespace

std::vector<std::string> ScanBericht(const TScanErgebnis& e) {
    std::vector<std::string> bericht;
    std::string kopf = "Scan " + e.Datei + ": " + Anzahl(e.Gelesen) + " Punkte (" + WolkenformatName(e.Format) + ")";
    if (e.Ungueltig > 0) kopf += ", " + Anzahl(e.Ungueltig) + " ohne Koordinaten übergangen";
    kopf += ", Radius " + RealToText(e.R) + " m, Standpunkt " +
            FormatText("%.3f %.3f %.3f", {e.Standpunkt.X, e.Standpunkt.Y, e.Standpunkt.Z}) +
            (e.StandpunktGegeben ? "" : " (Ursprung der Wolke)");
    bericht.push_back(kopf);
    bericht.push_back(FormatText(KopfFormat, {"Kugel", "Punkte", "Ausr.", "X [m]", "Y [m]", "Z [m]", "Ri [gon]", "S [m]",
                                              "Zd [gon]", "mX mm", "mY mm", "mZ mm", "m0 mm", "R frei", "Kappe"}));
    for (const TScanKugel& k : e.Kugeln) bericht.push_back(Zeile(k));
    bericht.push_back(Anzahl(e.Kugeln.size()) + (e.Kugeln.size() == 1 ? " Kugel" : " Kugeln") + " gefunden, " +
                      Anzahl(e.Verworfen.size()) + " Kandidaten geprüft und verworfen");
    return bericht;
}

std::vector<std::string> ScanBeobachtungen(const std::vector<TScanKugel>& kugeln) {
    std::vector<std::string> zeilen;
    for (const TScanKugel& k : kugeln) zeilen.push_back(KugelmittelpunktZeile(k.Name, k.Polar, {}));
    return zeilen;
}

std::string ScanKoordinaten(const TScanKugel& kugel, double R) {
    std::string text;
    const std::string radius = RealToText(R);
    text.reserve(kugel.Punktliste.size() * 48);
    long long nr = 0;
    for (const TWolkenpunkt& p : kugel.Punktliste) {
        AppendFormat(text, "%d %.5f %.5f %.5f %s\r\n", {++nr, p.X, p.Y, p.Z, radius});
    }
    return text;
}

int SchreibePunktdateien(const std::vector<TScanKugel>& kugeln, double R, const std::string& ordner,
                         std::string& datei, std::string& grund) {
    std::error_code ec;
    std::filesystem::create_directories(ordner, ec);
    if (ec) {
        datei = VollerPfad(ordner);
        grund = SystemReasonText(ec.value());
        return IOCodeFromErrno(ec.value());
    }
    for (const TScanKugel& k : kugeln) {
        datei = (std::filesystem::path(ordner) / (k.Name + ".kor")).string();
        const int code = SaveText(datei, ScanKoordinaten(k, R), &grund);
        if (code != 0) {
            datei = VollerPfad(datei);
            return code;
        }
    }
    datei.clear();
    return 0;
}

}  // namespace zentrix
