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

TPunktArray GitterPunkte(const TScanKugel& kugel, std::size_t hoechstens) {
    const std::size_t n = kugel.Punktliste.size();
    const std::size_t schritt = hoechstens > 0 ? std::max<std::size_t>(1, (n + hoechstens - 1) / hoechstens) : n + 1;
    TPunktArray p(1);
    p[0].X = kugel.Mittelpunkt.X;
    p[0].Y = kugel.Mittelpunkt.Y;
    p[0].Z = kugel.Mittelpunkt.Z;
    p[0].Name = kugel.Name;
    // The residuals are not kept with the solution: each is the point's distance from the centre less R.
    const bool geloest = kugel.Loesung.Ausgleichung.has_value();
    const TVek c{kugel.Mittelpunkt.X, kugel.Mittelpunkt.Y, kugel.Mittelpunkt.Z};
    p.Reserve(n / schritt + 2);
    for (std::size_t i = 0; i < n; i += schritt) {
        TPunkt q;
        q.Name = IntegerToText(static_cast<long long>(i) + 1);
        q.X = kugel.Punktliste[i].X;
        q.Y = kugel.Punktliste[i].Y;
        q.Z = kugel.Punktliste[i].Z;
        q.vR = geloest ? Verbesserung(c, TVek{q.X, q.Y, q.Z}, kugel.Loesung.R) : 0;
        p.SetLength(p.Length() + 1);
        p[p.High()] = std::move(q);
    }
    return p;
}

}  // namespace zentrix
