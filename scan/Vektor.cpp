// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Vektor.hpp"

#include <algorithm>

namespace zentrix {

bool LoeseSymmetrisch(const TMatrix3& m, const TVektor3& b, TVektor3& x) {
    // Cholesky: m = L Lᵀ from the upper triangle.
    const double groesste = std::max({m[0][0], m[1][1], m[2][2]});
    double l[3][3] = {};
    for (int j = 0; j < 3; ++j) {
        double d = m[j][j];
        for (int k = 0; k < j; ++k) d -= l[j][k] * l[j][k];
        if (!(d > 1e-12 * groesste)) return false;
        l[j][j] = std::sqrt(d);
        for (int i = j + 1; i < 3; ++i) {
            double s = m[j][i];
            for (int k = 0; k < j; ++k) s -= l[i][k] * l[j][k];
            l[i][j] = s / l[j][j];
        }
    }
    TVektor3 y;
    for (int i = 0; i < 3; ++i) {
        double s = b[static_cast<std::size_t>(i)];
        for (int k = 0; k < i; ++k) s -= l[i][k] * y[static_cast<std::size_t>(k)];
        y[static_cast<std::size_t>(i)] = s / l[i][i];
    }
    for (int i = 2; i >= 0; --i) {
        double s = y[static_cast<std::size_t>(i)];
        for (int k = i + 1; k < 3; ++k) s -= l[k][i] * x[static_cast<std::size_t>(k)];
        x[static_cast<std::size_t>(i)] = s / l[i][i];
    }
    return true;
}

}  // namespace zentrix
