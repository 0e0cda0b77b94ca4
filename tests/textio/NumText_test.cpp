// SPDX-License-Identifier: GPL-3.0-or-later
// Layout of reals and integers in the reports and files, and the reading of field texts.
#include "textio/NumText.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/Fehler.hpp"

using namespace zentrix;

namespace {

struct FormatCase {
    const char* format;
    std::vector<FormatArg> args;
    const char* expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases) {
    for (const auto& c : cases) EXPECT_EQ(FormatText(c.format, c.args), c.expected) << c.format;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Puts the separator back for the following tests.
class SeparatorGuard {
public:
    ~SeparatorGuard() { DecimalSeparator = '.'; }
};

}  // namespace

TEST(FormatText, RoundsHalfAwayFromZeroOnThe18DigitForm) {
    ExpectFormats({
        // 0.0005 lies a little above the half in binary.
        {"%5.3f", {0.0005}, "0.001"},
        // The 18-digit forms of these are exactly ...5: printf would round them down.
        {"%.3f", {0.1245}, "0.125"},
        {"%.3f", {-0.1245}, "-0.125"},
        {"%.3f", {0.0195}, "0.020"},
        {"%.2f", {0.125}, "0.13"},
        {"%.0f", {2.5}, "3"},
        {"%.0f", {-2.5}, "-3"},
        // 1.0005 is 1.00049999999999994 to 18 digits: down, although 17 digits would say 1.0005.
        {"%.3f", {1.0005}, "1.000"},
        // Carry through the nines into a new integer digit.
        {"%.3f", {9.9996}, "10.000"},
        {"%8.3f", {999.9996}, "1000.000"},
        {"%.3f", {0.9996}, "1.000"},
        {"%.3f", {0.0006}, "0.001"},
        {"%.3f", {0.0004}, "0.000"},
        // All 18 digits shown: 0.1 is 0.100000000000000006 to 18 digits.
        {"%.18f", {0.1}, "0.100000000000000006"},
        {"%.1f", {1e-20}, "0.0"},
    });
}

TEST(FormatText, NoMinusSignOnAValueThatRoundsToZero) {
    ExpectFormats({
        {"%12.3f", {-0.0004}, "       0.000"},
        {"%.2f", {-0.0}, "0.00"},
        {"%.0f", {-0.4}, "0"},
        {"%.18f", {-1e-20}, "0.000000000000000000"},
        {"%.3f", {-0.0005}, "-0.001"},
    });
}

TEST(FormatText, FixedLayout) {
    ExpectFormats({
        {"%12.3f", {1234.56789}, "    1234.568"},
        {"%-10.2f|", {1.5}, "1.50      |"},
        {"%3.1f", {12345.67}, "12345.7"},  // never cut
        {"%f", {1.0}, "1.00"},             // no precision: 2 decimals
        {"%.19f", {1.5}, "1.50"},          // above 18: 2 decimals
        {"%.0f", {7.0}, "7"},              // no separator without decimals
        {"%.2f", {999999999999999872.0}, "999999999999999872.00"},
        // From 1e18 on, the general form with 18 significant digits.
        {"%.2f", {1e18}, "1E18"},
        {"%12.3f", {-1.5e20}, "     -1.5E20"},
        {"%.2f", {1234567890123456768.0}, "1.23456789012345677E18"},
        {"%6.2f", {kInf}, "   INF"},
        {"%.2f", {-kInf}, "-INF"},
        {"%.2f", {kNaN}, "NAN"},
        {"%F", {2.25}, "2.25"},
    });
}

TEST(FormatText, IntegersAndTexts) {
    ExpectFormats({
        {"%5d", {42}, "   42"},
        {"%5d", {123456}, "123456"},
        {"P%2d", {3}, "P 3"},
        {"%d", {-2147483647 - 1}, "-2147483648"},
        {"%.3d", {5}, "005"},
        {"%.3d", {-5}, "-005"},
        {"%5.3d", {7}, "  007"},
        {"%-4d|", {7}, "7   |"},
        {"%D", {9}, "9"},
        {"%u", {-1}, "4294967295"},
        {"%x", {255}, "FF"},
        {"%X", {-1}, "FFFFFFFF"},
        {"%4x", {10}, "   A"},
        {"%16s", {"P1"}, "              P1"},
        {"%-4s|", {"ab"}, "ab  |"},
        {"%.2s", {"abcdef"}, "ab"},
        {"%1s", {"abc"}, "abc"},
        {"%6s", {"Höhe"}, "  Höhe"},  // width in characters, not bytes
        {"%.2s", {"Äpfel"}, "Äp"},
        {"%s", {std::string("Punkt")}, "Punkt"},
    });
}

TEST(FormatText, StarIndexAndPercent) {
    ExpectFormats({
        {"%*d", {4, 7}, "   7"},
        {"%-*d|", {4, 7}, "7   |"},
        {"%*d|", {-4, 7}, "7   |"},
        {"%*.*f", {8, 2, 3.14159}, "    3.14"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {"%0:d-%0:d", {5}, "5-5"},
        {"100%%", {}, "100%"},
        {"%d%%", {50}, "50%"},
        {"ohne Werte", {}, "ohne Werte"},
        {"%5d %12.3f %12.3f %12.3f %10.3f", {1, 107.0710678, 107.0710678, 100.0, 0.05},
         "    1      107.071      107.071      100.000      0.050"},
    });
}

TEST(FormatText, MismatchesRaiseFormatError) {
    const std::vector<FormatCase> bad = {
        {"%d", {1.5}, ""},     {"%f", {1}, ""},      {"%s", {2}, ""},      {"%d %d", {1}, ""},
        {"%q", {1}, ""},       {"abc%", {}, ""},     {"%5", {1}, ""},      {"%*d", {"x", 1}, ""},
        {"%.f", {1.0}, ""},    {"%5%", {}, ""},      {"%3:d", {1}, ""},
        // "*" widths beyond the range either way, the most negative integers included
        {"%*d", {std::numeric_limits<long long>::min(), 1}, ""},
        {"%*d", {-2147483647LL - 1, 1}, ""},
        {"%*d", {1000001, 1}, ""},
    };
    for (const auto& c : bad) {
        try {
            FormatText(c.format, c.args);
            ADD_FAILURE() << "no error for " << c.format;
        } catch (const EFormatError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Format '") + c.format + "' ungültig oder nicht kompatibel mit Argument");
        }
    }
}

TEST(FormatText, UsesTheDecimalSeparatorSetting) {
    SeparatorGuard guard;
    DecimalSeparator = ',';
    EXPECT_EQ(FormatText("%.2f", {1.5}), "1,50");
    EXPECT_EQ(RealToText(2.5), "2,5");
    EXPECT_EQ(TextToReal("2,5"), 2.5);
    EXPECT_THROW(TextToReal("2.5"), EConvertError);
}

TEST(RealToText, GeneralForm) {
    const std::vector<std::pair<double, const char*>> cases = {
        {3.642, "3.642"},
        {100.0, "100"},
        {2.0, "2"},
        {0.0, "0"},
        {-0.0, "0"},
        {1e-4, "0.0001"},
        {1.5e-4, "0.00015"},
        {1e-5, "1E-5"},
        {1e15, "1E15"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E15"},  // rounds up into one digit more
        {-2.5e-7, "-2.5E-7"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {-1234.5, "-1234.5"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1e300, "1E300"},
        {-1e-300, "-1E-300"},
        {5e-324, "4.94065645841247E-324"},
        {kInf, "INF"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(RealToText(value), expected) << value;
    EXPECT_EQ(RealToTextDigits(123.456, 4), "123.5");
    EXPECT_EQ(RealToTextDigits(1e18, 18), "1E18");
    // The largest values: rounded up they would read back as an overflow, so their digits are cut.
    for (const double v : {1.797693134862315e308, std::nextafter(1.797693134862315e308, 0.0), 1.7976931348623157e308,
                           -1.7976931348623157e308}) {
        const std::string text = RealToText(v);
        EXPECT_NO_THROW(EXPECT_NEAR(TextToReal(text) / v, 1, 1e-14) << text);
    }
    EXPECT_EQ(RealToText(1.7976931348623157e308), "1.79769313486231E308");
    EXPECT_EQ(RealToText(1.79769313486231e308), "1.79769313486231E308");
    EXPECT_EQ(RealToTextDigits(123456789012345678.0, 18), "123456789012345680");
}

TEST(TextToReal, AcceptsTheFieldRule) {
    const std::vector<std::pair<const char*, double>> cases = {
        {" 2.00 ", 2.0},
        {"2", 2.0},
        {"-2.5", -2.5},
        {"+.5", 0.5},
        {".", 0.0},
        {"5.", 5.0},
        {"5E", 5.0},    // exponent mark without digits: exponent 0
        {"5e+", 5.0},
        {"1e3", 1000.0},
        {"1E-2", 0.01},
        {"   -0   ", 0.0},
        {"0.1", 0.1},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"1e-400", 0.0},  // too small for a double
        {"3.642", 3.642},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(TextToReal(text), expected) << text;
}

TEST(TextToReal, RejectsEverythingElse) {
    const std::vector<std::string> cases = {
        "", "   ", "2,00", "2\t", "\t2", "abc", "+", "-", "E5", "1.2.3", "1 2", "1e+5x", "1'000",
        // The exponent takes no digit once it has reached 500: the rest is left over.
        "1E5000", "1e-5000",
        // Beyond the extended range.
        "1" + std::string(5000, '0'),
    };
    for (const auto& text : cases) {
        try {
            TextToReal(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            // The offending text is quoted with at most 40 characters.
            const std::string zitat = text.size() <= 40 ? text : text.substr(0, 40) + "…";
            EXPECT_EQ(std::string(e.what()), "'" + zitat + "' ist kein gültiger Gleitkommawert");
        }
    }
}

TEST(TextToReal, BeyondADoubleIsOverflow) {
    for (const char* text : {"1e600", "-1e309", "1E0500", "2e4000"}) {
        try {
            TextToReal(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), "Gleitkommaüberlauf") << text;
        }
    }
}

// The exact integer way of fixed notation gives the digits of the two-step rule, halves included.
TEST(FormatText, FixedNotationFastWayAgreesWithTheDigitString) {
    std::mt19937_64 rng(99);
    for (int k = 0; k < 200000; ++k) {
        const int precision = static_cast<int>(rng() % 7);
        double v;
        switch (k % 3) {
            case 0: v = std::ldexp(static_cast<double>(rng() >> 11), -static_cast<int>(rng() % 80)); break;
            // Decimal halves and their neighbours: x.xxx5 written with a few digits.
            case 1: v = static_cast<double>(rng() % 10000000) / 10000 + 0.00005; break;
            default: v = std::nextafter(static_cast<double>(rng() % 100000) / 1000 + 0.0005, k % 2 ? 0.0 : 1e9);
        }
        if (rng() % 2) v = -v;
        ASSERT_EQ(FixedText(v, precision), FixedTextZiffern(v, precision)) << v << " " << precision;
    }
}
