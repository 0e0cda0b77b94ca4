// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Eigen3.hpp"

#include <algorithm>
#include <cmath>

namespace zentrix {

TEigen3 Eigen3(const TMatrix3& m0) {
    TMatrix3 a = m0;
    TMatrix3 v = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 12; ++sweep) {
        const double aus = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        const double diag = std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2]);
        if (aus <= 1e-15 * diag || aus == 0) break;
        for (int p = 0; p < 2; ++p)
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0) continue;
                // The rotation that zeroes a[p][q], with t = tan of its angle chosen of magnitude
                // at most 1 for accuracy.
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 3; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    std::array<int, 3> ord = {0, 1, 2};
    std::sort(ord.begin(), ord.end(), [&a](int i, int j) { return a[i][i] < a[j][j]; });
    TEigen3 e;
    for (int r = 0; r < 3; ++r) {
        const int i = ord[static_cast<std::size_t>(r)];
        e.wert[static_cast<std::size_t>(r)] = a[i][i];
        e.vektor[static_cast<std::size_t>(r)] = {v[0][i], v[1][i], v[2][i]};
    }
    return e;
}

void KleinsteAchse(const TMatrix3& m, TVektor3& wert, TVektor3& achse) {
    constexpr double Pi = 3.14159265358979323846;
    const double q = (m[0][0] + m[1][1] + m[2][2]) / 3;
    const double p1 = m[0][1] * m[0][1] + m[0][2] * m[0][2] + m[1][2] * m[1][2];
    const double d0 = m[0][0] - q, d1 = m[1][1] - q, d2 = m[2][2] - q;
    const double p = std::sqrt((d0 * d0 + d1 * d1 + d2 * d2 + 2 * p1) / 6);
    bool eindeutig = p > 0;
    if (eindeutig) {
        // B = (m - q I) / p has the eigenvalues 2 cos(phi + 2 pi k / 3) with cos(3 phi) = det(B) / 2.
        const double b00 = d0 / p, b11 = d1 / p, b22 = d2 / p, b01 = m[0][1] / p, b02 = m[0][2] / p, b12 = m[1][2] / p;
        const double r = (b00 * (b11 * b22 - b12 * b12) - b01 * (b01 * b22 - b12 * b02) + b02 * (b01 * b12 - b11 * b02)) / 2;
        const double phi = std::acos(std::clamp(r, -1.0, 1.0)) / 3;
        wert[2] = q + 2 * p * std::cos(phi);
        wert[0] = q + 2 * p * std::cos(phi + 2 * Pi / 3);
        wert[1] = 3 * q - wert[0] - wert[2];
        // The rows of m - wert[0] I span the plane normal to the vector sought.
        const TVektor3 z0{m[0][0] - wert[0], m[0][1], m[0][2]}, z1{m[0][1], m[1][1] - wert[0], m[1][2]},
            z2{m[0][2], m[1][2], m[2][2] - wert[0]};
        const auto kreuz = [](const TVektor3& a, const TVektor3& b) {
            return TVektor3{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        };
        const TVektor3 k[3] = {kreuz(z0, z1), kreuz(z0, z2), kreuz(z1, z2)};
        int best = 0;
        for (int i = 1; i < 3; ++i)
            if (Skalar(k[i], k[i]) > Skalar(k[best], k[best])) best = i;
        const double laenge2 = Skalar(k[best], k[best]);
        // A vector well defined: the two larger eigenvalues stand clear of the smallest.
        eindeutig = laenge2 > 1e-18 * std::pow(wert[2] - wert[0], 4) && wert[1] - wert[0] > 1e-9 * (wert[2] - wert[0]);
        if (eindeutig) achse = (1 / std::sqrt(laenge2)) * k[best];
    }
    if (!eindeutig) {
        const TEigen3 e = Eigen3(m);
        wert = e.wert;
        achse = e.vektor[0];
    }
}

}  // namespace zentrix
