// The sphere centre solver: result codes, array states, report lines.
#include "bericht/KugelBericht.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Hilfen.hpp"
#include "core/Fehler.hpp"

using namespace zentrix;
using zentrix::test::ExactSphere;
using zentrix::test::Points;
using zentrix::test::XYZ;

namespace {

constexpr double GonPerRadian = 63.661977236758134;

// Rectangular (metres) to the polar input form: horizontal distance, direction (gon), height.
XYZ ToPolar(const XYZ& xyz) {
    XYZ out;
    for (const auto& p : xyz) {
        double t = std::atan2(p[1], p[0]) * GonPerRadian;
        if (t < 0) t += 400;
        out.push_back({std::hypot(p[0], p[1]), t, p[2]});
    }
    return out;
}

int Solve(TPunktArray& p, bool polar, double R, TMemoLines& memo) {
    return Kugelzentrierung(p, static_cast<int>(p.High()), polar, R, memo);
}

}  // namespace

TEST(Kugelzentrierung, DemonstrationPointsFullReport) {
    TPunktArray p = Points({{802192.254, 585697.677, 71.443},
                            {802192.620, 585697.595, 71.435},
                            {802192.646, 585697.951, 71.484},
                            {802192.316, 585697.904, 71.477}});
    TMemoLines memo{""};
    ASSERT_EQ(Solve(p, false, 3.642, memo), Code(KugelErgebnis::Ok));
    // Worked out independently in 50-digit arithmetic: base pair (1, 3), third point 2,
    // four-point radius 4.388, one degree of freedom.
    const TMemoLines expected = {
        "",
        "Kugelzentrierung Punkt ",
        "3 Punkt Umkreis Lösung      XM 802192.502 YM 585698.278, ZM     67.854, R 3.642",
        "Analytische 4 Punkt Lösung XM 802192.509 YM 585698.379, ZM     67.119, R 4.388",
        "Ausgleichung",
        "dx=0.0037 dy=0.0862, dZ=-0.6141",
        "m0=0.2540 mX(P0)=2.638, mY(P0)=3.039, mZ(P0)=0.431",
        "                 XM 802192.5055 YM 585698.293, ZM 67.733",
        "                , vR 0.1271 NV  0.6",
        "                , vR 0.1269 NV  0.5",
        "                , vR 0.1271 NV  0.6",
        "                , vR 0.1269 NV  0.6",
    };
    EXPECT_EQ(memo, expected);
    EXPECT_NEAR(p[0].X, 802192.50548920104, 1e-7);
    EXPECT_NEAR(p[0].Y, 585698.29325839248, 1e-7);
    EXPECT_NEAR(p[0].Z, 67.733087208090876, 1e-7);
    const double vR[] = {0.12714766865199091, 0.12693032897718272, 0.12711539546597485, 0.12686073593430508};
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(p[i].vR, vR[i - 1], 1e-8) << i;
    // The points themselves are not moved.
    EXPECT_EQ(p[3].X, 802192.646);
}

TEST(Kugelzentrierung, PointsExactlyOnKnownSphere) {
    TPunktArray p = Points(ExactSphere, "Kugel", true);
    p[6].Name = "Reflektorkugel-Nord-17";  // longer than the field: written in full
    for (int i = 1; i <= 6; ++i) p[i].vR = 99;
    TMemoLines memo;
    ASSERT_EQ(Solve(p, false, 3, memo), Code(KugelErgebnis::Ok));
    // Every residual is exactly 0, so m0 = 0: no m0 line, no NV.
    const TMemoLines expected = {
        "Kugelzentrierung Punkt Kugel",
        "3 Punkt Umkreis Lösung      XM     10.000 YM     20.000, ZM      5.000, R 3.000",
        "Analytische 4 Punkt Lösung XM     10.000 YM     20.000, ZM      5.000, R 3.000",
        "Ausgleichung",
        "dx=0.0000 dy=0.0000, dZ=0.0000",
        "           Kugel XM 10.0000 YM 20.000, ZM 5.000",
        "              K1, vR 0.0000",
        "              K2, vR 0.0000",
        "              K3, vR 0.0000",
        "              K4, vR 0.0000",
        "              K5, vR 0.0000",
        "Reflektorkugel-Nord-17, vR 0.0000",
    };
    EXPECT_EQ(memo, expected);
    EXPECT_EQ(p[0].X, 10);
    EXPECT_EQ(p[0].Y, 20);
    EXPECT_EQ(p[0].Z, 5);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(p[i].vR, 0) << i;
}

TEST(Kugelzentrierung, ThreeLevelPointsOnCircle) {
    // Plan circle of radius 5 around (3, 4) at height 100, R = 13: the centre lies
    // sqrt(13^2 - 5^2) = 12 below, at 88. Three points: no four-point line, no m0, no NV.
    TPunktArray p = Points({{8, 4, 100}, {-2, 4, 100}, {3, 9, 100}}, "M", true);
    for (int i = 1; i <= 3; ++i) p[i].vR = 99;
    TMemoLines memo;
    ASSERT_EQ(Solve(p, false, 13, memo), Code(KugelErgebnis::Ok));
    const TMemoLines expected = {
        "Kugelzentrierung Punkt M",
        "3 Punkt Umkreis Lösung      XM      3.000 YM      4.000, ZM     88.000, R 13.000",
        "Ausgleichung",
        "dx=0.0000 dy=0.0000, dZ=0.0000",
        "               M XM 3.0000 YM 4.000, ZM 88.000",
        "              K1, vR 0.0000",
        "              K2, vR 0.0000",
        "              K3, vR 0.0000",
    };
    EXPECT_EQ(memo, expected);
    EXPECT_NEAR(p[0].X, 3, 1e-12);
    EXPECT_NEAR(p[0].Y, 4, 1e-12);
    EXPECT_NEAR(p[0].Z, 88, 1e-12);
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(p[i].vR, 0, 1e-12) << i;
}

TEST(Kugelzentrierung, FailuresBeforeAnyReport) {
    struct Case {
        const char* what;
        XYZ xyz;
        double R;
        int code;
    };
    const std::vector<Case> cases = {
        {"collinear in plan", {{0, 0, 0}, {1, 1, 1}, {2, 2, 5}, {3, 3, 0}}, 5, Code(KugelErgebnis::Kollinear)},
        {"one plan position on the X axis", {{4, 0, 0}, {4, 0, 1}, {4, 0, 2}}, 5, Code(KugelErgebnis::Kollinear)},
        {"one plan position off the X axis", {{1, 2, 0}, {1, 2, 1}, {1, 2, 2}}, 5, Code(KugelErgebnis::KeineEbene)},
        {"radius 0", {{2, 0, 0}, {-2, 0, 0}, {0, 2, 1}}, 0, Code(KugelErgebnis::KeineEbene)},
        {"negative radius", {{2, 0, 0}, {-2, 0, 0}, {0, 2, 1}}, -3, Code(KugelErgebnis::KeineEbene)},
        {"radius equal to the circle's", {{2, 0, 0}, {-2, 0, 0}, {0, 2, 0}}, 2, Code(KugelErgebnis::RadiusZuKlein)},
        {"radius below the circle's", {{2, 0, 0}, {-2, 0, 0}, {0, 2, 0}, {0, -2, 0}}, 1.5, Code(KugelErgebnis::RadiusZuKlein)},
    };
    for (const Case& c : cases) {
        TPunktArray p = Points(c.xyz, "Z");
        p[0].X = 7;
        p[0].Y = 8;
        p[0].Z = 9;
        p[0].vR = 6;
        for (int i = 1; i <= p.High(); ++i) p[i].vR = 99;
        TMemoLines memo{"alt"};
        EXPECT_EQ(Solve(p, false, c.R, memo), c.code) << c.what;
        EXPECT_EQ(memo, TMemoLines{"alt"}) << c.what;
        EXPECT_EQ(p[0].X, 0) << c.what;
        EXPECT_EQ(p[0].Y, 0) << c.what;
        EXPECT_EQ(p[0].Z, 0) << c.what;
        EXPECT_EQ(p[0].vR, 6) << c.what;
        EXPECT_EQ(p[0].Name, "Z") << c.what;
        for (int i = 1; i <= p.High(); ++i) {
            EXPECT_EQ(p[i].X, c.xyz[i - 1][0]) << c.what;
            EXPECT_EQ(p[i].Y, c.xyz[i - 1][1]) << c.what;
            EXPECT_EQ(p[i].Z, c.xyz[i - 1][2]) << c.what;
            EXPECT_EQ(p[i].vR, 99) << c.what;
        }
    }
}

TEST(Kugelzentrierung, BasePairWithEqualXGivesTheCircle) {
    // The base pair's equal X makes the first pivot of the 2 x 2 circumcircle system 0; the
    // circle exists all the same. Level points at Z = 0, R = 10: the centre lies sqrt(100 - r^2)
    // below them.
    struct Case {
        const char* what;
        XYZ xyz;
        double x, y;  // the plan circumcentre (metres)
    };
    const std::vector<Case> cases = {
        // (0,0), (0,4), (1,2): on y = 2, and x^2 + 4 = (x - 1)^2 gives x = -1.5.
        {"base pair (1,2) with equal X", {{0, 0, 0}, {0, 4, 0}, {1, 2, 0}}, -1.5, 2},
        // Ties: (1,2) and (1,3) are both 5 apart in plan and the first pair found, (1,2), is the
        // base; in the other order it has different X. Both give the circle on y = 2.5 and
        // 3x + 4y = 12.5.
        {"tie, first pair with equal X", {{0, 0, 0}, {0, 5, 0}, {3, 4, 0}}, 5.0 / 6, 2.5},
        {"tie, first pair with different X", {{0, 0, 0}, {3, 4, 0}, {0, 5, 0}}, 5.0 / 6, 2.5},
    };
    for (const Case& c : cases) {
        TPunktArray p = Points(c.xyz);
        TMemoLines memo;
        ASSERT_EQ(Solve(p, false, 10, memo), Code(KugelErgebnis::Ok)) << c.what;
        const double r2 = c.x * c.x + c.y * c.y;
        EXPECT_NEAR(p[0].X, c.x, 1e-9) << c.what;
        EXPECT_NEAR(p[0].Y, c.y, 1e-9) << c.what;
        EXPECT_NEAR(p[0].Z, -std::sqrt(100 - r2), 1e-9) << c.what;
    }
}

TEST(Kugelzentrierung, FewerThanThreePointsTouchesNothing) {
    for (bool polar : {false, true}) {
        TPunktArray p = Points({{1, 50, 2}, {2, 150, 3}, {5, 5, 5}});
        p[0].X = 7;
        TMemoLines memo{"alt"};
        EXPECT_EQ(Kugelzentrierung(p, 2, polar, 3, memo), Code(KugelErgebnis::ZuWenigPunkte));
        EXPECT_EQ(memo, TMemoLines{"alt"});
        EXPECT_EQ(p[0].X, 7);
        EXPECT_EQ(p[1].X, 1);
        EXPECT_EQ(p[1].Y, 50);
        EXPECT_EQ(p[2].Y, 150);
    }
}

TEST(Kugelzentrierung, SingularNormalEquationsAfterReport) {
    // Level points at height 1e9 on a plan circle of radius 1, R just above 1: the centre's
    // offset below the circle (about 2e-8 m) is lost in the height, so centre and points lie in
    // one plane and the normal equations are singular. With four points the four-point system
    // is singular too (zeros reported); the adjustment still starts from the three-point centre.
    const double H = 1e9;
    const double R = std::nextafter(1.0, 2.0);
    const TMemoLines threeLines = {
        "alt",
        "Kugelzentrierung Punkt Z",
        "3 Punkt Umkreis Lösung      XM      0.000 YM      0.000, ZM 1000000000.000, R 1.000",
    };
    for (int n : {3, 4}) {
        TPunktArray p = Points({{1, 0, H}, {-1, 0, H}, {0, 1, H}, {0, -1, H}}, "Z");
        p.SetLength(static_cast<std::size_t>(n) + 1);
        p[0].X = 7;
        for (int i = 1; i <= n; ++i) p[i].vR = 99;
        TMemoLines memo{"alt"};
        EXPECT_EQ(Solve(p, false, R, memo), Code(KugelErgebnis::NormalSingulaer)) << n;
        TMemoLines expected = threeLines;
        if (n == 4) expected.push_back("Analytische 4 Punkt Lösung XM      0.000 YM      0.000, ZM      0.000, R 0.000");
        EXPECT_EQ(memo, expected) << n;
        EXPECT_EQ(p[0].X, 0);
        EXPECT_EQ(p[0].Z, 0);
        for (int i = 1; i <= n; ++i) EXPECT_EQ(p[i].vR, 99);
    }
}

TEST(Kugelzentrierung, FourPointSystemsWithEqualXOrARepeatedPoint) {
    // On the sphere of radius 3 around (10, 20, 5). Points 1 and 2 with equal X: the four-point
    // system is solved with row exchanges, the exact sphere is reported and the adjustment stays
    // there. Point 2 repeating point 1: the system is singular, zeros are reported, and the
    // adjustment starts from the exact three-point centre, not from the origin.
    struct Case {
        const char* what;
        XYZ xyz;
        const char* vierPunkt;
    };
    const std::vector<Case> cases = {
        {"equal X", {{8, 18, 6}, {8, 21, 7}, {12, 22, 6}, {8, 22, 6}, {9, 18, 7}},
         "Analytische 4 Punkt Lösung XM     10.000 YM     20.000, ZM      5.000, R 3.000"},
        {"repeated point", {{8, 18, 6}, {8, 18, 6}, {12, 22, 6}, {8, 22, 6}, {9, 18, 7}},
         "Analytische 4 Punkt Lösung XM      0.000 YM      0.000, ZM      0.000, R 0.000"},
    };
    for (const Case& c : cases) {
        TPunktArray p = Points(c.xyz, "M", true);
        TMemoLines memo;
        ASSERT_EQ(Solve(p, false, 3, memo), Code(KugelErgebnis::Ok)) << c.what;
        const TMemoLines expected = {
            "Kugelzentrierung Punkt M",
            "3 Punkt Umkreis Lösung      XM     10.000 YM     20.000, ZM      5.000, R 3.000",
            c.vierPunkt,
            "Ausgleichung",
            "dx=0.0000 dy=0.0000, dZ=0.0000",
            "               M XM 10.0000 YM 20.000, ZM 5.000",
            "              K1, vR 0.0000",
            "              K2, vR 0.0000",
            "              K3, vR 0.0000",
            "              K4, vR 0.0000",
            "              K5, vR 0.0000",
        };
        EXPECT_EQ(memo, expected) << c.what;
        EXPECT_NEAR(p[0].X, 10, 1e-12) << c.what;
        EXPECT_NEAR(p[0].Y, 20, 1e-12) << c.what;
        EXPECT_NEAR(p[0].Z, 5, 1e-12) << c.what;
    }

    // The computation itself hands back what it found: no four-point sphere, the adjustment.
    TPunktArray q = Points(cases[1].xyz);
    const TKugelLoesung L = LoeseKugelEinstufig(q, 5, false, 3);
    EXPECT_EQ(L.Ergebnis, KugelErgebnis::Ok);
    EXPECT_TRUE(L.VierPunktGerechnet);
    EXPECT_FALSE(L.VierPunkt);
    ASSERT_TRUE(L.DreiPunkt && L.Ausgleichung);
    EXPECT_EQ(L.DreiPunkt->Z, 5);
    EXPECT_EQ(L.Ausgleichung->NV.size(), 5u);
}

TEST(Kugelzentrierung, PolarSuccessReturnsEveryEntryInPolarForm) {
    TPunktArray p = Points(ToPolar(ExactSphere), "Kugel", true);
    TMemoLines memo;
    ASSERT_EQ(Solve(p, true, 3, memo), Code(KugelErgebnis::Ok));
    ASSERT_GE(memo.size(), 2u);
    EXPECT_EQ(memo[1], "3 Punkt Umkreis Lösung      XM     10.000 YM     20.000, ZM      5.000, R 3.000");
    // Centre (10, 20, 5): distance sqrt(500), direction atan2(20, 10), elevation atan(5 / sqrt(500)).
    const double s0 = std::sqrt(500.0);
    EXPECT_NEAR(p[0].X, s0, 1e-9);
    EXPECT_NEAR(p[0].Y, std::atan2(20.0, 10.0) * GonPerRadian, 1e-9);
    EXPECT_NEAR(p[0].Z, std::atan(5 / s0) * GonPerRadian, 1e-9);
    for (int i = 1; i <= 6; ++i) {
        const auto& q = ExactSphere[i - 1];
        const double s = std::hypot(q[0], q[1]);
        EXPECT_NEAR(p[i].X, s, 1e-9) << i;
        EXPECT_NEAR(p[i].Y, std::atan2(q[1], q[0]) * GonPerRadian, 1e-9) << i;
        EXPECT_NEAR(p[i].Z, std::atan(q[2] / s) * GonPerRadian, 1e-9) << i;
        EXPECT_NEAR(p[i].vR, 0, 1e-9) << i;
    }
}

TEST(Kugelzentrierung, PolarFailureLeavesRectangularPoints) {
    // Distances 2, directions 0, 200, 100 gon: (2, 0), (-2, 0), (0, 2) in plan; R = 1.5 is
    // smaller than the circle's radius 2.
    TPunktArray p = Points({{2, 0, 1}, {2, 200, 2}, {2, 100, 3}});
    TMemoLines memo;
    EXPECT_EQ(Solve(p, true, 1.5, memo), Code(KugelErgebnis::RadiusZuKlein));
    EXPECT_TRUE(memo.empty());
    const double X[] = {2, -2, 0}, Y[] = {0, 0, 2}, Z[] = {1, 2, 3};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(p[i].X, X[i - 1], 1e-15) << i;
        EXPECT_NEAR(p[i].Y, Y[i - 1], 1e-15) << i;
        EXPECT_EQ(p[i].Z, Z[i - 1]) << i;
    }
}

TEST(Kugelzentrierung, PolarOutputAtPlanDistanceZero) {
    // Point 4 lies straight above (or at) the station: its elevation angle divides by its
    // horizontal distance 0. Centre and points 1 to 3 are converted by then, point 5 is not.
    struct Case {
        double centreZ;
        XYZ offsets;  // from the centre (1, 2, centreZ); radius 3
        const char* message;
    };
    const std::vector<Case> cases = {
        {5, {{2, 1, 2}, {-2, 1, 2}, {1, -2, -2}, {-1, -2, 2}, {2, 2, -1}}, "Gleitkommadivision durch Null"},
        {2, {{2, 1, 2}, {-2, 1, 2}, {1, -2, 2}, {-1, -2, -2}, {2, 2, -1}}, "Ungültige Gleitkommaoperation"},
    };
    for (const Case& c : cases) {
        XYZ xyz;
        for (const auto& o : c.offsets) xyz.push_back({1 + o[0], 2 + o[1], c.centreZ + o[2]});
        TPunktArray p = Points(ToPolar(xyz));
        TMemoLines memo;
        try {
            Solve(p, true, 3, memo);
            ADD_FAILURE() << "no arithmetic fault: " << c.message;
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_GT(memo.size(), 4u);  // the report was complete before the conversion
        EXPECT_NEAR(p[0].X, std::sqrt(5.0), 1e-9);
        EXPECT_NEAR(p[0].Y, std::atan2(2.0, 1.0) * GonPerRadian, 1e-9);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_NEAR(p[i].X, std::hypot(xyz[i - 1][0], xyz[i - 1][1]), 1e-9) << i;
            EXPECT_NEAR(p[i].Z, std::atan(xyz[i - 1][2] / p[i].X) * GonPerRadian, 1e-9) << i;
        }
        EXPECT_EQ(p[4].X, 0);
        EXPECT_EQ(p[4].Y, 0);
        EXPECT_EQ(p[4].Z, xyz[3][2]);  // still the height
        EXPECT_NEAR(p[5].X, xyz[4][0], 1e-9);  // still rectangular
        EXPECT_NEAR(p[5].Y, xyz[4][1], 1e-9);
    }
}
