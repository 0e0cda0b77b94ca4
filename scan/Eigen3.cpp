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

}  // namespace zentrix
