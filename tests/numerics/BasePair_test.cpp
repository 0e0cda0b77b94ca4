// SPDX-License-Identifier: GPL-3.0-or-later
// The base pair in O(n log n) against a brute force over all pairs written independently of it.
#include "numerics/BasePair.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace zentrix;

namespace {

// Every pair i < j in loop order with its squared plan distance as the solver compares it
// (differences and squares in extended precision, the sum rounded to a double); the first of the
// largest wins, (0, 0) when every distance is 0.
std::pair<int, int> AllePaare(const TPunktArray& P, int n) {
    struct TPaar {
        double d;
        int i, j;
    };
    std::vector<TPaar> paare;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const long double dx = static_cast<long double>(P[j].X) - P[i].X;
            const long double dy = static_cast<long double>(P[j].Y) - P[i].Y;
            paare.push_back({static_cast<double>(dx * dx + dy * dy), i, j});
        }
    const auto best = std::max_element(paare.begin(), paare.end(),
                                       [](const TPaar& a, const TPaar& b) { return a.d < b.d; });
    if (best == paare.end() || best->d == 0) return {0, 0};
    return {best->i, best->j};
}

}  // namespace

TEST(BasePair, ChoosesTheFirstOfTheFarthestPairs) {
    std::mt19937 rng(4711);
    struct Art {
        const char* name;
        double (*wert)(std::mt19937&);  // a coordinate
        bool linie;                     // all points on one line
    };
    const Art arten[] = {
        {"reals", [](std::mt19937& r) { return std::uniform_real_distribution<double>(-1, 1)(r); }, false},
        // Small integers: many repeated points and many equal distances.
        {"grid 0..3", [](std::mt19937& r) { return static_cast<double>(r() % 4); }, false},
        {"grid 0..1", [](std::mt19937& r) { return static_cast<double>(r() % 2); }, false},
        {"line", [](std::mt19937& r) { return static_cast<double>(r() % 5); }, true},
        {"national grid", [](std::mt19937& r) { return 802192.0 + 0.001 * static_cast<double>(r() % 300); }, false},
    };
    for (const Art& art : arten)
        for (int satz = 0; satz < 400; ++satz) {
            // Mostly beyond 32 points, where the pair is found on the convex hull.
            const int n = satz % 8 == 0 ? 2 + static_cast<int>(rng() % 31) : 33 + static_cast<int>(rng() % 120);
            TPunktArray P(static_cast<std::size_t>(n) + 1);
            for (int i = 1; i <= n; ++i) {
                P[i].X = art.wert(rng);
                P[i].Y = art.linie ? 2 * P[i].X - 1 : art.wert(rng);
            }
            ASSERT_EQ(BasePair(P, n), AllePaare(P, n)) << art.name << ", set " << satz;
        }
    // Points spread over a disc, also at national-grid coordinates on a tenth of a millimetre:
    // most lie inside the circle within the extremes' polygon, the pair is among the few outside.
    for (int satz = 0; satz < 30; ++satz) {
        const int n = 200 + static_cast<int>(rng() % 1000);
        const double x0 = satz % 2 == 0 ? 0.0 : 802192.5, y0 = satz % 2 == 0 ? 0.0 : 585697.6;
        TPunktArray P(static_cast<std::size_t>(n) + 1);
        std::uniform_real_distribution<double> u(-0.1, 0.1);
        for (int i = 1; i <= n; ++i) {
            double x = 0, y = 0;
            do {
                x = u(rng);
                y = u(rng);
            } while (x * x + y * y > 0.01);
            P[i].X = x0 + (satz % 2 == 0 ? x : std::round(x * 1e4) / 1e4);
            P[i].Y = y0 + (satz % 2 == 0 ? y : std::round(y * 1e4) / 1e4);
        }
        ASSERT_EQ(BasePair(P, n), AllePaare(P, n)) << "disc, set " << satz;
    }
    // A diamond's four corners ten times over: both diagonals are equally long, and every corner
    // repeats; the first pair in loop order wins.
    const double ecken[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    TPunktArray raute(41);
    for (int i = 1; i <= 40; ++i) {
        raute[i].X = ecken[i % 4][0];
        raute[i].Y = ecken[i % 4][1];
    }
    EXPECT_EQ(BasePair(raute, 40), AllePaare(raute, 40));
    EXPECT_EQ(BasePair(raute, 40), std::make_pair(1, 3));
    // One position only: no pair.
    TPunktArray eins(41);
    EXPECT_EQ(BasePair(eins, 40), std::make_pair(0, 0));
}
