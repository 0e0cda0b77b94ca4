// The sphere overview as a table: its columns, the text of each cell, how rows sort, and the
// whole table as CSV for a German spreadsheet. The window's overview and the batch tool's
// "--kugeln" file show the same columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "polar/Kugelsuche.hpp"

namespace zentrix {

enum class TKugelSpalte {
    Name,
    ErsteZeile,
    LetzteZeile,
    Zeigungen,
    Ergebnis,
    Richtung,     // the centre's direction Ri (gon)
    Strecke,      // its slope distance S (metres)
    Zenitdistanz, // its zenith distance Zd (gon)
    M0,           // standard deviation of unit weight (millimetres)
    MaxVR,        // the largest |vR| (millimetres)
    Unsicher,     // computed, but m0 above a tenth of the radius: "ja", "nein", empty for a failure
    Ausreisser,   // the converged solver's likely outlier: its line
    Radius,       // the converged solver's radius check
};

// The columns shown: with the converged solver the outlier and the radius check too.
std::vector<TKugelSpalte> KugelSpalten(bool iterativ);
// A column's header ("Ri [gon]").
const char* KugelKopf(TKugelSpalte spalte);
// A cell's text: numbers with the decimal mark given (a point in the window, a comma for a German
// spreadsheet), empty where the sphere has no such value (a failed sphere has no centre).
std::string KugelZelle(const TKugelEintrag& e, TKugelSpalte spalte, char dezimal = '.');
// Whether the sphere has a value in the column (a failed sphere has no centre, no m0, ...).
bool KugelHatWert(const TKugelEintrag& e, TKugelSpalte spalte);
// Whether row a comes before row b when sorted by the column, ascending: numbers by value, names
// by their characters, computed spheres before failures (these by reason), passing radius checks
// before the others; rows without a value come last.
bool KugelVor(const TKugelEintrag& a, const TKugelEintrag& b, TKugelSpalte spalte);
// A failed sphere (any result but a computed centre).
inline bool Fehlgeschlagen(const TKugelEintrag& e) { return e.Ergebnis != KugelErgebnis::Ok; }

// Which rows the overview shows: all, the failures alone, or the failures and the unsicher ones
// (the spheres a surveyor has to look at again).
enum class TKugelFilter { Alle, Fehlschlaege, FehlschlaegeUndUnsichere };
bool KugelGezeigt(const TKugelEintrag& e, TKugelFilter filter);

// The table as CSV that a German spreadsheet opens as it is: UTF-8 with a byte-order mark, one
// header row, fields separated by ";", numbers with a decimal comma, a field with ";", a quote or
// a line end in quotes; lines ended by CR LF.
std::string KugelnCsv(const TKugelListe& kugeln, bool iterativ);
// The same for the rows given (indices into kugeln), in their order: what the overview shows.
std::string KugelnCsv(const TKugelListe& kugeln, bool iterativ, const std::vector<std::uint32_t>& zeilen);

// A count with its thousands apart by a blank: "31 569".
std::string Anzahl(std::size_t n);

// The evaluation's summary: "Polarauswertung: 200 000 Kugeln ausgewertet, 31 569 fehlgeschlagen",
// followed by ", 12 unsicher" where any computed centre is unsicher, and without the converged
// solver by " – mit „Iterieren“ gelingen 31 000 davon" ("gelingt 1 davon") where it computes any
// failed one to a centre that is not unsicher.
std::string KugelZusammenfassung(const TKugelListe& kugeln, bool iterativ);

}  // namespace zentrix
