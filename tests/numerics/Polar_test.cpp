// SPDX-License-Identifier: GPL-3.0-or-later
// Directions, distances and polar observations from the station, and back.
#include "numerics/Polar.hpp"

#include <gtest/gtest.h>

#include <math.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/Fehler.hpp"

using namespace zentrix;

TEST(SignOf, ThreeValues) {
    EXPECT_EQ(SignOf(-1e-300), -1);
    EXPECT_EQ(SignOf(0.0), 0);
    EXPECT_EQ(SignOf(-0.0), 0);
    EXPECT_EQ(SignOf(2.5), 1);
}

TEST(DirectionAndDistance, Quadrants) {
    struct Case {
        double dY, dX, gon, s;
    };
    const std::vector<Case> cases = {
        {1, 1, 50, std::sqrt(2.0)},     {1, -1, 150, std::sqrt(2.0)}, {-1, -1, 250, std::sqrt(2.0)},
        {-1, 1, 350, std::sqrt(2.0)},   {5, 0, 100, 5},               {-5, 0, 300, 5},
        {0, -3, 200, 3},                {0, 3, 0, 3},                 {0, 0, 0, 0},
        {-0.0, -0.0, 0, 0},             {4, -0.0, 100, 4},            {3, 4, 40.96655293982669, 5},
    };
    for (const Case& c : cases) {
        double s = -1, t = -1;
        DirectionAndDistance(c.dY, c.dX, s, t);
        EXPECT_NEAR(static_cast<double>(t * Rho), c.gon, 1e-9) << "dY " << c.dY << " dX " << c.dX;
        EXPECT_EQ(s, c.s) << "dY " << c.dY << " dX " << c.dX;
        EXPECT_GE(t, 0);
    }
}

TEST(DirectionAndDistance, TinyNegativeDyStaysBelowOrAtFullCircle) {
    const double fullCircle = static_cast<double>(2 * Pi);
    double s = 0, t = 0;
    // The angle is -1e-300 rad: 2 pi minus that rounds to the double nearest 2 pi.
    DirectionAndDistance(-1e-300, 1, s, t);
    EXPECT_EQ(t, fullCircle);
    EXPECT_EQ(s, 1);
    // Large enough to stay just below 2 pi.
    DirectionAndDistance(-1e-9, 1, s, t);
    EXPECT_LT(t, fullCircle);
    EXPECT_NEAR(t, fullCircle - 1e-9, 1e-15);
}

TEST(DirectionAndDistance, DistanceBeyondDoubleRangeIsOverflow) {
    double s = 0, t = 0;
    try {
        DirectionAndDistance(1.5e308, 1.5e308, s, t);
        FAIL() << "no overflow";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommaüberlauf");
    }
    // Just inside the range it works.
    DirectionAndDistance(1e308, -1e308, s, t);
    EXPECT_NEAR(s / 1.4142135623730951e308, 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(t * Rho), 150, 1e-9);
}

TEST(PolarObservation, ToRectangularAndBack) {
    struct Case {
        TPolar b;
        TRechtwinklig p;
    };
    const double h = 10 * std::cos(Pi / 4);  // 10 m at 50 gon
    const std::vector<Case> cases = {
        {{50, 10, 100}, {h, h, 0}},
        {{150, 20, 50}, {-10, 10, 20 * std::cos(static_cast<double>(Pi) / 4)}},
        {{300, 5, 100}, {0, -5, 0}},
        {{0, 13, 100 - std::atan(12.0 / 5) * static_cast<double>(Rho)}, {5, 0, 12}},
    };
    for (const Case& c : cases) {
        const TRechtwinklig p = Rechtwinklig(c.b);
        EXPECT_NEAR(p.X, c.p.X, 1e-12) << c.b.Ri;
        EXPECT_NEAR(p.Y, c.p.Y, 1e-12) << c.b.Ri;
        EXPECT_NEAR(p.Z, c.p.Z, 1e-12) << c.b.Ri;
        const TPolar b = Polar(p);
        EXPECT_NEAR(b.Ri, c.b.Ri, 1e-10) << c.b.Ri;
        EXPECT_NEAR(b.S, c.b.S, 1e-12) << c.b.Ri;
        EXPECT_NEAR(b.Zd, c.b.Zd, 1e-10) << c.b.Ri;
    }
    // Straight above the station there is no zenith distance to be had; at the station not either.
    EXPECT_THROW(Polar({0, 0, 3}), EMathError);
    try {
        Polar({0, 0, 0});
        ADD_FAILURE() << "no fault at the station";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Ungültige Gleitkommaoperation");
    }
}

// The quick reduction by quarter turns gives coordinates bit for bit as the library's sine and
// cosine of the whole angle: on the quarter turns and just beside them, beyond a full circle,
// below zero, with signed zeros and non-finite values, and on a sweep of four-decimal angles.
TEST(PolarObservation, QuickReductionStoresAsTheLibrary) {
    auto bibliothek = [](const TPolar& b) {
        long double sz, cz, st, ct;
        ::sincosl(b.Zd / Rho, &sz, &cz);
        ::sincosl(b.Ri / Rho, &st, &ct);
        const long double x = b.S * ct, y = b.S * st;
        return TRechtwinklig{static_cast<double>(sz * x), static_cast<double>(sz * y), static_cast<double>(cz * b.S)};
    };
    auto gleich = [&](const TPolar& b) {
        const TRechtwinklig a = Rechtwinklig(b), e = bibliothek(b);
        EXPECT_TRUE(std::memcmp(&a, &e, sizeof a) == 0) << b.Ri << " " << b.S << " " << b.Zd;
    };
    const std::vector<double> winkel = {0,   -0.0, 50,  100, 200,          300,           400,    -100,
                                        -0.0001, 1e-30, 2400, 3999.9999, 99.99999999999, 100.00000000001, 199.9999};
    for (const double ri : winkel)
        for (const double zd : winkel) gleich({ri, 12.3456, zd});
    for (const double s : {0.0, -0.0, 1e-300, 1e300}) gleich({123.4567, s, 87.6543});
    for (long long i = 0; i < 100000; ++i)
        gleich({static_cast<double>(i * 7919 % 4000000) / 1e4, 0.5 + static_cast<double>(i % 9973) / 1e3,
                static_cast<double>(i * 104729 % 2000000) / 1e4});
}
