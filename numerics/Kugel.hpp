// The sphere centre solver: a three-point circumcircle solution with its height offset, the exact
// sphere through the first four points, and one least-squares step with the radius held fixed.
// The computation returns what it found as a plain value; Kugelzentrierung (KugelBericht.hpp)
// adds the report lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "numerics/Punkt.hpp"

namespace zentrix {

// The outcome of a sphere computation; the numbers are the solver's result codes.
enum class KugelErgebnis : int {
    Ok = 0,
    ZuWenigPunkte = -1,    // n < 3
    Kollinear = -2,        // no point off the base line in plan
    KeineEbene = -3,       // plane normal of length 0, or R <= 0
    KreisSingulaer = -4,   // 2 x 2 circumcircle system not invertible
    RadiusZuKlein = -5,    // R not larger than the circle's plan radius
    NormalSingulaer = -6,  // 3 x 3 normal equations not invertible
    NichtKonvergiert = -7, // the converged solver: no start value led to a solution
    Rechenfehler = -8,     // an arithmetic fault ended the computation (Fehlertext says which)
    Lesefehler = -9,       // a value the computation needs could not be read: nothing was computed
                           // (the polar evaluation; Fehlertext names the line and field)
};

constexpr int Code(KugelErgebnis e) { return static_cast<int>(e); }

// One least-squares step for the centre (metres).
struct TAusgleichung {
    TXYZ Korrektur;             // dx, dy, dz: subtracted from the approximate centre
    double m0 = 0;              // standard deviation of unit weight (0 without redundancy)
    TXYZ m;                     // standard deviations mX, mY, mZ of the centre
    TXYZ Zentrum;               // the adjusted centre
    // The radial residuals (positive: outside) stand in the points' vR, not here: a scan's million
    // points would hold them twice.
    std::vector<double> NV;     // normalised residual of point i at index i - 1 (0 when m0 = 0; the
                                // converged solver gives NaN where none can be formed)
};

// The radius check of the converged solver: a second adjustment with the radius free.
struct TRadiusPruefung {
    double RFrei = 0;          // the free radius (metres)
    double mR = 0;             // its standard deviation (metres)
    double Grenze = 0;         // the largest difference from the given radius that passes (metres)
    bool Abweichend = false;   // the given radius differs by more than that
};

// Which rule chose between the converged solutions (the mirror images through the points' plane,
// where both are reached).
enum class TSeitenwahl {
    Keine,         // no station known, or three points (their exact choice): no side rule applies
    Quadratsumme,  // with the station: the smallest sum of squares, as without it
    Standpunkt,    // with the station: a centre behind the pointed surface taken over a better fit
                   // in front of it
};

// What only the converged solver finds.
struct TKonvergenz {
    int Iterationen = 0;       // Gauss-Newton steps of the chosen solution
    TSeitenwahl Seitenwahl = TSeitenwahl::Keine;  // with the station at the origin and n >= 4
    TXYZ Start;                // the start value that led to it
    std::vector<double> r;     // redundancy part of point i at index i - 1 (n > 3)
    int Ausreisser = 0;        // the point (1..n) marked as a likely outlier, 0 for none
    double tQuantil = 0;       // Student's t, 99.9 % two-sided, n - 4 degrees of freedom (n >= 5)
    std::optional<TRadiusPruefung> Radius;  // n >= 5
};

// Everything one call of the solver found.
struct TKugelLoesung {
    KugelErgebnis Ergebnis = KugelErgebnis::Ok;
    bool Iterativ = false;                  // the converged solver computed it
    std::optional<TKonvergenz> Konvergenz;  // its statistics, on success
    std::string Fehlertext;                 // the converged solver's reason for a failure, an arithmetic
                                            // fault's text (German)
    int n = 0;                              // number of points
    double R = 0;                           // the given radius (metres)
    std::optional<TXYZ> DreiPunkt;          // the three-point centre, when that stage succeeded
    bool VierPunktGerechnet = false;        // the four-point stage ran (n > 3)
    std::optional<TKugel> VierPunkt;        // its sphere, when its system could be solved
    std::optional<TAusgleichung> Ausgleichung;
};

// The one-step method ("einstufig"): computes the centre of the sphere of radius R (metres)
// through points 1..n of Punkte. Writes the centre into entry 0 and the residuals into the
// points' vR. With Polar the points arrive as (horizontal distance, direction in gon, height
// difference) and every entry comes back as (horizontal distance, direction in gon, elevation
// angle in gon) on success. Every failure comes back in the result: its code, and for an
// arithmetic fault (KugelErgebnis::Rechenfehler) the fault's text in Fehlertext, with what was
// found before it.
TKugelLoesung LoeseKugelEinstufig(TPunktArray& Punkte, int n, bool Polar, double R);

// The stages the converged solver shares with the one-step method.
// Horizontal distance and direction (gon) -> X, Y (metres) for points 1..n; the height stays.
void PolarToRectangular(TPunktArray& Punkte, int n);
// X, Y, Z (metres) -> horizontal distance (metres), direction (gon), elevation angle (gon) for
// entries 0..n. A point straight above or below the station divides by zero.
void RectangularToPolar(TPunktArray& Punkte, int n);
// The three-point centre (circumcircle in plan of the base pair and the third point, lifted below
// the points' plane), or the code of the dead end that stopped it.
KugelErgebnis ThreePointCentre(const TPunktArray& Punkte, int n, double R, TXYZ& centre);

// The sphere through points 1 to 4 of Punkte (n = highest index). Empty when n < 4 or the 4 x 4
// system cannot be inverted.
std::optional<TKugel> SphereFromFourPoints(const TPunktArray& Punkte, int n);

// One least-squares step for the centre with the radius R (metres) held fixed, from the approximate
// centre Naeherung. Writes the step into a, the adjusted centre into entry 0 and the residuals into
// the points, and returns Ok; ZuWenigPunkte (fewer than three points) and NormalSingulaer (singular
// normal equations) leave a and the points unchanged. A point at the approximate centre has no
// normalised residual: with m0 > 0 that is a division by zero, raised after the centre and the
// residuals have been written (LoeseKugelEinstufig turns it into Rechenfehler).
KugelErgebnis KugelAusgleichung(TPunktArray& Punkte, int n, double R, const TXYZ& Naeherung, TAusgleichung& a);

}  // namespace zentrix
