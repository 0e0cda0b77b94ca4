// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a model of plain values, its event handlers and the grid fill.
// The Qt view shows this model; tests and the batch tool drive it directly.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "numerics/Kugel.hpp"
#include "numerics/Punkt.hpp"
#include "polar/Kugelsuche.hpp"
#include "scan/Scan.hpp"
#include "window/Dialoge.hpp"
#include "window/PunktListe.hpp"
#include "window/StringGrid.hpp"

namespace zentrix {

struct TEdit {
    std::string Text;
};

// The data-format list "Datenformat": eight items, one always selected.
struct TRadioGroup {
    std::vector<std::string> Items;
    int ItemIndex = 0;
};

// Writes entries 0..n of punkte into rows 1..n+1: label, X, Y, Z as "%12.3f" and, from entry 1
// on, vR as "%12.4f" in column 4. Row and column counts are the caller's.
void FillGrid(TStringGrid& grid, const TPunktArray& punkte, TLabelArt art);

// Writes the header row: "Punkt" and the captions of columns 1 to 4.
void WriteGridHeaders(TStringGrid& grid, const char* c1, const char* c2, const char* c3, const char* c4);

// The window's caption.
extern const char* const FormCaption;

// The form of a point list: rectangular (X, Y, Z in metres), or polar as the solver takes it in
// (horizontal distance in metres, direction in gon, height difference in metres) or hands it back
// (the same with the elevation angle in gon in place of the height difference).
enum class TPunktForm { Rechtwinklig, PolarHoehe, PolarWinkel };

// Where a point list's numbers stand: their form, and whether they are relative to an instrument
// station at the origin (the polar data formats and the polar evaluation).
struct TPunktLage {
    TPunktForm Form = TPunktForm::Rechtwinklig;
    bool Standpunkt = false;
};

class TForm1 {
public:
    // testDirectory: the folder of the conversion files "test2.beb" and "test2.Kor".
    TForm1(IDialoge& dialoge, std::string testDirectory);

    TEdit Edit1;  // "Reflektorhöhe": the sphere radius (metres)
    TEdit Edit2;  // file name
    TEdit Standpunkt{"0 0 0"};  // "Standpunkt": the scanner's station X Y Z (metres) in the cloud's system
    TStringGrid StringGrid1;
    TRadioGroup RadioGroup1;
    TMemoLines Memo1;  // the report on the second page; starts with one empty line
    // The point list of every computing command: entry 0 the centre, entries 1..n the surface
    // points. It keeps the last command's points and results; the grid shows it.
    TPunktListe Punkte;

    // The window's commands, as the view and the batch tool call them (the view wires the
    // designer's events to them: the window's activation, the four buttons, the double-click on the
    // file field).
    void Startrechnung();    // the demonstration when the window is first shown
    void Rechne();           // "Rechne": the points of the grid
    void Konvert();          // "Konvert": test2.beb into test2.Kor
    void RechneDatei();      // "Rechne Datei": a coordinate file
    void Polarauswertung();  // "Polarauswertung": an observation file
    // "Scan auswerten": ScanWaehlen asks for the point cloud (the open-file dialog, on the window's
    // thread) and puts it into the file field; ScanAuswerten finds and adjusts every sphere of
    // the radius in "Reflektorhöhe" in the cloud the file field names, seen from "Standpunkt".
    // Its report goes into Memo1, its spheres into the overview (Scan, Uebersicht); the grid and
    // the picture keep what they showed. ScanAbbrechen, set from any thread, stops it: then
    // nothing but the status line changes.
    void ScanWaehlen();
    void ScanAuswerten();
    void DateiWaehlen();     // the open-file dialog into the file field
    // Shows the sphere GewaehlteKugel of the last polar evaluation as if it had been its last: its
    // points and results in the grid and the picture, computed afresh from its lines of the file
    // with the solver the evaluation used (its report lines stand in Memo1 from its Bericht on),
    // and its radius (that of its last line) in "Reflektorhöhe": a "Rechne" right after computes
    // what the evaluation computed. "Iterieren" stays as it is.
    void KugelZeigen();
    // "Zeilen löschen": the point rows GewaehlteZeilen of the grid go, the rows below move up;
    // "Zeile einfügen": as many empty rows in front of the first of them. The centre row (row 1)
    // stays; the labels "P n" of typed rows are numbered anew, names stay with their rows. The
    // centre and the residuals shown no longer belong to the points: MittelpunktGueltig is false.
    void ZeilenLoeschen();
    void ZeilenEinfuegen();

    // Runs an event handler as the application does: an error ends the handler and is shown in
    // the error box with its place; every value stays as it stood. Returns false when an error
    // ended it.
    bool Dispatch(void (TForm1::*handler)());
    // The place of the error that ended the last command (empty when none did): the view selects
    // a grid cell named there.
    TOrt LetzterFehlerOrt;

    // How often a command has cleared Memo1 (the batch tool tells appended lines from a new report).
    int Memo1Cleared = 0;
    // What the last command did, in one line for the status bar, set when it ends: "Rechne: 4
    // Punkte, m0 0.3 mm", "Konvert: test2.Kor mit 120 Punkten geschrieben", or the command's name
    // and the error that ended it ("Rechne Datei: Datei nicht gefunden").
    std::string Statuszeile;

    // "Iterieren": the commands and the start-up demonstration compute with the converged solver.
    bool Iterieren = false;
    // What the last computation found (the last sphere of a polar evaluation), and for a polar
    // evaluation every sphere's result code in file order.
    std::optional<TKugelLoesung> LetzteLoesung;
    std::vector<KugelErgebnis> Ergebnisse;
    // Every sphere of the last polar evaluation in file order (the sphere overview), the file it
    // read and whether it computed with the converged solver. A new evaluation makes a new list:
    // a view may go on showing the old one while the command works.
    std::shared_ptr<const TKugelListe> Kugeln = std::make_shared<TKugelListe>();
    std::string KugelnDatei;
    bool KugelnIterativ = false;
    // The spheres of the last scan with their points (never changed once made), and which list the
    // overview shows: the polar evaluation's or the scan's (the last of the two that ran).
    std::shared_ptr<const TScanErgebnis> Scan = std::make_shared<TScanErgebnis>();
    enum class TUebersicht { Polar, Scan } Uebersicht = TUebersicht::Polar;
    std::atomic<bool> ScanAbbrechen = false;
    // ScanWaehlen found a file (the view then starts ScanAuswerten).
    bool ScanGewaehlt = false;
    // The sphere that KugelZeigen shows (an index into Kugeln or into Scan's spheres, as
    // Uebersicht says). A scan's sphere shows at most ScanGitterPunkte of its points, evenly
    // spread, in the grid and the picture (its report lists all of them), reduced to the station.
    std::size_t GewaehlteKugel = 0;
    static constexpr std::size_t ScanGitterPunkte = 2000;
    // The grid rows (from 1, both included) that ZeilenLoeschen and ZeilenEinfuegen work on.
    struct TZeilen {
        int Von = 0, Bis = 0;
    } GewaehlteZeilen;
    // Whether the grid's centre row and residuals hold a result: true after a computed centre was
    // shown, false after a failure (the cells then hold what the solver left, zeros, which the view
    // and a copy show empty) and after rows were removed or added.
    bool MittelpunktGueltig = false;
    // The grid row whose residual the converged solver marks as a likely outlier (0: none).
    int AusreisserZeile = 0;
    // How the last computation left Punkte (the picture draws it so).
    TPunktLage PunkteLage;
    // What the grid's point rows hold, as the command that last filled them left them; kept until a
    // command fills the grid anew. "Rechne" reads the cells so: not by the headers, which need not
    // say it (a polar format shows the elevation angle under "dH" or "Zd").
    TPunktLage GitterLage;

    // Where a long command says how far it is: the step's text and the share done in percent (-1
    // where it cannot be said). Called on the thread that runs the command.
    std::function<void(const std::string& schritt, int prozent)> Fortschritt;

private:
    void ShowMessage(const std::string& text) { dialoge_.ShowMessage(text); }
    void Melde(const std::string& schritt, int prozent = -1) {
        if (Fortschritt) Fortschritt(schritt, prozent);
    }
    // A command computes: its own list of points (entry 0 and every name it did not give empty)
    // replaces Punkte, and points 1..n are computed with the chosen solver, the report into Memo1.
    // Keeps the result, and the list's form in PunkteLage.
    const TKugelLoesung& Berechne(TPunktArray punkte, int n, bool polar, double R, bool station);
    // A point row of the grid read as the grid holds it: the full values behind the cells the
    // program filled, the text of cells the user changed; a polar elevation angle turned back into
    // the height difference.
    void LiesGitterZeile(int row, TPunkt& p) const;
    // The grid fill after a computation; a failed converged computation shows no centre.
    void ZeigeErgebnis(TLabelArt art);
    // KugelZeigen for a sphere of the last scan.
    void ScanKugelZeigen();

    IDialoge& dialoge_;
    std::string testDirectory_;
};

}  // namespace zentrix
