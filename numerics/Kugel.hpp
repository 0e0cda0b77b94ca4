// The sphere centre solver and its least-squares step.
#pragma once

#include "numerics/Punkt.hpp"

namespace zentrix {

// Result codes of Kugelzentrierung.
enum KugelErgebnis : int {
    KugelOk = 0,
    KugelZuWenigPunkte = -1,      // n < 3
    KugelKollinear = -2,          // no point off the base line in plan
    KugelKeineEbene = -3,         // plane normal of length 0, or R <= 0
    KugelKreisSingulaer = -4,     // 2 x 2 circumcircle system not invertible
    KugelRadiusZuKlein = -5,      // R not larger than the circle's plan radius
    KugelNormalSingulaer = -6,    // 3 x 3 normal equations not invertible
};

// Centre of the sphere of radius R (metres) through points 1..n of Punkte. Writes the centre into
// entry 0, the residuals into the points' vR and appends the report to Memo. With Polar the
// points arrive as (horizontal distance, direction in gon, height difference) and every entry
// comes back as (horizontal distance, direction in gon, elevation angle in gon) on success.
// Returns a KugelErgebnis. Arithmetic faults raise EMathError.
int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo);

// One least-squares step for the centre with the radius R held fixed, from the approximate centre
// (X0, Y0, Z0). False (nothing changed, nothing reported) when the normal equations are singular
// or fewer than three points are given.
bool KugelAusgleichung(TPunktArray& Punkte, int n, double R, double X0, double Y0, double Z0, TMemoLines& Memo);

}  // namespace zentrix
