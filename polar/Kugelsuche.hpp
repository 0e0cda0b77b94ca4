// SPDX-License-Identifier: GPL-3.0-or-later
// The scan of an observation file for its spheres, and their evaluation.
//
// Every run of three or more lines with the same name is a sphere, evaluated with the radius of
// its last line. An evaluated sphere gets its centre line in front and a "*" on each of its lines;
// the scan then looks again at its last line, which with the mark has a name of its own.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string_view>
#include <vector>

#include "bericht/KugelBericht.hpp"
#include "core/Ausfuehrer.hpp"
#include "core/Selten.hpp"
#include "core/Ort.hpp"
#include "numerics/Polar.hpp"
#include "polar/Beobachtung.hpp"

namespace zentrix {

// Capacity of the line buffer from which the fields are read, and of a name.
constexpr std::size_t LineCapacity = 255;

// The scan's two outputs as they grow, in file order, as text of whole lines each ended by CR LF:
// the marked observation lines with the centre lines, and the listing (the report's lines).
struct TKugelAusgaben {
    std::function<void(std::string_view zeilen)> Markiert;
    std::function<void(std::string_view zeilen)> Liste;
    // Where given: the text before this place (in the text scanned) will not be looked at again.
    std::function<void(const char* bis)> Gelesen = {};
};

// Spheres evaluated together before they are handed on: few enough that a batch's text is still
// in the cache when it is handed on (2048 took a fifth longer on a day's file), enough that the
// two cores seldom wait for each other.
constexpr std::size_t KugelnJeStapel = 128;

// How far a long evaluation has come: the share of the file done (0 to 1).
using TFortschritt = std::function<void(double anteil)>;

// A message of the evaluation and where it belongs (a sphere, a line and field of the file).
struct TOrtsMeldung {
    std::string Text;
    TOrt Ort;
};
using TMeldungMitOrt = std::function<void(const std::string& text, const TOrt& ort)>;

// One sphere of an evaluated observation file, as the sphere overview shows it. A day's file has
// 200 000 of them: the names and reasons in eight bytes each, the radius check where there is one.
struct TKugelEintrag {
    TName Name;
    long long ErsteZeile = 0;                   // its first line in the file (from 1; CR LF, LF or CR ends a line)
    int Punkte = 0;                             // its pointings, one a line
    KugelErgebnis Ergebnis = KugelErgebnis::Ok;
    TName Grund;                                // why it failed (German), empty when computed
    TPolar Mittelpunkt;                         // the centre as its centre line states it, when computed
    double m0 = 0;                              // standard deviation of unit weight (metres), 0 without
    double MaxVR = 0;                           // the largest |vR| (metres)
    bool Iterativ = false;                      // the converged solver computed it
    bool Unsicher = false;                      // computed, but m0 exceeds a tenth of the radius
    bool MitIterieren = false;                  // failed with the one-step method, the converged one computes it
                                                // to a centre that is not unsicher
    int Ausreisser = 0;                         // that solver's likely outlier, pointing 1..n (0: none)
    TSelten<TRadiusPruefung> Radius;            // that solver's radius check (five pointings and more)
    std::size_t Bericht = 0;                    // where its report lines begin in the memo
    std::uint32_t BerichtZeilen = 0;            // how many lines it wrote there (a failure may write none)
    std::vector<TOrtsMeldung> Meldungen;        // its reading problems, with their places

    long long LetzteZeile() const { return ErsteZeile + Punkte - 1; }
};

// The spheres of a day's file: a list that grows without moving what it holds (200 000 of them).
using TKugelListe = std::deque<TKugelEintrag>;

// What the scan found: every sphere's result code in file order, each sphere for the overview,
// and the last sphere's points (its pointings reduced to the station, with the results) and
// solution.
struct TKugelsuche {
    std::vector<KugelErgebnis> Ergebnisse;
    TKugelListe Kugeln;
    TPunktArray Punkte;
    std::optional<TKugelLoesung> Letzte;
};

// Scans the text (CR LF, LF or CR ends a line) and evaluates its spheres with the chosen solver;
// the pointings are reduced to the station at the origin. The report (the solver's lines, then
// "Polarkoordinaten des Kugelmittelpunktes" and the centre line of each evaluated sphere) goes to
// Memo and to the listing, the lines of the marked file to aus.Markiert, the messages (a number
// field that is no number, a failed sphere) with their places to meldung, all in the order of the
// file. The spheres are evaluated on all cores, a batch at a time, and handed on in order. A
// sphere one of whose values could not be read (a direction, distance or zenith distance of any of
// its lines, the radius of its last line) is not computed: it fails with KugelErgebnis::Lesefehler,
// which names the first such field, and adds no report lines. An arithmetic fault in a sphere (a radius of 1e308, a centre straight above the station) fails that
// sphere like a failure of the solver (KugelErgebnis::Rechenfehler, its text in Fehlertext); any
// other error ends the scan after what came before it. After each batch handed on, fortschritt
// hears the share of the text done.
// The spheres go to the executor given (the process's when none is). Where the text is an excerpt
// of a file, zeilenVorher is the number of the file's lines before it: places and reasons name the
// lines as the file counts them.
TKugelsuche SucheKugeln(std::string_view text, TMemoLines& Memo, const TMeldungMitOrt& meldung, bool iterativ,
                        const TKugelAusgaben& aus, std::size_t kugelnJeStapel = KugelnJeStapel,
                        const TFortschritt& fortschritt = {}, TAusfuehrer* ausfuehrer = nullptr,
                        long long zeilenVorher = 0);

// The centre line of one sphere: the centre (X, Y, Z of centre, metres, station at the origin) as
// an observation "Nr Ri S Zd 0.00 codes" (gon, metres, gon), named after centre.Name, with the
// codes that follow the first five fields of firstLine. A centre straight above or below the
// station has no zenith distance: EMathError.
std::string KugelmittelpunktZeile(const TPunkt& centre, std::string_view firstLine);
// The same for the centre's observation b (gon, metres, gon) under the name name.
std::string KugelmittelpunktZeile(std::string_view name, const TPolar& b, std::string_view firstLine);
// The same into line (its memory used again).
void KugelmittelpunktZeile(std::string& line, std::string_view name, const TPolar& b, std::string_view firstLine);

}  // namespace zentrix
