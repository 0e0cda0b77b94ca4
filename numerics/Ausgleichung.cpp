// One linearised least-squares step for the sphere centre with the radius held fixed.
//
// Observations: the distances from the centre to the points, each of which should equal R.
// Unknowns: the three centre coordinates. All observations have weight 1.
#include <cmath>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Kugel.hpp"
#include "numerics/Matrix.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

bool KugelAusgleichung(TPunktArray& Punkte, int n, double R, double X0, double Y0, double Z0, TMemoLines& Memo) {
    using L = long double;
    // Three unknowns need three observations.
    if (n < 3) return false;

    TMatrix A = NewMatrix(static_cast<std::size_t>(n) + 1, 4);  // design matrix, n x 3
    TVektor l(static_cast<std::size_t>(n) + 1);                  // misclosures (metres)
    TMatrix N = NewMatrix(4, 4);                                   // normal matrix, then Q = N^-1
    TVektor b(4);
    TVektor dx(4);
    TVektor vR(static_cast<std::size_t>(n) + 1);  // residuals (metres)
    TVektor NV(static_cast<std::size_t>(n) + 1);  // normalised residuals

    // 1. Design rows (differences over the fixed radius, not over the distance) and misclosures.
    for (int i = 1; i <= n; ++i) {
        const TPunkt& p = Punkte[i];
        const L dX = static_cast<L>(X0) - p.X, dY = static_cast<L>(Y0) - p.Y, dZ = static_cast<L>(Z0) - p.Z;
        A[i][1] = StoreDouble(Divide(dX, R));
        A[i][2] = StoreDouble(Divide(dY, R));
        A[i][3] = StoreDouble(Divide(dZ, R));
        l[i] = StoreDouble(std::sqrt(dX * dX + dY * dY + dZ * dZ) - R);
    }

    // 2. Normal matrix N = A^T A.
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k)
            for (int i = 1; i <= n; ++i)
                N[j][k] = StoreDouble(static_cast<L>(A[i][j]) * A[i][k] + N[j][k]);

    // 3. Cofactor matrix Q = N^-1; a singular normal matrix changes nothing and reports nothing.
    if (!InvertMatrix(N, 3)) return false;
    const TMatrix& Q = N;

    // 4. b = A^T l.
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= n; ++i) b[j] = StoreDouble(static_cast<L>(A[i][j]) * l[i] + b[j]);

    // 5. Correction dx = Q b.
    for (int j = 1; j <= 3; ++j)
        for (int k = 1; k <= 3; ++k) dx[j] = StoreDouble(static_cast<L>(Q[j][k]) * b[k] + dx[j]);

    // 6. Adjusted centre: a single step, no iteration.
    const double XM = StoreDouble(static_cast<L>(X0) - dx[1]);
    const double YM = StoreDouble(static_cast<L>(Y0) - dx[2]);
    const double ZM = StoreDouble(static_cast<L>(Z0) - dx[3]);

    // 7. Residuals at the adjusted centre (positive: the point lies outside the sphere).
    double vv = 0;
    for (int i = 1; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        const L ex = static_cast<L>(XM) - p.X, ey = static_cast<L>(YM) - p.Y, ez = static_cast<L>(ZM) - p.Z;
        vR[i] = StoreDouble(std::sqrt(ex * ex + ey * ey + ez * ez) - R);
        p.vR = vR[i];
        vv = StoreDouble(static_cast<L>(vR[i]) * vR[i] + vv);
    }

    // 8. Standard deviation of unit weight; none without redundancy.
    const double m0 = n > 3 ? StoreDouble(SquareRoot(static_cast<L>(vv) / (n - 3))) : 0.0;

    // 9. Standard deviations of the centre coordinates (metres).
    const double mX = StoreDouble(m0 * SquareRoot(Q[1][1]));
    const double mY = StoreDouble(m0 * SquareRoot(Q[2][2]));
    const double mZ = StoreDouble(m0 * SquareRoot(Q[3][3]));

    // 10. The centre into the centre slot.
    Punkte[0].X = XM;
    Punkte[0].Y = YM;
    Punkte[0].Z = ZM;

    // 11./12. Cofactor q = a Q a^T of each observation and its normalised residual. A point at
    // the approximate centre has q = 0: with m0 > 0 that is a division by zero.
    for (int i = 1; i <= n; ++i) {
        double q = 0;
        for (int j = 1; j <= 3; ++j)
            for (int k = 1; k <= 3; ++k)
                q = StoreDouble(static_cast<L>(A[i][j]) * Q[j][k] * A[i][k] + q);
        NV[i] = m0 > 0 ? StoreDouble(Divide(vR[i], m0 * SquareRoot(q))) : 0.0;
    }

    // 13. Report lines.
    Memo.push_back("Ausgleichung");
    Memo.push_back(FormatText("dx=%5.4f dy=%5.4f, dZ=%5.4f", {dx[1], dx[2], dx[3]}));
    if (m0 > 0) Memo.push_back(FormatText("m0=%5.4f mX(P0)=%4.3f, mY(P0)=%4.3f, mZ(P0)=%4.3f", {m0, mX, mY, mZ}));
    Memo.push_back(FormatText("%16s XM %5.4f YM %4.3f, ZM %4.3f", {Punkte[0].Name, XM, YM, ZM}));
    for (int i = 1; i <= n; ++i) {
        if (m0 > 0)
            Memo.push_back(FormatText("%16s, vR %5.4f NV %4.1f", {Punkte[i].Name, vR[i], NV[i]}));
        else
            Memo.push_back(FormatText("%16s, vR %5.4f", {Punkte[i].Name, vR[i]}));
    }
    return true;
}

}  // namespace zentrix
