// SPDX-License-Identifier: GPL-3.0-or-later
// The number scanner: the fast parser gives the value the rule demands, the digit string scaled
// by its power of ten and correctly rounded.
#include "textio/ZahlScanner.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

using namespace zentrix;

TEST(ScanReal, TokensReadAsTheDigitsScaledAndCorrectlyRounded) {
    std::mt19937 rng(17);
    auto ziffern = [&rng](int anzahl) {
        std::string s;
        for (int i = 0; i < anzahl; ++i) s += static_cast<char>('0' + rng() % 10);
        return s;
    };
    for (int k = 0; k < 20000; ++k) {
        const std::string ganz = ziffern(static_cast<int>(rng() % 12)), bruch = ziffern(static_cast<int>(rng() % 14));
        std::string text = (rng() % 3 == 0 ? "-" : rng() % 2 ? "+" : "") + ganz;
        if (!bruch.empty() || ganz.empty()) text += "." + bruch;
        // Half of them in the range of exact powers of ten (the short way), half far beyond it.
        const int e = k % 2 ? static_cast<int>(rng() % 50) - 25 : static_cast<int>(rng() % 700) - 350;
        if (rng() % 2) {
            text += rng() % 2 ? 'E' : 'e';
            text += std::to_string(e);
        }
        // The reference: digits and a power of ten only, through the C library.
        std::string normal = (text[0] == '-' ? "-" : "") + ganz + bruch + "e" +
                             std::to_string((text.find_first_of("Ee") != std::string::npos ? e : 0) -
                                            static_cast<int>(bruch.size()));
        const double erwartet = std::strtod(normal.c_str(), nullptr);
        const TRealScan scan = ScanReal(text, TokenRegel());
        if (std::isinf(erwartet)) {
            EXPECT_EQ(scan.Status, TRealStatus::UeberDouble) << text;
        } else {
            ASSERT_EQ(scan.Status, TRealStatus::Zahl) << text;
            EXPECT_EQ(scan.Wert, erwartet == 0 ? 0.0 : erwartet) << text;
            EXPECT_FALSE(std::signbit(scan.Wert) && scan.Wert == 0) << text;  // no negative zero
        }
    }
}
