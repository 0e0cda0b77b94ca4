// SPDX-License-Identifier: GPL-3.0-or-later
#include "numerics/Polar.hpp"

#include <math.h>

#include <cmath>
#include <cstdlib>  // defines __GLIBC__ with the C library
#include <limits>

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

namespace {

// pi / 2 in three parts for the reduction of an angle by whole quadrants: the first two with
// 58 significant bits, so that n times either is exact for |n| < 64, the third the rest (the sum
// is pi / 2 to within 3e-55).
constexpr long double ViertelPi1 = 0x3243f6a8885a308p-57L;
constexpr long double ViertelPi2 = 0x34c4c6628b80dc1p-115L;
constexpr long double ViertelPi3 = 0xcd129024e088a67dp-179L;

// n! for the series below.
constexpr long double Fakultaet(int n) { return n <= 1 ? 1.0L : n * Fakultaet(n - 1); }

// Sine and cosine of a small angle r (radians, |r| at most a little over pi / 4) by their series,
// up to r^19 and r^20 (what follows is below a thousandth of a unit in the last place). Each is
// within two units in the last place of the true value: the sine is r plus a term of at most a
// tenth of it, the cosine 1 - r^2 / 2 plus one of at most a hundredth, so the rounding of the
// series' small terms hardly counts beside that of the last sum (and for the cosine of r^2).
void SinCosReihe(long double r, long double& s, long double& c) {
    if (r == 0) {  // the sine of -0 is -0
        s = r;
        c = 1;
        return;
    }
    const long double z = r * r;
    // The coefficients (-1)^k / n!, each rounded once when compiled.
    constexpr long double S3 = -1 / Fakultaet(3), S5 = 1 / Fakultaet(5), S7 = -1 / Fakultaet(7),
                          S9 = 1 / Fakultaet(9), S11 = -1 / Fakultaet(11), S13 = 1 / Fakultaet(13),
                          S15 = -1 / Fakultaet(15), S17 = 1 / Fakultaet(17), S19 = -1 / Fakultaet(19);
    constexpr long double C4 = 1 / Fakultaet(4), C6 = -1 / Fakultaet(6), C8 = 1 / Fakultaet(8),
                          C10 = -1 / Fakultaet(10), C12 = 1 / Fakultaet(12), C14 = -1 / Fakultaet(14),
                          C16 = 1 / Fakultaet(16), C18 = -1 / Fakultaet(18), C20 = 1 / Fakultaet(20);
    const long double ps = ((((((((S19 * z + S17) * z + S15) * z + S13) * z + S11) * z + S9) * z + S7) * z + S5) * z + S3);
    const long double pc = ((((((((C20 * z + C18) * z + C16) * z + C14) * z + C12) * z + C10) * z + C8) * z + C6) * z + C4);
    s = r + (r * z) * ps;
    c = (1 - z * 0.5L) + (z * z) * pc;
}

// Sine and cosine of an angle x (radians, |x| < 64) reduced to its quadrant here: the library's
// reduction of an extended argument beyond pi / 4 works through the bits of 2 / pi one by one,
// and its sine and cosine switch the coprocessor's rounding mode for a table index; both cost
// more than the series. The angle less n quarter turns is exact to a relative 2^-63
// (x - n * ViertelPi1 is exact, the two smaller parts add one rounding), so sine and cosine come
// within three units in the last place of the library's (which is within one of the truth).
// False for an angle that lies within 2^-90 of a quarter turn, where the reduced angle would
// have too few bits.
bool SinCosReduziert(long double x, long double& s, long double& c) {
    // The nearest whole number of quarter turns by adding and taking away 1.5 * 2^63 (the sum has
    // no bits behind the point): the library's rounding and a conversion to an integer type would
    // each switch the rounding mode and back, which takes longer than the series.
    constexpr long double Runden = 1.5L * static_cast<long double>(1ULL << 63);
    static_assert(std::numeric_limits<long double>::digits <= 64);
    const long double n = (x * (2 / Pi) + Runden) - Runden;
    if (n == 0) {
        SinCosReihe(x, s, c);  // within the first octant: no reduction at all
        return true;
    }
    const long double r = ((x - n * ViertelPi1) - n * ViertelPi2) - n * ViertelPi3;
    if (std::fabs(r) < 0x1p-90L) return false;
    long double sr, cr;
    SinCosReihe(r, sr, cr);
    switch (static_cast<int>(static_cast<double>(n)) & 3) {  // through double: no switch of the rounding mode
        case 0: s = sr; c = cr; break;
        case 1: s = cr; c = -sr; break;
        case 2: s = -sr; c = -cr; break;
        default: s = -cr; c = sr; break;
    }
    return true;
}

// The quick way holds to the library's results only where the library's extended sine and cosine
// are within a unit in the last place, as the GNU C library's are. MinGW's are not (on Windows the
// quick way gave other last bits than the library there): elsewhere the library's way alone.
#ifdef __GLIBC__
constexpr bool SchnellGleich = true;
#else
constexpr bool SchnellGleich = false;
#endif

// True where every value within a relative 2^-59 of v rounds to the same double as v. A value
// computed from sines and cosines within three units of the library's (a unit at most a relative
// 2^-63) through two products, each rounded, lies within a relative 2^-60 of the library's
// value: where this holds, it stores as the library's would.
bool RundetGleich(long double v) {
    const long double d = std::fabs(v) * 0x1p-59L;
    return static_cast<double>(v - d) == static_cast<double>(v + d);
}

}  // namespace

TRechtwinklig Rechtwinklig(const TPolar& b) {
    const long double zd = b.Zd / Rho, t = b.Ri / Rho;  // radians
    long double sinZ, cosZ, sinT, cosT;
    // A day's file holds a million pointings: the quick reduction first, the library's where its
    // result might round otherwise (one pointing in fifteen), so the coordinates are the same either way.
    if (SchnellGleich && std::fabs(zd) < 64 && std::fabs(t) < 64 && SinCosReduziert(zd, sinZ, cosZ) &&
        SinCosReduziert(t, sinT, cosT)) {
        const long double planX = b.S * cosT, planY = b.S * sinT;
        const long double X = sinZ * planX, Y = sinZ * planY, Z = cosZ * b.S;
        if (RundetGleich(X) && RundetGleich(Y) && RundetGleich(Z)) return {StoreDouble(X), StoreDouble(Y), StoreDouble(Z)};
    }
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
