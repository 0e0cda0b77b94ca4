// SPDX-License-Identifier: GPL-3.0-or-later
// Matrix inversion by exchange steps and the sphere through four points.
#include "numerics/Matrix.hpp"
#include "numerics/Kugel.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Hilfen.hpp"

using namespace zentrix;
using zentrix::test::Points;

namespace {

using Rows = std::vector<std::vector<double>>;

// A 1-based matrix holding the given rows (row and column 0 idle).
TMatrix Make(const Rows& rows) {
    const std::size_t n = rows.size();
    TMatrix m = NewMatrix(n + 1, n + 1);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) m[i + 1][j + 1] = rows[i][j];
    return m;
}

// a is inverted, and a times its inverse is the identity to the last digits.
void ExpectInverts(const Rows& a) {
    const int n = static_cast<int>(a.size());
    TMatrix m = Make(a);
    ASSERT_TRUE(InvertMatrix(m, n)) << "order " << n;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            double sum = 0;
            for (int k = 1; k <= n; ++k) sum += a[i - 1][k - 1] * m[k][j];
            EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-14) << "order " << n << " element " << i << "," << j;
        }
}

Rows Read(const TMatrix& m, int n) {
    Rows r(n, std::vector<double>(n));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) r[i - 1][j - 1] = m[i][j];
    return r;
}

}  // namespace

TEST(InvertMatrix, ProductWithOriginalIsIdentity) {
    const std::vector<Rows> cases = {
        {{4, 1}, {2, 5}},
        {{10, 2, -3}, {1, 8, 2}, {-2, 3, 9}},
        {{12, 1, -2, 3}, {2, -15, 1, 4}, {-1, 2, 9, 0.5}, {3, 0.25, -1, 20}},
    };
    for (const Rows& a : cases) ExpectInverts(a);
}

TEST(InvertMatrix, RowExchangesWhereADiagonalPivotIsTooSmall) {
    // Invertible matrices whose diagonal meets a zero pivot are inverted with row exchanges.
    const std::vector<Rows> invertierbar = {
        {{0, 1}, {1, 0}},
        {{0, 2, 1}, {3, 0, 1}, {1, 1, 0}},
        {{1, 2, 3}, {2, 4, 7}, {1, 0, 1}},  // the second pivot becomes 0 after the first step
        {{1, 0, 0, 0}, {1, 0, 3, 1}, {1, 2, 1, 1}, {1, 2, 2, 3}},
    };
    for (const Rows& a : invertierbar) ExpectInverts(a);
    TMatrix tausch = Make({{0, 1}, {1, 0}});
    ASSERT_TRUE(InvertMatrix(tausch, 2));
    EXPECT_EQ(Read(tausch, 2), (Rows{{0, 1}, {1, 0}}));

    // Singular ones still fail, left as the exchange steps left them: the first step applied
    // ([1][1] = 1/1, column -2, row 2 updated with the unscaled pivot row, pivot row scaled last),
    // then the second pivot is exactly 0 and stays; no row offers another.
    TMatrix singular = Make({{1, 2}, {2, 4}});
    EXPECT_FALSE(InvertMatrix(singular, 2));
    EXPECT_EQ(Read(singular, 2), (Rows{{1, 2}, {-2, 0}}));
    // With a pivot of 2 the order of the updates shows: row 2 uses the unscaled pivot row
    // ([2][2] = -1.5 * 4 + 6 = 0; with the scaled row it would be 3) and the pivot row is divided
    // by p only at the end.
    TMatrix m = Make({{2, 4}, {3, 6}});
    EXPECT_FALSE(InvertMatrix(m, 2));
    EXPECT_EQ(Read(m, 2), (Rows{{0.5, 2}, {-1.5, 0}}));
    TMatrix null = Make({{0, 0}, {0, 1}});
    EXPECT_FALSE(InvertMatrix(null, 2));
}

TEST(InvertMatrix, PivotLimitIsStrict) {
    const double limit = 1e-32;
    const double below = std::nextafter(limit, 0.0);
    struct Case {
        Rows a;
        bool ok;
    };
    const std::vector<Case> cases = {
        {{{limit}}, true},
        {{{-limit}}, true},
        {{{below}}, false},
        {{{-below}}, false},
        {{{1, 0}, {0, limit}}, true},   // at the second step
        {{{1, 0}, {0, below}}, false},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.a.size());
        TMatrix m = Make(c.a);
        EXPECT_EQ(InvertMatrix(m, n), c.ok) << c.a[n - 1][n - 1];
        if (c.ok)
            EXPECT_NEAR(m[n][n] * c.a[n - 1][n - 1], 1.0, 1e-15);
        else
            EXPECT_EQ(m[n][n], c.a[n - 1][n - 1]);  // the failing pivot is left as it was
    }
}

TEST(InvertMatrix, OrderZeroChangesNothingAndIndicesAreChecked) {
    for (int n : {0, -1}) {
        TMatrix m = Make({{0, 7}, {3, 0}});
        EXPECT_TRUE(InvertMatrix(m, n));
        EXPECT_EQ(Read(m, 2), (Rows{{0, 7}, {3, 0}}));
    }
    // A 2 x 2 store (indices 0..1) cannot hold a matrix of order 2 indexed from 1.
    TMatrix tooSmall = NewMatrix(2, 2);
    tooSmall[1][1] = 1;
    try {
        InvertMatrix(tooSmall, 2);
        FAIL() << "no range error";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Fehler bei Bereichsprüfung");
    }
}

TEST(InvertMatrix, OverflowOnStoreIsAnError) {
    // 1 / 1e-32 is fine, but the next element update leaves the double range.
    TMatrix m = Make({{1e-32, 1e300}, {1e300, 1}});
    try {
        InvertMatrix(m, 2);
        FAIL() << "no overflow";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommaüberlauf");
    }
}

TEST(SphereFromFourPoints, SmallSphereFarFromOrigin) {
    // Radius 0.1 around (100, 200, 50): 0.06^2 + 0.08^2 = 0.1^2.
    const TPunktArray p = Points({{100.1, 200, 50}, {100, 200.1, 50}, {100, 200, 50.1}, {100 - 0.06, 200, 50 - 0.08}});
    const auto k = SphereFromFourPoints(p, 4);
    ASSERT_TRUE(k);
    EXPECT_NEAR(k->Zentrum.X, 100, 1e-9);
    EXPECT_NEAR(k->Zentrum.Y, 200, 1e-9);
    EXPECT_NEAR(k->Zentrum.Z, 50, 1e-9);
    EXPECT_NEAR(k->R, 0.1, 1e-9);
}

TEST(SphereFromFourPoints, OnlyTheFirstFourPointsCount) {
    // Points 1..4 on the sphere of radius 3 around (10, 20, 5), exactly representable; point 5 is
    // far off and does not change the exact result.
    TPunktArray p = Points({{8, 18, 6}, {9, 18, 7}, {8, 19, 7}, {12, 22, 6}, {50, 50, 50}});
    const auto k = SphereFromFourPoints(p, 5);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->Zentrum.X, 10);
    EXPECT_EQ(k->Zentrum.Y, 20);
    EXPECT_EQ(k->Zentrum.Z, 5);
    EXPECT_EQ(k->R, 3);
}

TEST(SphereFromFourPoints, DegenerateCasesGiveNoSphere) {
    struct Case {
        const char* what;
        std::vector<std::vector<double>> xyz;
    };
    const std::vector<Case> cases = {
        {"point 3 repeats point 1", {{1, 2, 3}, {4, 2, 3}, {1, 2, 3}, {1, 5, 7}}},
        {"point 2 repeats point 1", {{1, 2, 3}, {1, 2, 3}, {4, 2, 3}, {1, 5, 7}}},
        {"coplanar, zero pivot", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}},
    };
    for (const Case& c : cases) {
        const TPunktArray p = Points(c.xyz);
        EXPECT_FALSE(SphereFromFourPoints(p, 4)) << c.what;
    }
}

TEST(SphereFromFourPoints, PointsWithEqualXGiveTheExactSphere) {
    // On the sphere of radius 3 around (10, 20, 5): points 1 and 2 share X (a zero pivot without
    // row exchanges), points 3 and 4 share Y.
    const TPunktArray p = Points({{8, 18, 6}, {8, 19, 7}, {9, 18, 7}, {12, 18, 4}});
    const auto k = SphereFromFourPoints(p, 4);
    ASSERT_TRUE(k);
    EXPECT_NEAR(k->Zentrum.X, 10, 1e-12);
    EXPECT_NEAR(k->Zentrum.Y, 20, 1e-12);
    EXPECT_NEAR(k->Zentrum.Z, 5, 1e-12);
    EXPECT_NEAR(k->R, 3, 1e-12);
}

TEST(SphereFromFourPoints, NearlyCoplanarGivesDistantCentre) {
    const TPunktArray p = Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.3, 0.7, 1e-9}});
    const auto k = SphereFromFourPoints(p, 4);
    ASSERT_TRUE(k);
    // z = (0.3^2 - 0.3 + 0.7^2 - 0.7 + 1e-18) / 2e-9 = -2.1e8; the plan centre is (0.5, 0.5).
    EXPECT_NEAR(k->Zentrum.X, 0.5, 1e-6);
    EXPECT_NEAR(k->Zentrum.Y, 0.5, 1e-6);
    EXPECT_NEAR(k->Zentrum.Z / -2.1e8, 1.0, 1e-6);
    EXPECT_NEAR(k->R / 2.1e8, 1.0, 1e-6);
}

TEST(SphereFromFourPoints, FewerThanFourPointsReadsNothing) {
    const TPunktArray onlyCentre(1);  // reading point 1 would be a range error
    EXPECT_FALSE(SphereFromFourPoints(onlyCentre, 3));
}
