// SPDX-License-Identifier: GPL-3.0-or-later
// The window model: the grid, the form's values and its event handlers.
#include "window/UnitBogenschnitt3D.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>

#include "core/Fehler.hpp"
#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"
#include "bericht/KugelBericht.hpp"
#include "numerics/Loeser.hpp"
#include "numerics/Polar.hpp"
#include "polar/Konvert.hpp"
#include "polar/KugelTabelle.hpp"
#include "polar/Polarauswertung.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"
#include "textio/Zwischendatei.hpp"
#include "window/Datenformat.hpp"
#include "window/Koordinatendatei.hpp"

namespace zentrix {

const char* const FormCaption = "Kugelmittelpunkt aus Punkten der Kugeloberfläche berechnen";

// ---------------------------------------------------------------------------------------------
// Grid

namespace {

// The report memo's older text in a temporary file: a day's polar evaluation can give a listing
// several times the size of its observations.
class TMemoAuslagerung : public IAuslagerung {
public:
    // A report that cannot be kept whole (a full temporary folder) ends the command: nothing of
    // it is silently lost.
    void Anhaengen(std::string_view text) override {
        if (!datei_.Anhaengen(text)) throw EInOutError(IOCodeFromErrno(datei_.Fehler() != 0 ? datei_.Fehler() : EIO));
    }
    void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const override { datei_.Lesen(pos, laenge, out); }
    void Leeren() override { datei_.Leeren(); }

private:
    TZwischendatei datei_;
};

// Lines beyond this much text (bytes) of the report go to the temporary file.
constexpr std::size_t MemoImSpeicher = 8u << 20;

// Columns 0 to 3 of row i + 1: label and coordinates (metres, three decimals). The numbers are
// laid out when the grid is shown.
void FillRow(TStringGrid& grid, const TPunktArray& punkte, long long i, TLabelArt art) {
    const int row = static_cast<int>(i + 1);
    const TPunkt& p = punkte[i];
    if (art == TLabelArt::Name) grid.SetCell(0, row, p.Name);
    else grid.SetNummer(0, row, i);
    grid.SetZahl(1, row, p.X, 3);
    grid.SetZahl(2, row, p.Y, 3);
    grid.SetZahl(3, row, p.Z, 3);
}

}  // namespace

void WriteGridHeaders(TStringGrid& grid, const char* c1, const char* c2, const char* c3, const char* c4) {
    grid.SetCell(0, 0, "Punkt");
    grid.SetCell(1, 0, c1);
    grid.SetCell(2, 0, c2);
    grid.SetCell(3, 0, c3);
    grid.SetCell(4, 0, c4);
}

void FillGrid(TStringGrid& grid, const TPunktArray& punkte, TLabelArt art) {
    for (long long i = 0; i <= punkte.High(); ++i) {
        FillRow(grid, punkte, i, art);
        // The centre row has no residual: column 4 of row 1 keeps whatever it holds.
        if (i >= 1) grid.SetZahl(4, static_cast<int>(i + 1), punkte[i].vR, 4);
    }
}

// ---------------------------------------------------------------------------------------------
// The form

TForm1::TForm1(IDialoge& dialoge, std::string testDirectory)
    : Edit1{"2.00"},
      Edit2{""},
      StringGrid1(5, 5),
      RadioGroup1{{}, 0},
      Memo1{""},
      dialoge_(dialoge),
      testDirectory_(std::move(testDirectory)) {
    for (const TDatenformat& f : Datenformate) RadioGroup1.Items.emplace_back(f.Beschriftung);
    Memo1.Auslagern(std::make_shared<TMemoAuslagerung>(), MemoImSpeicher);
}

namespace {

// The name a command goes by in the status bar: its button's caption.
std::string Befehlsname(void (TForm1::*handler)()) {
    if (handler == &TForm1::Rechne) return "Rechne";
    if (handler == &TForm1::Konvert) return "Konvert";
    if (handler == &TForm1::RechneDatei) return "Rechne Datei";
    if (handler == &TForm1::Polarauswertung) return "Polarauswertung";
    if (handler == &TForm1::DateiWaehlen) return "Datei wählen";
    if (handler == &TForm1::KugelZeigen) return "Kugel zeigen";
    if (handler == &TForm1::ScanWaehlen || handler == &TForm1::ScanAuswerten) return "Scan auswerten";
    if (handler == &TForm1::ZeilenLoeschen) return "Zeilen löschen";
    if (handler == &TForm1::ZeilenEinfuegen) return "Zeile einfügen";
    return "Startrechnung";
}

// "4 Punkte" (one "Punkt").
std::string Punktzahl(long long n, const char* mehrzahl = "Punkte") {
    return std::to_string(n) + (n == 1 ? " Punkt" : std::string(" ") + mehrzahl);
}

// What a computation found, for the status bar: the number of points and the standard deviation of
// unit weight m0 (millimetres, one decimal), "unsicher" where m0 exceeds a tenth of the radius; or
// that no centre was computed, and why.
std::string Ergebniszeile(const TKugelLoesung& L) {
    std::string text = Punktzahl(L.n);
    if (L.Ergebnis != KugelErgebnis::Ok) return text + ", Kugelmittelpunkt nicht berechnet – " + FehlerGrund(L);
    if (L.n <= 3 || !L.Ausgleichung) return text + ", ohne Überbestimmung";  // m0 is 0 there
    text += ", m0 " + FormatText("%.1f", {L.Ausgleichung->m0 * 1000.0}) + " mm";
    return Unsicher(L) ? text + ", unsicher" : text;
}

}  // namespace

bool TForm1::Dispatch(void (TForm1::*handler)()) {
    LetzterFehlerOrt = TOrt{};
    Statuszeile.clear();
    std::string fehler;
    try {
        (this->*handler)();
        return true;
    } catch (const std::bad_alloc&) {
        fehler = "Zu wenig Arbeitsspeicher";
        dialoge_.ShowError(ErrorBoxText(fehler));
    } catch (const EZentrixError& e) {
        fehler = e.what();
        LetzterFehlerOrt = e.Ort;
        dialoge_.ShowError(ErrorBoxText(fehler), e.Ort);
    } catch (const std::exception& e) {
        fehler = e.what();
        dialoge_.ShowError(ErrorBoxText(fehler));
    }
    Statuszeile = Befehlsname(handler) + ": " + fehler;
    return false;
}

void TForm1::Startrechnung() {
    DecimalSeparator = '.';

    // The demonstration: four points (metres) on a reflector sphere of radius 3.642 m.
    TPunktArray punkte(5);
    static const double demo[4][3] = {{802192.254, 585697.677, 71.443},
                                      {802192.620, 585697.595, 71.435},
                                      {802192.646, 585697.951, 71.484},
                                      {802192.316, 585697.904, 71.477}};
    for (int i = 1; i <= 4; ++i) {
        punkte[i].X = demo[i - 1][0];
        punkte[i].Y = demo[i - 1][1];
        punkte[i].Z = demo[i - 1][2];
    }
    Edit1.Text = RealToText(3.642);

    StringGrid1.SetRowCount(6);
    StringGrid1.SetColCount(5);
    WriteGridHeaders(StringGrid1, "X", "Y", "Z", "vZ");
    for (long long i = 0; i <= 4; ++i) FillRow(StringGrid1, punkte, i, TLabelArt::Nummer);

    Berechne(std::move(punkte), 4, false, 3.642, false);  // the demonstration says nothing of a failure

    StringGrid1.SetRowCount(6);
    StringGrid1.SetColCount(5);
    WriteGridHeaders(StringGrid1, "X", "Y", "Z", "vZ");
    ZeigeErgebnis(TLabelArt::Nummer);
    Statuszeile = "Startrechnung: " + Ergebniszeile(*LetzteLoesung);
}

namespace {

// The form the solver leaves a list in: a polar one comes back in polar form on success; after a
// failure it stands rectangular (the conversion is the solver's first step), save with fewer than
// three points, which the solver does not touch.
TPunktForm FormNachDerRechnung(bool polar, int n, const TKugelLoesung& L) {
    if (!polar) return TPunktForm::Rechtwinklig;
    if (L.Ergebnis == KugelErgebnis::Ok) return TPunktForm::PolarWinkel;
    return n < 3 ? TPunktForm::PolarHoehe : TPunktForm::Rechtwinklig;
}

}  // namespace

const TKugelLoesung& TForm1::Berechne(TPunktArray punkte, int n, bool polar, double R, bool station) {
    LetzteLoesung.reset();
    Ergebnisse.clear();
    AusreisserZeile = 0;
    PunkteLage = {polar ? TPunktForm::PolarHoehe : TPunktForm::Rechtwinklig, station};
    Punkte.Ersetzen(std::move(punkte));
    TKugelLoesung loesung = LoeseKugel(Punkte.Aendern(), n, polar, R, TVerfahren{Iterieren, station});
    SchreibeKugelBericht(loesung, Punkte, Memo1);
    // An arithmetic fault ends the command after the report of what was found before it.
    if (loesung.Ergebnis == KugelErgebnis::Rechenfehler) throw EMathError(loesung.Fehlertext);
    LetzteLoesung = std::move(loesung);
    PunkteLage.Form = FormNachDerRechnung(polar, n, *LetzteLoesung);
    // Entry i stands in grid row i + 1.
    if (LetzteLoesung->Konvergenz && LetzteLoesung->Konvergenz->Ausreisser > 0)
        AusreisserZeile = LetzteLoesung->Konvergenz->Ausreisser + 1;
    return *LetzteLoesung;
}

void TForm1::ZeigeErgebnis(TLabelArt art) {
    StringGrid1.ZeigePunkte(Punkte.Teilen(), art);
    GitterLage = PunkteLage;
    MittelpunktGueltig = LetzteLoesung && LetzteLoesung->Ergebnis == KugelErgebnis::Ok;
    if (LetzteLoesung && LetzteLoesung->Iterativ && LetzteLoesung->Ergebnis != KugelErgebnis::Ok)
        for (int c = 1; c <= 3; ++c) StringGrid1.SetCell(c, 1, "");
}

namespace {

// A text of a cell or of an edit field as a number; one that is none names where it stands.
double Zahl(const std::string& text, TOrt ort) {
    try {
        return TextToReal(text);
    } catch (EConvertError& e) {
        ort.Text = Zitat(text);
        e.Ort = std::move(ort);
        throw;
    }
}

}  // namespace

void TForm1::LiesGitterZeile(int row, TPunkt& p) const {
    const TStringGrid& grid = StringGrid1;
    // A name that came with the point (a file's, an evaluation's) stays with it.
    if (std::optional<std::string> name = grid.Beschriftung(row)) p.Name = std::move(*name);
    double* const felder[3] = {&p.X, &p.Y, &p.Z};
    for (int c = 1; c <= 3; ++c) {
        const std::optional<double> wert = grid.Wert(c, row);
        if (wert) {
            *felder[c - 1] = *wert;
            continue;
        }
        // A cell is named by its row's label and its column's header: "Zeile P 3, Spalte Y".
        TOrt ort;
        ort.Zelle = "Zeile " + grid.Cells(0, row) + ", Spalte " + grid.Cells(c, 0);
        ort.GitterZeile = row;
        ort.GitterSpalte = c;
        *felder[c - 1] = Zahl(grid.Cells(c, row), std::move(ort));
    }
    // Horizontal distance (metres) and elevation angle (gon): the solver takes the height difference.
    if (GitterLage.Form == TPunktForm::PolarWinkel) p.Z = HoeheAusHoehenwinkel(p.X, p.Z);
}

void TForm1::Rechne() {
    const int m = StringGrid1.RowCount();
    const int n = m - 2;
    TPunktArray punkte(static_cast<std::size_t>(m - 1));
    for (int i = 1; i <= n; ++i) LiesGitterZeile(i + 1, punkte[i]);
    if (m > 1)
        if (std::optional<std::string> name = StringGrid1.Beschriftung(1)) punkte[0].Name = std::move(*name);
    TOrt feld;
    feld.Zelle = "Feld Reflektorhöhe";
    const double R = Zahl(Edit1.Text, std::move(feld));
    Melde("Kugelmittelpunkt wird berechnet …");
    // The grid's points in the form it holds them, polar ones in polar form from the station.
    const bool polar = GitterLage.Form != TPunktForm::Rechtwinklig;
    const bool station = polar || GitterLage.Standpunkt;
    // A failure is said at once, as "Rechne Datei" does; the grid then shows what the solver left.
    if (const TKugelLoesung& L = Berechne(std::move(punkte), n, polar, R, station); L.Ergebnis != KugelErgebnis::Ok)
        ShowMessage(FehlerMeldung(L));
    // Typed rows are numbered "P n"; a point's name from a file or an evaluation stays.
    ZeigeErgebnis(TLabelArt::NameOderNummer);
    Statuszeile = "Rechne: " + Ergebniszeile(*LetzteLoesung);
}

void TForm1::Konvert() {
    Melde("Beobachtungen werden umgerechnet …");
    const std::size_t n = zentrix::Konvert(testDirectory_);
    Statuszeile = "Konvert: test2.Kor mit " + Punktzahl(static_cast<long long>(n), "Punkten") + " geschrieben";
}

void TForm1::RechneDatei() {
    TKoordinatenLeser datei(Edit2.Text, RadioGroup1.ItemIndex);  // nothing changed if it cannot be opened
    const TDatenformat& format = Datenformat(RadioGroup1.ItemIndex);
    Memo1.clear();
    ++Memo1Cleared;
    Melde("Datei wird gelesen …");
    // The file's records in a list of their own: a reading error leaves Punkte as it stood.
    TPunktArray punkte;
    const double R = datei.Lies(punkte);
    const int n = static_cast<int>(punkte.High());
    Melde("Kugelmittelpunkt wird berechnet …");

    Edit1.Text = RealToText(R);
    try {
        if (const TKugelLoesung& L = Berechne(std::move(punkte), n, format.Polar, R, format.Polar);
            L.Ergebnis != KugelErgebnis::Ok)
            ShowMessage(FehlerMeldung(L));
    } catch (EMathError& e) {
        // Every value was read (1e308), but the computation with them ran over: the file is where
        // to look, though no single field is to blame.
        e.Ort.Datei = VollerPfad(Edit2.Text);
        e.Ort.Grund = "beim Rechnen mit ihren Werten";
        throw;
    }

    StringGrid1.SetRowCount(n + 2);
    StringGrid1.SetColCount(5);
    WriteGridHeaders(StringGrid1, format.Kopf[0], format.Kopf[1], format.Kopf[2], KopfResiduum);
    ZeigeErgebnis(TLabelArt::Name);
    Statuszeile = "Rechne Datei: " + plattform::Text(plattform::Pfad(Edit2.Text).filename()) + ", " +
                  Ergebniszeile(*LetzteLoesung);
}

void TForm1::Polarauswertung() {
    if (Edit2.Text.empty())
        throw EInOutError(ea::UngueltigerName,
                          "Kein Dateiname angegeben: bitte eine Beobachtungsdatei wählen (Doppelklick in das Dateifeld)");
    ++Memo1Cleared;  // the evaluation starts by clearing the report
    LetzteLoesung.reset();
    PunkteLage = {TPunktForm::Rechtwinklig, true};  // each sphere's pointings reduced to the station
    Ergebnisse.clear();
    AusreisserZeile = 0;
    Melde("Polarauswertung …", 0);
    // A second evaluation of the same file waits for the first (the command runs beside the
    // window, which stays usable) and says so.
    TKugelsuche gefunden = zentrix::Polarauswertung(
        Edit2.Text, Memo1, [this](const std::string& text, const TOrt& ort) { dialoge_.ShowMessage(text, ort); },
        Iterieren, [this](double anteil) { Melde("Polarauswertung …", static_cast<int>(anteil * 100)); },
        [this] { Melde("Datei wird gerade ausgewertet – warte …"); });
    // The last sphere's points in a list of their own: the grid goes on showing its points.
    if (gefunden.Punkte.Length() > 0) Punkte.Ersetzen(std::move(gefunden.Punkte));
    Ergebnisse = std::move(gefunden.Ergebnisse);
    Kugeln = std::make_shared<const TKugelListe>(std::move(gefunden.Kugeln));
    KugelnDatei = Edit2.Text;
    KugelnIterativ = Iterieren;
    LetzteLoesung = std::move(gefunden.Letzte);
    Uebersicht = TUebersicht::Polar;
    Statuszeile = KugelZusammenfassung(*Kugeln, KugelnIterativ);
}

namespace {

// Lines erste..letzte (from 1) of a text as the polar evaluation counts them (CR LF, LF or CR ends
// a line), each ended by LF.
std::string Zeilen(std::string_view text, long long erste, long long letzte) {
    std::string auszug;
    long long nr = 1;
    std::size_t anfang = 0;
    while (anfang < text.size() && nr <= letzte) {
        std::size_t ende = text.find_first_of("\r\n", anfang);
        if (ende == std::string_view::npos) ende = text.size();
        if (nr >= erste) auszug.append(text.substr(anfang, ende - anfang)) += '\n';
        anfang = ende + (ende + 1 < text.size() && text[ende] == '\r' && text[ende + 1] == '\n' ? 2 : 1);
        ++nr;
    }
    return auszug;
}

}  // namespace

void TForm1::KugelZeigen() {
    if (Uebersicht == TUebersicht::Scan) return ScanKugelZeigen();
    if (GewaehlteKugel >= Kugeln->size()) RaiseRangeError();
    const TKugelEintrag& kugel = (*Kugeln)[GewaehlteKugel];
    std::string text, grund;
    if (const int code = LoadText(KugelnDatei, text, &grund); code != 0) {
        EInOutError e(code, "Datei " + VollerPfad(KugelnDatei) + " kann nicht geöffnet werden. " + grund);
        e.Ort.Datei = VollerPfad(KugelnDatei);
        throw e;
    }
    // The sphere's lines evaluated alone, as the evaluation did; its report stands in Memo1 already.
    TMemoLines bericht;
    const auto nichts = [](std::string_view) {};
    TKugelsuche s = SucheKugeln(Zeilen(text, kugel.ErsteZeile, kugel.LetzteZeile()), bericht,
                                [](const std::string&, const TOrt&) {}, KugelnIterativ, {nichts, nichts},
                                KugelnJeStapel, {}, nullptr, kugel.ErsteZeile - 1);
    TPunktArray punkte = std::move(s.Punkte);
    LetzteLoesung = s.Letzte;
    // The radius the evaluation used, in full: "Rechne" reads it from the field.
    if (LetzteLoesung) Edit1.Text = RealToTextGenau(LetzteLoesung->R);
    Ergebnisse.clear();
    PunkteLage = {TPunktForm::Rechtwinklig, true};
    AusreisserZeile = LetzteLoesung && LetzteLoesung->Konvergenz && LetzteLoesung->Konvergenz->Ausreisser > 0
                          ? LetzteLoesung->Konvergenz->Ausreisser + 1
                          : 0;
    const int n = static_cast<int>(punkte.High());
    Punkte.Ersetzen(std::move(punkte));
    StringGrid1.SetRowCount(n + 2);
    StringGrid1.SetColCount(5);
    const TDatenformat& rechtwinklig = Datenformat(0);
    WriteGridHeaders(StringGrid1, rechtwinklig.Kopf[0], rechtwinklig.Kopf[1], rechtwinklig.Kopf[2], KopfResiduum);
    ZeigeErgebnis(TLabelArt::Name);
    Statuszeile = "Kugel " + kugel.Name + ", Zeilen " + std::to_string(kugel.ErsteZeile) + "–" +
                  std::to_string(kugel.LetzteZeile()) + ": " +
                  (LetzteLoesung ? Ergebniszeile(*LetzteLoesung) : std::string("nicht berechnet"));
    if (kugel.BerichtZeilen == 0) Statuszeile += " (keine Zeilen im Protokoll)";
}

void TForm1::ZeilenLoeschen() {
    // Row 0 is the header, row 1 the centre: points from row 2 on.
    const int von = std::max(GewaehlteZeilen.Von, 2), bis = std::min(GewaehlteZeilen.Bis, StringGrid1.RowCount() - 1);
    if (von > bis) {
        Statuszeile = "Zeilen löschen: keine Punktzeile gewählt";
        return;
    }
    StringGrid1.ZeilenLoeschen(von, bis);
    MittelpunktGueltig = false;
    AusreisserZeile = 0;
    Statuszeile = "Zeilen löschen: " + std::to_string(bis - von + 1) + (bis == von ? " Zeile" : " Zeilen") + " gelöscht";
}

void TForm1::ZeilenEinfuegen() {
    // Nothing chosen: one row at the end.
    const bool gewaehlt = GewaehlteZeilen.Von >= 1;
    const int vor = gewaehlt ? std::clamp(GewaehlteZeilen.Von, 2, StringGrid1.RowCount()) : StringGrid1.RowCount();
    const int anzahl = gewaehlt ? std::max(1, GewaehlteZeilen.Bis - std::max(GewaehlteZeilen.Von, 2) + 1) : 1;
    StringGrid1.ZeilenEinfuegen(vor, anzahl);
    MittelpunktGueltig = false;
    AusreisserZeile = 0;
    Statuszeile = "Zeile einfügen: " + std::to_string(anzahl) + (anzahl == 1 ? " Zeile" : " Zeilen") + " eingefügt";
}

void TForm1::DateiWaehlen() {
    const std::optional<std::string> chosen = dialoge_.OpenFile();
    if (chosen) Edit2.Text = *chosen;
    // Cancelled, the field keeps the file it named.
    Statuszeile = chosen ? "Datei gewählt: " + plattform::Text(plattform::Pfad(*chosen).filename()) : "Dateiwahl abgebrochen";
}

}  // namespace zentrix
