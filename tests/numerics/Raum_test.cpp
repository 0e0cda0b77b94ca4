// SPDX-License-Identifier: GPL-3.0-or-later
// The small dense algebra of the converged solver, against values known by hand.
#include "numerics/Raum.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace zentrix;

TEST(InvertSymmetric, KnownInversesAndSingularMatrices) {
    struct Fall {
        int k;
        TMatrix4 m, inverse;
    };
    // [[4, 2], [2, 3]]^-1 = [[3, -2], [-2, 4]] / 8; the 4 x 4 second-difference matrix [[2,-1,0,0],[-1,2,-1,0],
    // [0,-1,2,-1],[0,0,-1,2]]^-1 = [[4,3,2,1],[3,6,4,2],[2,4,6,3],[1,2,3,4]] / 5.
    const Fall faelle[] = {
        {2, {{{4, 2, 0, 0}, {2, 3, 0, 0}}}, {{{3.0L / 8, -2.0L / 8, 0, 0}, {-2.0L / 8, 4.0L / 8, 0, 0}}}},
        {3, {{{2, 0, 0, 0}, {0, 5, 0, 0}, {0, 0, 0.5L, 0}}}, {{{0.5L, 0, 0, 0}, {0, 0.2L, 0, 0}, {0, 0, 2, 0}}}},
        {4,
         {{{2, -1, 0, 0}, {-1, 2, -1, 0}, {0, -1, 2, -1}, {0, 0, -1, 2}}},
         {{{0.8L, 0.6L, 0.4L, 0.2L}, {0.6L, 1.2L, 0.8L, 0.4L}, {0.4L, 0.8L, 1.2L, 0.6L}, {0.2L, 0.4L, 0.6L, 0.8L}}}},
    };
    for (const Fall& f : faelle) {
        TMatrix4 m = f.m;
        ASSERT_TRUE(InvertSymmetric(m, f.k)) << f.k;
        for (int i = 0; i < f.k; ++i)
            for (int j = 0; j < f.k; ++j) EXPECT_NEAR(static_cast<double>(m[i][j]), static_cast<double>(f.inverse[i][j]), 1e-15) << f.k << i << j;
    }
    // Points on one line: a zero row; a rank-one matrix; a pivot far below 1e-13 of the diagonal.
    for (TMatrix4 m : {TMatrix4{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}}}, TMatrix4{{{1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 1, 0}}},
                       TMatrix4{{{1, 1, 0, 0}, {1, 1 + 1e-15L, 0, 0}, {0, 0, 1, 0}}}})
        EXPECT_FALSE(InvertSymmetric(m, 3));
}

TEST(KleinsteAchse, NormalOfThePlaneOfTheSecondMoments) {
    // Diagonal moments: the axis of the smallest one. A plane tilted by 45 degrees about X: points
    // spread along X and along (0, 1, 1) / sqrt 2 have their normal along (0, 1, -1) / sqrt 2.
    const TMatrix4 diagonal{{{5, 0, 0, 0}, {0, 0.1L, 0, 0}, {0, 0, 3, 0}}};
    const TVek e = KleinsteAchse(diagonal);
    EXPECT_NEAR(static_cast<double>(std::fabs(e.y)), 1, 1e-15);
    const TMatrix4 geneigt{{{4, 0, 0, 0}, {0, 1, 1, 0}, {0, 1, 1, 0}}};
    const TVek n = KleinsteAchse(geneigt);
    EXPECT_NEAR(static_cast<double>(Norm(n)), 1, 1e-15);
    EXPECT_NEAR(static_cast<double>(std::fabs(n.y - n.z) / std::sqrt(2.0L)), 1, 1e-15);
    EXPECT_NEAR(static_cast<double>(n.x), 0, 1e-15);
}
