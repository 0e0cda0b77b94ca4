// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/WolkeLesen.hpp"

#include <algorithm>
#include <filesystem>

#include "scan/LasWolke.hpp"
#include "scan/PlyWolke.hpp"
#include "scan/TextWolke.hpp"
#include "scan/WolkenFehler.hpp"

namespace zentrix {

namespace {

// The file name's ending in small letters, with its dot (".las").
std::string Endung(const std::string& pfad) {
    std::string e = std::filesystem::path(pfad).extension().string();
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e;
}

}  // namespace

TWolkenformat WolkenformatVon(const TBinaerDatei& datei) {
    const std::string anfang = datei.Anfang(16);
    const std::string endung = Endung(datei.Pfad());
    auto beginnt = [&anfang](std::string_view k) { return anfang.compare(0, k.size(), k) == 0; };
    if (beginnt("ASTM-E57") || endung == ".e57") WolkenFehlerByte(E57Abgewiesen, datei.Pfad(), 0, "Dateikennung");
    if (endung == ".laz") WolkenFehlerByte(LazAbgewiesen, datei.Pfad(), 0, "Dateikennung");
    if (beginnt("LASF")) return TWolkenformat::Las;
    if (beginnt("ply\n") || beginnt("ply\r\n")) return TWolkenformat::Ply;
    if (endung == ".las")
        WolkenFehlerByte("Keine LAS-Datei: die Kennung „LASF“ fehlt am Anfang", datei.Pfad(), 0, "Dateikennung",
                         anfang.substr(0, 4));
    if (endung == ".ply")
        WolkenFehlerZeile("Keine PLY-Datei: die erste Zeile muss „ply“ lauten", datei.Pfad(), 1, 1,
                          anfang.substr(0, anfang.find_first_of("\r\n")));
    return TWolkenformat::Text;
}

const char* WolkenformatName(TWolkenformat format) {
    switch (format) {
        case TWolkenformat::Ply: return "PLY";
        case TWolkenformat::Las: return "LAS";
        case TWolkenformat::Text: break;
    }
    return "Text";
}

TWolke LeseWolke(const std::string& pfad, TScanMelder& melder, TWolkenformat* format) {
    TBinaerDatei datei(pfad);
    const TWolkenformat f = WolkenformatVon(datei);
    if (format != nullptr) *format = f;
    switch (f) {
        case TWolkenformat::Ply: return LesePly(datei, melder);
        case TWolkenformat::Las: return LeseLas(datei, melder);
        case TWolkenformat::Text: break;
    }
    return LeseTextwolke(pfad, melder);
}

}  // namespace zentrix
