// The base pair in O(n log n) against the plain double loop it replaces.
#include "numerics/BasisPaar.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace zentrix;

namespace {

// The plain loop: over all pairs i < j, only a strictly larger distance replaces the maximum.
std::pair<int, int> Schleife(const TPunktArray& P, int n) {
    std::pair<int, int> paar{0, 0};
    double best = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (const double d = PlanAbstand2(P[i], P[j]); d > best) {
                best = d;
                paar = {i, j};
            }
    return paar;
}

}  // namespace

TEST(BasePair, ChoosesThePairOfThePlainLoop) {
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
            const int n = 2 + static_cast<int>(rng() % 150);  // from 33 points on the hull way
            TPunktArray P(static_cast<std::size_t>(n) + 1);
            for (int i = 1; i <= n; ++i) {
                P[i].X = art.wert(rng);
                P[i].Y = art.linie ? 2 * P[i].X - 1 : art.wert(rng);
            }
            ASSERT_EQ(BasePair(P, n), Schleife(P, n)) << art.name << ", set " << satz;
        }
    // A diamond's four corners ten times over: both diagonals are equally long, and every corner
    // repeats; the first pair in loop order wins.
    const double ecken[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    TPunktArray raute(41);
    for (int i = 1; i <= 40; ++i) {
        raute[i].X = ecken[i % 4][0];
        raute[i].Y = ecken[i % 4][1];
    }
    EXPECT_EQ(BasePair(raute, 40), Schleife(raute, 40));
    EXPECT_EQ(BasePair(raute, 40), std::make_pair(1, 3));
    // One position only: no pair.
    TPunktArray eins(41);
    EXPECT_EQ(BasePair(eins, 40), std::make_pair(0, 0));
}
