// SPDX-License-Identifier: GPL-3.0-or-later
#include "numerics/Raum.hpp"

#include <algorithm>

namespace zentrix {

namespace {

// The order K known when compiled (3 or 4; 0: k at run time) lets the loops unroll; the operations
// and their order are the same either way.
template <int K>
bool CholeskyK(const TMatrix4& m, int kLauf, TMatrix4& L) {
    const int k = K > 0 ? K : kLauf;
    long double groesste = 0;
#pragma GCC unroll 4
    for (int i = 0; i < k; ++i) groesste = std::max(groesste, std::fabs(m[i][i]));
    if (!(groesste > 0)) return false;
    // m = L L^T, L lower triangular: only its lower triangle is written (and read after).
#pragma GCC unroll 4
    for (int j = 0; j < k; ++j) {
        long double d = m[j][j];
#pragma GCC unroll 4
        for (int p = 0; p < j; ++p) d -= L[j][p] * L[j][p];
        if (!(d > 1e-13L * groesste)) return false;
        L[j][j] = std::sqrt(d);
#pragma GCC unroll 4
        for (int i = j + 1; i < k; ++i) {
            long double s = m[i][j];
#pragma GCC unroll 4
            for (int p = 0; p < j; ++p) s -= L[i][p] * L[j][p];
            L[i][j] = s / L[j][j];
        }
    }
    return true;
}

template <int K>
void InverseAusCholeskyK(const TMatrix4& L, int kLauf, TMatrix4& m) {
    const int k = K > 0 ? K : kLauf;
    // L^-1 by forward substitution, then m^-1 = L^-T L^-1; of both factors only the lower
    // triangles are read.
    TMatrix4 Li;
#pragma GCC unroll 4
    for (int j = 0; j < k; ++j) {
        Li[j][j] = 1 / L[j][j];
#pragma GCC unroll 4
        for (int i = j + 1; i < k; ++i) {
            long double s = 0;
#pragma GCC unroll 4
            for (int p = j; p < i; ++p) s -= L[i][p] * Li[p][j];
            Li[i][j] = s / L[i][i];
        }
    }
#pragma GCC unroll 4
    for (int i = 0; i < k; ++i)
#pragma GCC unroll 4
        for (int j = 0; j <= i; ++j) {
            long double s = 0;
#pragma GCC unroll 4
            for (int p = i; p < k; ++p) s += Li[p][i] * Li[p][j];
            m[i][j] = m[j][i] = s;
        }
}

}  // namespace

bool Cholesky(const TMatrix4& m, int k, TMatrix4& L) {
    if (k == 3) return CholeskyK<3>(m, k, L);
    if (k == 4) return CholeskyK<4>(m, k, L);
    return CholeskyK<0>(m, k, L);
}

void InverseAusCholesky(const TMatrix4& L, int k, TMatrix4& m) {
    if (k == 3) InverseAusCholeskyK<3>(L, k, m);
    else if (k == 4) InverseAusCholeskyK<4>(L, k, m);
    else InverseAusCholeskyK<0>(L, k, m);
}

bool InvertSymmetric(TMatrix4& m, int k) {
    TMatrix4 L;
    if (!Cholesky(m, k, L)) return false;
    InverseAusCholesky(L, k, m);
    return true;
}

TVek KleinsteAchse(const TMatrix4& m) {
    long double a[3][3], v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
    for (int sweep = 0; sweep < 50; ++sweep) {
        const long double aussen = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        if (aussen <= 1e-30L * (std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2])) || aussen == 0) break;
        for (int p = 0; p < 2; ++p)
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0) continue;
                // The rotation in the (p, q) plane that makes a[p][q] zero.
                const long double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const long double t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const long double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int r = 0; r < 3; ++r) {
                    const long double arp = a[r][p], arq = a[r][q];
                    a[r][p] = c * arp - s * arq;
                    a[r][q] = s * arp + c * arq;
                }
                for (int r = 0; r < 3; ++r) {
                    const long double apr = a[p][r], aqr = a[q][r];
                    a[p][r] = c * apr - s * aqr;
                    a[q][r] = s * apr + c * aqr;
                }
                for (int r = 0; r < 3; ++r) {
                    const long double vrp = v[r][p], vrq = v[r][q];
                    v[r][p] = c * vrp - s * vrq;
                    v[r][q] = s * vrp + c * vrq;
                }
            }
    }
    int k = 0;
    for (int i = 1; i < 3; ++i)
        if (a[i][i] < a[k][k]) k = i;
    return {v[0][k], v[1][k], v[2][k]};
}

}  // namespace zentrix
