// SPDX-License-Identifier: GPL-3.0-or-later
#include "numerics/Polar.hpp"

#include <math.h>

#include <cmath>

#include "numerics/Gleitkomma.hpp"

namespace zentrix {

void DirectionAndDistance(double dY, double dX, double& s, double& t) {
    long double w;
    if (dX == 0)
        w = SignOf(dY) * Pi / 2;  // on the Y axis: no division
    else
        w = std::atan(static_cast<long double>(dY) / static_cast<long double>(dX));
    if (dX < 0) w += Pi;     // second and third quadrant
    if (w < 0) w += 2 * Pi;  // fourth quadrant
    const long double y = dY, x = dX;
    const double dist = StoreDouble(std::sqrt(y * y + x * x));
    if (dX == 0 && dY == 0) w = 0;
    s = dist;
    t = StoreDouble(w);
}

namespace {

// Sine and cosine of an angle (radians) at once: one argument reduction for both, the same values
// as sin and cos one by one.
void SinCos(long double x, long double& s, long double& c) { ::sincosl(x, &s, &c); }

}  // namespace

TPlan Plan(long double s, double Ri) {
    const long double t = Ri / Rho;  // radians
    long double sinT, cosT;
    SinCos(t, sinT, cosT);
    return {s * cosT, s * sinT};
}

TRechtwinklig Rechtwinklig(const TPolar& b) {
    const long double zd = b.Zd / Rho;  // radians
    long double sinZ, cosZ;
    SinCos(zd, sinZ, cosZ);
    const TPlan plan = Plan(b.S, b.Ri);
    return {StoreDouble(sinZ * plan.X), StoreDouble(sinZ * plan.Y), StoreDouble(cosZ * b.S)};
}

TPolar Polar(const TRechtwinklig& p) {
    const long double X = p.X, Y = p.Y, Z = p.Z;
    TPolar b;
    b.S = StoreDouble(std::sqrt(X * X + Y * Y + Z * Z));
    double s = 0, t = 0;
    DirectionAndDistance(p.Y, p.X, s, t);
    b.Ri = StoreDouble(t * Rho);  // 0 <= Ri < 400 gon
    b.Zd = StoreDouble(100 - Hoehenwinkel(p.Z, s));
    return b;
}

TReduktion Reduktion(double S, double Zd) {
    const long double zd = Zd / Rho;  // radians
    long double sinZ, cosZ;
    SinCos(zd, sinZ, cosZ);
    return {S * sinZ, S * cosZ};
}

double HoeheAusKotangens(double s, double Zd) {
    const long double zd = Zd / Rho;  // radians
    return StoreDouble(Divide(1.0L, std::tan(zd)) * s);
}

double HoeheAusHoehenwinkel(double s, double h) {
    const long double hr = h / Rho;  // radians
    return StoreDouble(std::tan(hr) * s);
}

long double Hoehenwinkel(double Z, double s) { return std::atan(Divide(Z, s)) * Rho; }

}  // namespace zentrix
