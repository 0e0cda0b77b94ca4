// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/WolkenFehler.hpp"

namespace zentrix {

const char* const LazAbgewiesen =
    "LAZ-Dateien (komprimiertes LAS) liest Zentrix nicht: bitte als LAS ohne Kompression, PLY oder Text "
    "(X Y Z je Zeile) exportieren";
const char* const E57Abgewiesen =
    "E57-Dateien liest Zentrix nicht: bitte als LAS ohne Kompression, PLY oder Text (X Y Z je Zeile) exportieren";

void WolkenFehlerZeile(const std::string& meldung, const std::string& pfad, long long zeile, int feld,
                       std::string_view feldtext) {
    EWolkenFehler e(meldung);
    e.Ort.Datei = pfad;
    e.Ort.Zeile = zeile;
    e.Ort.Feld = feld;
    e.Ort.Text = Zitat(feldtext);
    throw e;
}

void WolkenFehlerByte(const std::string& meldung, const std::string& pfad, long long byte, const std::string& feld,
                      const std::string& wert) {
    EWolkenFehler e(meldung);
    e.Ort.Datei = pfad;
    e.Ort.Byte = byte;
    e.Ort.Feldname = feld;
    e.Ort.Text = Zitat(wert);
    throw e;
}

}  // namespace zentrix
