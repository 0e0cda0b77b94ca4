// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanTabelle.hpp"

#include <algorithm>
#include <cmath>

#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// A number as "%.<stellen>f" with the decimal mark given.
std::string Zahl(double wert, int stellen, char dezimal) {
    std::string text;
    AppendFixedText(text, wert, stellen);
    if (dezimal != '.') std::replace(text.begin(), text.end(), '.', dezimal);
    return text;
}

// The number a column sorts by (NaN: none).
double Wert(const TScanKugel& k, TScanSpalte s) {
    switch (s) {
        case TScanSpalte::Punkte: return k.Punkte;
        case TScanSpalte::Ausreisser: return k.Ausreisser;
        case TScanSpalte::X: return k.Mittelpunkt.X;
        case TScanSpalte::Y: return k.Mittelpunkt.Y;
        case TScanSpalte::Z: return k.Mittelpunkt.Z;
        case TScanSpalte::Richtung: return k.Polar.Ri;
        case TScanSpalte::Strecke: return k.Polar.S;
        case TScanSpalte::Zenitdistanz: return k.Polar.Zd;
        case TScanSpalte::MX: return k.m.X;
        case TScanSpalte::MY: return k.m.Y;
        case TScanSpalte::MZ: return k.m.Z;
        case TScanSpalte::M0: return k.m0;
        case TScanSpalte::Kappe: return k.Kappe;
        default: return std::nan("");
    }
}

const char* SeitenText(TSeitenwahl s) {
    switch (s) {
        case TSeitenwahl::Standpunkt: return "hinten (Standpunkt)";
        case TSeitenwahl::Quadratsumme: return "hinten (Quadratsumme)";
        case TSeitenwahl::Keine: break;
    }
    return "hinten";
}

}  // namespace

const std::vector<TScanSpalte>& ScanSpalten() {
    static const std::vector<TScanSpalte> spalten = {
        TScanSpalte::Name,   TScanSpalte::Punkte,       TScanSpalte::Ausreisser, TScanSpalte::X,  TScanSpalte::Y,
        TScanSpalte::Z,      TScanSpalte::Richtung,     TScanSpalte::Strecke,    TScanSpalte::Zenitdistanz,
        TScanSpalte::MX,     TScanSpalte::MY,           TScanSpalte::MZ,         TScanSpalte::M0, TScanSpalte::Radius,
        TScanSpalte::Kappe,  TScanSpalte::Seite};
    return spalten;
}

const char* ScanKopf(TScanSpalte spalte) {
    switch (spalte) {
        case TScanSpalte::Name: return "Name";
        case TScanSpalte::Punkte: return "Punkte";
        case TScanSpalte::Ausreisser: return "Ausreißer";
        case TScanSpalte::X: return "X [m]";
        case TScanSpalte::Y: return "Y [m]";
        case TScanSpalte::Z: return "Z [m]";
        case TScanSpalte::Richtung: return "Ri [gon]";
        case TScanSpalte::Strecke: return "S [m]";
        case TScanSpalte::Zenitdistanz: return "Zd [gon]";
        case TScanSpalte::MX: return "mX [mm]";
        case TScanSpalte::MY: return "mY [mm]";
        case TScanSpalte::MZ: return "mZ [mm]";
        case TScanSpalte::M0: return "m0 [mm]";
        case TScanSpalte::Radius: return "Radiusprüfung";
        case TScanSpalte::Kappe: return "Kappe [gon]";
        case TScanSpalte::Seite: return "Seite";
    }
    return "";
}

std::string ScanZelle(const TScanKugel& k, TScanSpalte spalte, char dezimal) {
    switch (spalte) {
        case TScanSpalte::Name: return k.Name;
        case TScanSpalte::Punkte: return std::to_string(k.Punkte);
        case TScanSpalte::Ausreisser: return std::to_string(k.Ausreisser);
        case TScanSpalte::X:
        case TScanSpalte::Y:
        case TScanSpalte::Z:
        case TScanSpalte::Richtung:
        case TScanSpalte::Zenitdistanz: return Zahl(Wert(k, spalte), 4, dezimal);
        case TScanSpalte::Strecke: return Zahl(k.Polar.S, 3, dezimal);
        case TScanSpalte::MX:
        case TScanSpalte::MY:
        case TScanSpalte::MZ:
        case TScanSpalte::M0: return Zahl(1000 * Wert(k, spalte), 2, dezimal);
        case TScanSpalte::Kappe: return Zahl(k.Kappe, 1, dezimal);
        case TScanSpalte::Radius:
            if (!k.Radius) return {};
            return (k.Radius->Abweichend ? "weicht ab, frei " : "passt, frei ") + Zahl(k.Radius->RFrei, 4, dezimal) + " m";
        case TScanSpalte::Seite: return SeitenText(k.Seitenwahl);
    }
    return {};
}

bool ScanVor(const TScanKugel& a, const TScanKugel& b, TScanSpalte spalte) {
    switch (spalte) {
        case TScanSpalte::Name:
            return a.Name.size() != b.Name.size() ? a.Name.size() < b.Name.size() : a.Name < b.Name;
        case TScanSpalte::Radius: {
            if (!a.Radius || !b.Radius) return a.Radius.has_value() && !b.Radius;
            return a.Radius->Abweichend != b.Radius->Abweichend ? !a.Radius->Abweichend : a.Radius->RFrei < b.Radius->RFrei;
        }
        case TScanSpalte::Seite: return ScanZelle(a, spalte) < ScanZelle(b, spalte);
        default: return Wert(a, spalte) < Wert(b, spalte);
    }
}

namespace {

std::string CsvFeld(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string feld = "\"";
    for (const char c : text) feld += c == '"' ? std::string("\"\"") : std::string(1, c);
    return feld + "\"";
}

}  // namespace

std::string ScanKugelnCsv(const std::vector<TScanKugel>& kugeln) {
    std::vector<std::uint32_t> alle(kugeln.size());
    for (std::uint32_t i = 0; i < alle.size(); ++i) alle[i] = i;
    return ScanKugelnCsv(kugeln, alle);
}

std::string ScanKugelnCsv(const std::vector<TScanKugel>& kugeln, const std::vector<std::uint32_t>& zeilen) {
    std::string csv = "\xEF\xBB\xBF";  // the byte-order mark tells the spreadsheet it is UTF-8
    auto zeile = [&csv](auto zelle) {
        bool erste = true;
        for (const TScanSpalte s : ScanSpalten()) {
            if (!erste) csv += ';';
            erste = false;
            csv += CsvFeld(zelle(s));
        }
        csv += "\r\n";
    };
    zeile([](TScanSpalte s) { return std::string(ScanKopf(s)); });
    for (const std::uint32_t i : zeilen) {
        const TScanKugel& k = kugeln.at(i);
        zeile([&k](TScanSpalte s) { return ScanZelle(k, s, ','); });
    }
    return csv;
}

}  // namespace zentrix
