// The sphere centre solver: a three-point circumcircle solution with its height offset, the exact
// sphere through the first four points, and one least-squares step with the radius held fixed.
// The computation returns what it found as a plain value; Kugelzentrierung (KugelBericht.hpp)
// adds the report lines.
#pragma once

#include <exception>
#include <optional>
#include <vector>

#include "numerics/Matrix.hpp"
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
};

constexpr int Code(KugelErgebnis e) { return static_cast<int>(e); }

// One least-squares step for the centre (metres).
struct TAusgleichung {
    TXYZ Korrektur;             // dx, dy, dz: subtracted from the approximate centre
    double m0 = 0;              // standard deviation of unit weight (0 without redundancy)
    TXYZ m;                     // standard deviations mX, mY, mZ of the centre
    TXYZ Zentrum;               // the adjusted centre
    std::vector<double> vR;     // radial residual of point i at index i - 1 (positive: outside)
    std::vector<double> NV;     // normalised residual of point i at index i - 1 (0 when m0 = 0)
};

// Everything one call of the solver found.
struct TKugelLoesung {
    KugelErgebnis Ergebnis = KugelErgebnis::Ok;
    int n = 0;                              // number of points
    double R = 0;                           // the given radius (metres)
    std::optional<TXYZ> DreiPunkt;          // the three-point centre, when that stage succeeded
    bool VierPunktGerechnet = false;        // the four-point stage ran (n > 3)
    std::optional<TKugel> VierPunkt;        // its sphere, when its system could be solved
    std::optional<TAusgleichung> Ausgleichung;
    std::exception_ptr Abbruch;             // an arithmetic fault that ended the computation
};

// Computes the centre of the sphere of radius R (metres) through points 1..n of Punkte. Writes
// the centre into entry 0 and the residuals into the points' vR. With Polar the points arrive as
// (horizontal distance, direction in gon, height difference) and every entry comes back as
// (horizontal distance, direction in gon, elevation angle in gon) on success. An arithmetic
// fault is not thrown but handed back in Abbruch, with what was found before it.
TKugelLoesung LoeseKugel(TPunktArray& Punkte, int n, bool Polar, double R);

// One least-squares step for the centre with the radius R held fixed, from the approximate centre
// (X0, Y0, Z0). Writes the adjusted centre into entry 0 and the residuals into the points.
// Empty (nothing changed) when the normal equations are singular or fewer than three points are
// given. A point at the approximate centre has no normalised residual: with m0 > 0 that is a
// division by zero, raised after the centre and the residuals have been written.
std::optional<TAusgleichung> KugelAusgleichung(TPunktArray& Punkte, int n, double R, double X0, double Y0, double Z0);

}  // namespace zentrix
