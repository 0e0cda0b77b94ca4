// The sphere centre solver: three-point circumcircle solution with height offset, the exact
// sphere through the first four points, then one least-squares step with the radius held fixed.
#include "numerics/Kugel.hpp"

#include <cmath>
#include <string>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Matrix.hpp"
#include "polar/Richtung.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

using L = long double;

// Horizontal distance and direction (gon) -> X, Y (metres); the height stays.
void PolarToRectangular(TPunktArray& Punkte, int n) {
    for (int i = 1; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        const L d = p.X;
        const L t = static_cast<L>(p.Y) / Rho;  // gon -> radians
        const double x = StoreDouble(d * std::cos(t));
        const double y = StoreDouble(d * std::sin(t));
        p.X = x;
        p.Y = y;
    }
}

// X, Y, Z (metres) -> horizontal distance (metres), direction (gon), elevation angle (gon), for
// every entry including the centre. A point straight above or below the station (horizontal
// distance 0) has no elevation angle: the division raises and the entries before stay converted.
void RectangularToPolar(TPunktArray& Punkte, int n) {
    for (int i = 0; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        double s = 0, t = 0;
        DirectionAndDistance(p.Y, p.X, s, t);
        p.X = s;
        p.Y = StoreDouble(static_cast<L>(t) * Rho);
        p.Z = StoreDouble(std::atan(Divide(p.Z, p.X)) * Rho);
    }
}

}  // namespace

int Kugelzentrierung(TPunktArray& Punkte, int n, bool Polar, double R, TMemoLines& Memo) {
    // 1. At least three points.
    if (n < 3) return KugelZuWenigPunkte;

    // 2. Working arrays (released by their destructors on every way out) and the centre slot.
    TMatrix M = NewMatrix(3, 3);
    TVektor v(3);
    double XM = 0, YM = 0, ZM = 0;
    Punkte[0].X = 0;
    Punkte[0].Y = 0;
    Punkte[0].Z = 0;

    // 3. Polar input.
    if (Polar) PolarToRectangular(Punkte, n);

    // 4. Base pair: the two points farthest apart in plan; the first pair found wins a tie.
    int a = 0, b = 0;
    double maxDist2 = 0;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const L dx = static_cast<L>(Punkte[j].X) - Punkte[i].X;
            const L dy = static_cast<L>(Punkte[j].Y) - Punkte[i].Y;
            const double d2 = StoreDouble(dx * dx + dy * dy);
            if (d2 > maxDist2) {
                maxDist2 = d2;
                a = i;
                b = j;
            }
        }
    }

    // 5. Third point: the one farthest from the line a-b in plan.
    const TPunkt& pa = Punkte[a];
    double s = 0, tab = 0;
    DirectionAndDistance(StoreDouble(static_cast<L>(Punkte[b].Y) - pa.Y),
                         StoreDouble(static_cast<L>(Punkte[b].X) - pa.X), s, tab);
    int k = 0;
    double maxOff = 0;
    for (int i = 1; i <= n; ++i) {
        double si = 0, ti = 0;
        DirectionAndDistance(StoreDouble(static_cast<L>(Punkte[i].Y) - pa.Y),
                             StoreDouble(static_cast<L>(Punkte[i].X) - pa.X), si, ti);
        const double e = StoreDouble(std::fabs(si * std::sin(static_cast<L>(ti) - tab)));
        if (i != b && e > maxOff) {
            maxOff = e;
            k = i;
        }
    }
    if (k == 0) return KugelKollinear;
    const TPunkt& pb = Punkte[b];
    const TPunkt& pk = Punkte[k];

    // 6. Unit normal of the plane through a, b, k. A radius of 0 or below is no sphere.
    const L ux = static_cast<L>(pb.X) - pa.X, uy = static_cast<L>(pb.Y) - pa.Y, uz = static_cast<L>(pb.Z) - pa.Z;
    const L wx = static_cast<L>(pk.X) - pa.X, wy = static_cast<L>(pk.Y) - pa.Y, wz = static_cast<L>(pk.Z) - pa.Z;
    const double nx = StoreDouble(uy * wz - uz * wy);
    const double ny = StoreDouble(uz * wx - ux * wz);
    const double nz = StoreDouble(ux * wy - uy * wx);
    const double len = StoreDouble(std::sqrt(static_cast<L>(nx) * nx + static_cast<L>(ny) * ny + static_cast<L>(nz) * nz));
    if (len <= 0 || !(R > 0)) return KugelKeineEbene;
    const double NX = StoreDouble(Divide(nx, len));
    const double NY = StoreDouble(Divide(ny, len));
    const double NZ = StoreDouble(Divide(nz, len));

    // 7. Plan circumcentre of a, b, k from two perpendicular-bisector equations.
    const L xa = pa.X, ya = pa.Y, xb = pb.X, yb = pb.Y, xk = pk.X, yk = pk.Y;
    M[1][1] = StoreDouble(2 * (xb - xa));
    M[1][2] = StoreDouble(2 * (yb - ya));
    v[1] = StoreDouble(xb * xb - xa * xa + yb * yb - ya * ya);
    M[2][1] = StoreDouble(2 * (xk - xa));
    M[2][2] = StoreDouble(2 * (yk - ya));
    v[2] = StoreDouble(xk * xk - xa * xa + yk * yk - ya * ya);
    if (!InvertMatrix(M, 2)) return KugelKreisSingulaer;
    for (int j = 1; j <= 2; ++j) XM = StoreDouble(static_cast<L>(M[1][j]) * v[j] + XM);
    for (int j = 1; j <= 2; ++j) YM = StoreDouble(static_cast<L>(M[2][j]) * v[j] + YM);

    // 8. Height of the centre above or below the circle's plane: h^2 = R^2 - r^2.
    const L ex = static_cast<L>(XM) - xa, ey = static_cast<L>(YM) - ya;
    const double h2 = StoreDouble(static_cast<L>(R) * R - ex * ex - ey * ey);
    if (h2 <= 0) return KugelRadiusZuKlein;
    double h = StoreDouble(std::sqrt(static_cast<L>(h2)));

    // 9./10. From the mean height of the three points along the normal, always downwards.
    ZM = StoreDouble((static_cast<L>(pa.Z) + pb.Z + pk.Z) / 3);
    if (NZ < 0) h = -h;
    XM = StoreDouble(XM - static_cast<L>(h) * NX);
    YM = StoreDouble(YM - static_cast<L>(h) * NY);
    ZM = StoreDouble(ZM - static_cast<L>(h) * NZ);

    // 11. Report of the three-point solution.
    Memo.push_back("Kugelzentrierung Punkt " + Punkte[0].Name);
    Memo.push_back(FormatText("3 Punkt Umkreis Lösung      XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f", {XM, YM, ZM, R}));

    // 12. The exact sphere through points 1 to 4. When its system is singular it gives zeros;
    // the adjustment then starts from the three-point centre rather than from the origin.
    if (n > 3) {
        double X4 = 0, Y4 = 0, Z4 = 0, R4 = 0;
        SphereFromFourPoints(Punkte, n, X4, Y4, Z4, R4);
        Memo.push_back(
            FormatText("Analytische 4 Punkt Lösung XM %10.3f YM %10.3f, ZM %10.3f, R %5.3f", {X4, Y4, Z4, R4}));
        const bool fourPointFailed = X4 == 0 && Y4 == 0 && Z4 == 0 && R4 == 0;
        if (!fourPointFailed) {
            XM = X4;
            YM = Y4;
            ZM = Z4;
        }
    }

    // 13. One least-squares step.
    if (!KugelAusgleichung(Punkte, n, R, XM, YM, ZM, Memo)) return KugelNormalSingulaer;

    // 14. Polar output.
    if (Polar) RectangularToPolar(Punkte, n);
    return KugelOk;
}

}  // namespace zentrix
