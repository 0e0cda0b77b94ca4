// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of the last computation, as plain values: the points in space (metres, the station at
// the origin where there is one), the fitted sphere, the residuals and the outlier, and the two
// views a surveyor judges a fit by. The Qt drawing (QtGrafik) lays it out and paints it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "numerics/Punkt.hpp"

namespace zentrix {

class TForm1;

struct TGrafikPunkt {
    std::string Name;
    TXYZ P;                   // rectangular (metres)
    double vR = 0;            // radial residual (metres, positive: outside the sphere)
    bool Ausreisser = false;  // the converged solver's outlier
    int Nummer = 0;           // its number in the computation (1..n)
};

struct TGrafik {
    bool Gerechnet = false;   // a computation has been made
    bool Erfolg = false;      // it found a centre
    std::string Fehler;       // why not (German), when it failed
    bool Standpunkt = false;  // the points were measured from a station at the origin
    std::string Name;         // the centre's name
    TXYZ Zentrum;             // the fitted centre (metres)
    double R = 0;             // the sphere's radius (metres)
    std::vector<TGrafikPunkt> Punkte;  // the points shown
    std::size_t Gesamt = 0;   // the points computed (a scan's many are shown thinned)
    double Faktor = 1;        // residuals are drawn this many times their length
};

// Points shown at most: of a larger scan every k-th, and the outlier.
constexpr std::size_t GrafikHoechstens = 20000;

// The picture of the form's last computation (a polar evaluation: its last sphere).
TGrafik GrafikAus(const TForm1& form);

// The magnification that draws the largest residual about a quarter of the radius long: 1, 2 or 5
// times a power of ten, between 1 and 100 000.
double Vergroesserung(double groessteVerbesserung, double R);

// A view: the plan (Y to the right, X up, as on a map) or the vertical section (the horizontal
// distance along the line of sight from the station to the centre, or X where there is no
// station, to the right; Z up). Coordinates (metres) in the view's plane.
enum class TAnsicht { Grundriss, Schnitt };
struct TEben {
    double u = 0, v = 0;
};
TEben Projektion(const TGrafik& g, TAnsicht ansicht, const TXYZ& p);
// The view's axis texts, German.
const char* AnsichtTitel(const TGrafik& g, TAnsicht ansicht);

// A round length (1, 2 or 5 times a power of ten, metres) near a fifth of the given extent.
double Massstabslaenge(double ausdehnung);

// The file name ends in ".png" or ".svg" (either case): the picture's two file types.
bool GrafikEndung(const std::string& datei);

// Names that several of the points carry get the point's number: the pointings of one polar
// sphere all carry the sphere's name and are drawn as "F50/1", "F50/2", ... (the numbers of the
// sphere's lines in the file and in the report). Names that occur once stay as they are.
void UnterscheideNamen(std::vector<TGrafikPunkt>& punkte);

// A name's box on the picture (pixels, y downwards): left, top, width, height.
struct TFeld {
    double x = 0, y = 0, b = 0, h = 0;
};
// Where a name b × h pixels large goes beside the mark at (x, y): above right, or where that
// overlaps a mark or name already drawn (belegt) below right, above left, below left, then the
// same a line further out. The box is added to belegt; none where all overlap (the name is then
// left out, not written over another).
std::optional<TFeld> NamenFeld(double x, double y, double b, double h, std::vector<TFeld>& belegt);

// A piece of the legend along the picture's bottom edge: b pixels wide, one line high, and where
// it wants to start: right after the piece before it, not left of the middle, or flush with the
// right edge.
enum class TLegendenWunsch { Folgend, AbMitte, Rechts };
struct TLegendenTeil {
    double b = 0;
    TLegendenWunsch Wunsch = TLegendenWunsch::Folgend;
};
// Where a piece goes: its left edge (pixels) and its line (0 the first).
struct TLegendenOrt {
    double x = 0;
    int Zeile = 0;
};
// Lays the pieces out in their order from links to rechts (pixels), at least luecke apart, each at
// its wanted place where that leaves it on the line; a piece that does not fit begins the next
// line. No two pieces overlap; a piece wider than the line starts at links.
std::vector<TLegendenOrt> LegeLegende(const std::vector<TLegendenTeil>& teile, double links, double rechts, double luecke);

}  // namespace zentrix
