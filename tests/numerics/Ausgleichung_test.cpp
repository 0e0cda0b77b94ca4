// SPDX-License-Identifier: GPL-3.0-or-later
// The least-squares step for the sphere centre with the radius held fixed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hilfen.hpp"
#include "core/Fehler.hpp"
#include "bericht/KugelBericht.hpp"

using namespace zentrix;

namespace {

const test::XYZ& SpherePoints = test::ExactSphere;

TPunktArray Points(const test::XYZ& xyz) {
    TPunktArray p = test::Points(xyz, "Kugel", true);
    for (long long i = 1; i <= p.High(); ++i) p[i].vR = 99;
    return p;
}

// One step and its report lines appended to memo; false when the step found no solution.
bool Step(TPunktArray& p, int n, double R, double X0, double Y0, double Z0, TMemoLines& memo) {
    TAusgleichung a;
    const KugelErgebnis e = KugelAusgleichung(p, n, R, {X0, Y0, Z0}, a);
    if (e == KugelErgebnis::Ok) SchreibeAusgleichung(a, p, memo);
    return e == KugelErgebnis::Ok;
}

}  // namespace

TEST(KugelAusgleichung, OneStepFromOffsetCentre) {
    // One linearised step from 0.3 / -0.2 / 0.4 m off the true centre. The design rows use the
    // fixed radius, so the step does not land on the true centre; the expected numbers were
    // worked out independently with 50-digit arithmetic.
    TPunktArray p = Points(SpherePoints);
    TMemoLines memo{"vorher"};
    ASSERT_TRUE(Step(p, 6, 3, 10.3, 19.8, 5.4, memo));
    const TMemoLines expected = {
        "vorher",
        "Ausgleichung",
        "dx=0.2911 dy=-0.1829, dZ=0.5093",
        "m0=0.0878 mX(P0)=0.080, mY(P0)=0.064, mZ(P0)=0.135",
        "           Kugel XM 10.0089 YM 19.983, ZM 4.891",
        "              K1, vR 0.0328 NV  0.6",
        "              K2, vR 0.0658 NV  1.0",
        "              K3, vR 0.0742 NV  1.5",
        "              K4, vR 0.0436 NV  0.6",
        "              K5, vR 0.0853 NV  1.5",
        "              K6, vR 0.0552 NV  0.8",
    };
    EXPECT_EQ(memo, expected);
    EXPECT_NEAR(p[0].X, 10.0088751867452, 1e-12);
    EXPECT_NEAR(p[0].Y, 19.9829450314417, 1e-12);
    EXPECT_NEAR(p[0].Z, 4.89074503809913, 1e-12);
    const double vR[] = {0.0328364750084411, 0.0657554753197429, 0.0742018386989337,
                         0.0436056476893198, 0.0852774298745002, 0.0552474257591348};
    for (int i = 1; i <= 6; ++i) EXPECT_NEAR(p[i].vR, vR[i - 1], 1e-12) << i;
    EXPECT_EQ(p[0].vR, 0);  // the centre's own residual field is never touched
}

TEST(KugelAusgleichung, ThreePointsHaveNoRedundancy) {
    // m0 = 0 without redundancy: no m0 line and no NV, but the step is applied and the
    // residuals of the linearised step are written.
    TPunktArray p = Points({SpherePoints[0], SpherePoints[1], SpherePoints[3]});
    TMemoLines memo;
    ASSERT_TRUE(Step(p, 3, 3, 10.3, 19.8, 5.4, memo));
    const TMemoLines expected = {
        "Ausgleichung",
        "dx=0.1819 dy=-0.0790, dZ=0.5525",
        "           Kugel XM 10.1181 YM 19.879, ZM 4.847",
        "              K1, vR 0.0570",
        "              K2, vR 0.0682",
        "              K3, vR 0.0609",
    };
    EXPECT_EQ(memo, expected);
    EXPECT_NEAR(p[0].Z, 4.84746919717818, 1e-12);
    EXPECT_NEAR(p[2].vR, 0.0682091867343779, 1e-12);
}

TEST(KugelAusgleichung, SingularNormalEquationsChangeNothing) {
    // Points and approximate centre in the plane Z = 2: the normal matrix has a zero row.
    TPunktArray p = Points({{1, 0, 2}, {0, 1, 2}, {-1, 0, 2}, {0, -1, 2}});
    p[0].X = 7;
    const TPunktArray before = p;
    TMemoLines memo{"x"};
    EXPECT_FALSE(Step(p, 4, 1, 0, 0, 2, memo));
    EXPECT_EQ(memo, TMemoLines{"x"});
    for (int i = 0; i <= 4; ++i) {
        EXPECT_EQ(p[i].X, before[i].X);
        EXPECT_EQ(p[i].vR, before[i].vR);
    }
    // Fewer than three points can never determine the centre.
    EXPECT_FALSE(Step(p, 2, 1, 0.5, 0.5, 0, memo));
    EXPECT_EQ(memo, TMemoLines{"x"});
}

TEST(KugelAusgleichung, PointAtApproximateCentreEndsWithDivisionByZero) {
    // The fifth point is the approximate centre itself: its design row is zero, so its cofactor
    // is 0; with m0 > 0 its normalised residual divides by zero. Centre and residuals are
    // written before, no report line is.
    TPunktArray p = Points({SpherePoints[0], SpherePoints[1], SpherePoints[2], SpherePoints[3], {10, 20, 5}});
    TMemoLines memo{"x"};
    try {
        Step(p, 5, 3, 10, 20, 5, memo);
        FAIL() << "no arithmetic fault";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommadivision durch Null");
    }
    EXPECT_EQ(memo, TMemoLines{"x"});
    EXPECT_EQ(p[0].X, 10);
    EXPECT_EQ(p[0].Y, 20);
    EXPECT_EQ(p[0].Z, 5);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(p[i].vR, 0) << i;
    EXPECT_EQ(p[5].vR, -3);
}
