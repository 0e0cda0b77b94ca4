// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Scan.hpp"

#include <cmath>

#include "core/Fehler.hpp"
#include "numerics/KugelPruefung.hpp"
#include "scan/Kugelfinder.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

// The share of the whole taken by reading the cloud.
constexpr double LesenAnteil = 0.35;

}  // namespace

TScanErgebnis WerteScanAus(const std::string& datei, double R, std::optional<TXYZ> standpunkt,
                           const TScanSteuerung& steuerung) {
    if (!(R > 0) || !std::isfinite(R)) throw EZentrixError("Der Kugelradius muss größer als 0 sein");
    TScanErgebnis e;
    e.R = R;
    e.StandpunktGegeben = standpunkt.has_value();
    e.Standpunkt = standpunkt.value_or(TXYZ{});
    TScanMelder melder(steuerung);
    try {
        melder.Schritt("Lesen", 0, LesenAnteil);
        TWolke wolke = LeseWolke(datei, melder, &e.Format);
        e.Datei = VollerPfad(datei);
        e.Gelesen = wolke.size();
        e.Ungueltig = wolke.Ungueltig;
        TKugelfund fund = FindeKugeln(wolke, R, {e.Standpunkt.X, e.Standpunkt.Y, e.Standpunkt.Z}, melder, LesenAnteil);
        e.Kugeln = std::move(fund.Kugeln);
        e.Verworfen = std::move(fund.Verworfen);
        e.Kandidaten = fund.Kandidaten;
    } catch (const EScanAbgebrochen&) {
        TScanErgebnis abgebrochen;
        abgebrochen.Abgebrochen = true;
        return abgebrochen;
    }
    if (e.Kugeln.empty()) e.Meldungen.push_back("Keine Kugel mit Radius " + RealToText(R) + " m gefunden");
    return e;
}

TPunktArray GitterPunkte(const TScanKugel& kugel, const TXYZ& standpunkt, std::size_t hoechstens) {
    const std::size_t n = kugel.Punktliste.size();
    const std::size_t schritt = GitterSchritt(n, hoechstens);
    // The residuals are not kept with the solution: each is the point's distance from the centre
    // less R, formed from the reduced coordinates as the adjustment formed it.
    const std::optional<TAusgleichung>& a = kugel.Loesung.Ausgleichung;
    TPunktArray p(1);
    p[0].X = kugel.Mittelpunkt.X - standpunkt.X;
    p[0].Y = kugel.Mittelpunkt.Y - standpunkt.Y;
    p[0].Z = kugel.Mittelpunkt.Z - standpunkt.Z;
    p[0].Name = kugel.Name;
    const TVek c{p[0].X, p[0].Y, p[0].Z};
    p.SetLength((n + schritt - 1) / schritt + 1);
    long long k = 1;
    for (std::size_t i = 0; i < n; i += schritt, ++k) {
        TPunkt& q = p[k];
        q.Name = IntegerToText(static_cast<long long>(i) + 1);
        q.X = kugel.Punktliste[i].X - standpunkt.X;
        q.Y = kugel.Punktliste[i].Y - standpunkt.Y;
        q.Z = kugel.Punktliste[i].Z - standpunkt.Z;
        q.vR = a ? Verbesserung(c, TVek{q.X, q.Y, q.Z}, kugel.Loesung.R) : 0;
    }
    return p;
}

}  // namespace zentrix
