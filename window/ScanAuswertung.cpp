// SPDX-License-Identifier: GPL-3.0-or-later
// The window's "Scan auswerten": a point cloud's spheres into the overview, one of them with its
// points into the grid, the report and the picture.
#include <cmath>
#include <filesystem>
#include <sstream>

#include "bericht/KugelBericht.hpp"
#include "core/Fehler.hpp"
#include "polar/KugelTabelle.hpp"
#include "scan/ScanAusgabe.hpp"
#include "textio/NumText.hpp"
#include "window/Datenformat.hpp"
#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {

namespace {

// The text of an edit field as a number; one that is none names the field.
double FeldZahl(const std::string& text, const char* feld) {
    try {
        return TextToReal(text);
    } catch (EConvertError& e) {
        e.Ort.Zelle = std::string("Feld ") + feld;
        e.Ort.Text = Zitat(text);
        throw;
    }
}

// The station field: three numbers X Y Z (metres) apart by blanks or semicolons; none where it
// says 0 0 0, the cloud's own origin (the report then says so).
std::optional<TXYZ> LiesStandpunkt(std::string text) {
    for (char& c : text)
        if (c == ';' || c == '\t') c = ' ';
    std::istringstream woerter(text);
    std::vector<std::string> w;
    for (std::string wort; woerter >> wort;) w.push_back(wort);
    if (w.size() != 3) {
        EConvertError e("Der Standpunkt braucht drei Zahlen X Y Z (Meter), etwa „0 0 0“");
        e.Ort.Zelle = "Feld Standpunkt";
        e.Ort.Text = Zitat(text);
        throw e;
    }
    const TXYZ s{FeldZahl(w[0], "Standpunkt"), FeldZahl(w[1], "Standpunkt"), FeldZahl(w[2], "Standpunkt")};
    if (s.X == 0 && s.Y == 0 && s.Z == 0) return std::nullopt;
    return s;
}

// The solution as the grid's thinned points see it: the normalised residuals, redundancy parts and
// the outlier mark of the points shown, in their order (every k-th point from the first).
TKugelLoesung Ausgeduennt(TKugelLoesung L, std::size_t k) {
    if (k <= 1) return L;
    auto duenne = [k](std::vector<double>& v) {
        std::vector<double> d;
        for (std::size_t i = 0; i < v.size(); i += k) d.push_back(v[i]);
        v = std::move(d);
    };
    if (L.Ausgleichung) duenne(L.Ausgleichung->NV);
    if (L.Konvergenz) {
        duenne(L.Konvergenz->r);
        const int a = L.Konvergenz->Ausreisser;
        const std::size_t i = a > 0 ? static_cast<std::size_t>(a - 1) : 1;
        L.Konvergenz->Ausreisser = a > 0 && i % k == 0 ? static_cast<int>(i / k) + 1 : 0;
    }
    L.n = static_cast<int>((static_cast<std::size_t>(L.n) + k - 1) / k);
    return L;
}

}  // namespace

void TForm1::ScanWaehlen() {
    const std::optional<std::string> datei = dialoge_.OpenFile();
    ScanGewaehlt = datei.has_value();
    if (datei) Edit2.Text = *datei;
    Statuszeile = datei ? "Scan auswerten: " + std::filesystem::path(*datei).filename().string()
                        : "Scan auswerten: Dateiwahl abgebrochen";
}

void TForm1::ScanAuswerten() {
    if (Edit2.Text.empty())
        throw EInOutError(ea::UngueltigerName, "Kein Dateiname angegeben: bitte eine Punktwolke wählen (F9)");
    const double R = FeldZahl(Edit1.Text, "Reflektorhöhe");
    const std::optional<TXYZ> standpunkt = LiesStandpunkt(Standpunkt.Text);
    // A stop asked for while this runs ends this run alone.
    struct TZuruecksetzen {
        std::atomic<bool>& abbrechen;
        ~TZuruecksetzen() { abbrechen = false; }
    } zuruecksetzen{ScanAbbrechen};
    TScanSteuerung steuerung;
    steuerung.Fortschritt = [this](const std::string& schritt, double anteil) {
        Melde("Scan auswerten: " + schritt + " …", static_cast<int>(anteil * 100));
        return true;
    };
    steuerung.Abbrechen = &ScanAbbrechen;
    Melde("Scan auswerten: Lesen …", 0);
    TScanErgebnis e = WerteScanAus(Edit2.Text, R, standpunkt, steuerung);
    if (e.Abgebrochen) {
        Statuszeile = "Scan auswerten: abgebrochen, nichts geändert";
        return;
    }
    Memo1.clear();
    ++Memo1Cleared;
    for (const std::string& zeile : ScanBericht(e)) Memo1.push_back(zeile);
    for (const std::string& m : e.Meldungen) ShowMessage(m);
    Statuszeile = "Scan auswerten: " + std::filesystem::path(e.Datei).filename().string() + ", " +
                  Anzahl(e.Gelesen) + " Punkte, " + Anzahl(e.Kugeln.size()) +
                  (e.Kugeln.size() == 1 ? " Kugel" : " Kugeln") + " gefunden, " + Anzahl(e.Verworfen.size()) +
                  " Kandidaten verworfen";
    Scan = std::make_shared<const TScanErgebnis>(std::move(e));
    Uebersicht = TUebersicht::Scan;
}

void TForm1::ScanKugelZeigen() {
    if (GewaehlteKugel >= Scan->Kugeln.size()) RaiseRangeError();
    const TScanKugel& kugel = Scan->Kugeln[GewaehlteKugel];
    const std::size_t n = kugel.Punktliste.size();
    const std::size_t k = GitterSchritt(n, ScanGitterPunkte);
    // The report lists every point the adjustment took; grid and picture every k-th.
    Memo1.clear();
    ++Memo1Cleared;
    Memo1.push_back("Kugel " + kugel.Name + " aus " + Scan->Datei + ": " + Anzahl(n) +
                    " Punkte, vom Standpunkt " +
                    FormatText("%.3f %.3f %.3f", {Scan->Standpunkt.X, Scan->Standpunkt.Y, Scan->Standpunkt.Z}) +
                    " aus (Koordinaten um ihn vermindert)");
    if (k > 1)
        Memo1.push_back("Tabelle und Grafik zeigen jeden " + std::to_string(k) + ". Punkt (" +
                        Anzahl((n + k - 1) / k) + "); die Ausgleichung nahm alle");
    SchreibeKugelBericht(kugel.Loesung, GitterPunkte(kugel, Scan->Standpunkt, 0), Memo1);
    TPunktArray punkte = GitterPunkte(kugel, Scan->Standpunkt, ScanGitterPunkte);
    LetzteLoesung = Ausgeduennt(kugel.Loesung, k);
    Edit1.Text = RealToTextGenau(Scan->R);  // "Rechne" right after computes with the scan's radius
    Ergebnisse.clear();
    // As a polar evaluation's sphere: rectangular, relative to the station at the origin.
    PunkteLage = {TPunktForm::Rechtwinklig, true};
    AusreisserZeile = LetzteLoesung->Konvergenz && LetzteLoesung->Konvergenz->Ausreisser > 0
                          ? LetzteLoesung->Konvergenz->Ausreisser + 1
                          : 0;
    const int zeilen = static_cast<int>(punkte.High());
    Punkte.Ersetzen(std::move(punkte));
    StringGrid1.SetRowCount(zeilen + 2);
    StringGrid1.SetColCount(5);
    const TDatenformat& rechtwinklig = Datenformat(0);
    WriteGridHeaders(StringGrid1, rechtwinklig.Kopf[0], rechtwinklig.Kopf[1], rechtwinklig.Kopf[2], KopfResiduum);
    ZeigeErgebnis(TLabelArt::Name);
    Statuszeile = "Kugel " + kugel.Name + " des Scans: " + Anzahl(n) + " Punkte" +
                  (k > 1 ? " (" + Anzahl(static_cast<std::size_t>(zeilen)) + " gezeigt)" : std::string()) + ", m0 " +
                  FormatText("%.1f", {kugel.m0 * 1000.0}) + " mm";
}

}  // namespace zentrix
