// SPDX-License-Identifier: GPL-3.0-or-later
// The judgement of a converged fit, checked on a design whose statistics are known by hand: 14
// directions (the 6 axes and the 8 cube diagonals) give A^T A = 14/3 I, so every cofactor of the
// centre is 3/14 and every redundancy part 1 - 3/14 = 11/14.
#include "numerics/KugelPruefung.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace zentrix;

namespace {

constexpr long double R = 2;

// The 14 points at R + v_i along their direction from the centre (the origin).
std::vector<TVek> Punkte(const std::vector<long double>& v) {
    const long double d = 1 / std::sqrt(3.0L);
    const TVek u[14] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},   {0, -1, 0},  {0, 0, 1},   {0, 0, -1},   {d, d, d},
                        {d, d, -d}, {d, -d, d}, {d, -d, -d}, {-d, d, d}, {-d, d, -d}, {-d, -d, d}, {-d, -d, -d}};
    std::vector<TVek> q;
    for (std::size_t i = 0; i < 14; ++i) q.push_back((R + v[i]) * u[i]);
    return q;
}

// Small residuals of alternating sign (metres), point 1 optionally a blunder.
std::vector<long double> Residuen(long double erster) {
    std::vector<long double> v;
    for (int i = 0; i < 14; ++i) v.push_back(i % 2 == 0 ? 0.001L : -0.001L);
    v[0] = erster;
    return v;
}

}  // namespace

TEST(PruefeKugel, HandComputedStatisticsAndOutlier) {
    struct Fall {
        long double erster;  // residual of point 1 (metres)
        int ausreisser;      // the point the test marks
    };
    for (const Fall& f : {Fall{0.001L, 0}, Fall{0.05L, 1}}) {
        const auto v = Residuen(f.erster);
        TAusgleichung a;
        TKonvergenz k;
        const std::vector<TVek> q = Punkte(v);
        ASSERT_TRUE(PruefeKugel(q, {}, R, a, k));
        long double vv = 0;
        for (const long double x : v) vv += x * x;
        const double m0 = static_cast<double>(std::sqrt(vv / 11));
        EXPECT_NEAR(a.m0, m0, 1e-15);
        for (const double m : {a.m.X, a.m.Y, a.m.Z}) EXPECT_NEAR(m, m0 * std::sqrt(3.0 / 14), 1e-15);
        ASSERT_EQ(a.NV.size(), 14u);
        ASSERT_EQ(k.r.size(), 14u);
        for (std::size_t i = 0; i < 14; ++i) {
            EXPECT_NEAR(Verbesserung({}, q[i], R), static_cast<double>(v[i]), 1e-15) << i;
            EXPECT_NEAR(k.r[i], 11.0 / 14, 1e-15) << i;
            EXPECT_NEAR(a.NV[i], static_cast<double>(v[i]) / (m0 * std::sqrt(11.0 / 14)), 1e-12) << i;
        }
        EXPECT_NEAR(k.tQuantil, 4.5869, 1e-4);  // Student's t, 99.95 %, 10 degrees of freedom
        EXPECT_EQ(k.Ausreisser, f.ausreisser);
    }
}

TEST(PruefeKugel, RadiusCheckFlagsAWrongRadiusOnly) {
    // Exact points on a sphere of 2 m: checked with 2 m nothing is flagged (m0 below the limit, no
    // outlier test); checked with 2.1 m every residual is -0.1 m and the free radius of 2 m with
    // mR = 0 shows the given one is wrong.
    for (const long double gegeben : {2.0L, 2.1L}) {
        TAusgleichung a;
        TKonvergenz k;
        ASSERT_TRUE(PruefeKugel(Punkte(std::vector<long double>(14, 0)), {}, gegeben, a, k));
        ASSERT_TRUE(k.Radius.has_value());
        EXPECT_NEAR(k.Radius->RFrei, 2.0, 1e-12);
        EXPECT_NEAR(k.Radius->mR, 0.0, 1e-9);
        EXPECT_EQ(k.Radius->Abweichend, gegeben != 2.0L);
        EXPECT_NEAR(a.m0, gegeben == 2.0L ? 0 : std::sqrt(14 * 0.01 / 11), 1e-12);
        EXPECT_EQ(k.Ausreisser, 0);
    }
}

TEST(PruefeKugel, FewPointsGiveOnlyWhatTheyCan) {
    const auto alle = Punkte(Residuen(0.001L));
    // The points on +x, -x, +y and -y lie in the centre's plane Z = 0: their directions leave the
    // centre's height undetermined, the normal matrix is singular.
    TAusgleichung a;
    TKonvergenz k;
    EXPECT_FALSE(PruefeKugel(std::vector<TVek>{alle[0], alle[1], alle[2], alle[3]}, {}, R, a, k));
    // Four points not in a plane: precision figures, no tests (n < 5).
    TAusgleichung a4;
    TKonvergenz k4;
    ASSERT_TRUE(PruefeKugel(std::vector<TVek>{alle[0], alle[2], alle[4], alle[13]}, {}, R, a4, k4));
    EXPECT_GT(a4.m0, 0);
    EXPECT_EQ(k4.tQuantil, 0);
    EXPECT_FALSE(k4.Radius.has_value());
}

TEST(TQuantil999, KnownValues) {
    // Student's t, two-sided 99.9 % (the 0.9995 quantile), from printed tables.
    const std::pair<int, double> werte[] = {{1, 636.619}, {2, 31.599}, {5, 6.869}, {30, 3.646}, {300, 3.323}};
    for (int mal = 0; mal < 2; ++mal)  // computed, then as kept
        for (const auto& [df, t] : werte) EXPECT_NEAR(TQuantil999(df), t, 5e-4) << df;
}
