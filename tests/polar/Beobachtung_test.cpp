// Field reading of observation lines: blank-separated fields, decimal comma, bad fields.

#include "polar/Beobachtung.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {
namespace {

class BeobachtungTest : public ::testing::Test {
protected:
    void SetUp() override { DecimalSeparator = '.'; }
    std::vector<std::string> messages;
    TMeldung meldung = [this](const std::string& text) { messages.push_back(text); };
};

struct TokenCase {
    const char* line;
    const char* token;
    const char* rest;
};

TEST_F(BeobachtungTest, GetTokenSplitsAtBlanksOnlyAndTrimsTheRemainder) {
    const TokenCase cases[] = {
        {"", "", ""},
        {"     ", "", ""},
        {"K1 ", "K1", ""},
        {"K1", "K1", ""},
        {"  K1   12.5  7", "K1", "12.5  7"},
        {"K1\t12.5 7", "K1\t12.5", "7"},      // the tab is part of the field
        {"K1 12.5\t", "K1", "12.5"},          // trailing tab trimmed from the remainder
        {"K1 \t\x01 12.5 \r", "K1", "12.5"},  // control characters go at both ends of the remainder
        {"*K1 50 10", "*K1", "50 10"},
        {"K\xe4 1", "K\xe4", "1"},            // a byte above 127 is no control character
        {"K1 1 \xe4", "K1", "1 \xe4"},
    };
    for (const auto& c : cases) {
        std::string line = c.line;
        EXPECT_EQ(GetToken(line, 255), c.token) << "line: [" << c.line << "]";
        EXPECT_EQ(line, c.rest) << "line: [" << c.line << "]";
    }
}

TEST_F(BeobachtungTest, GetTokenKeepsTheRemainderWithinTheCapacity) {
    std::string line = "K1 " + std::string(300, '7');
    EXPECT_EQ(GetToken(line, 255), "K1");
    EXPECT_EQ(line, std::string(255, '7'));
}

TEST_F(BeobachtungTest, FiveTokensLeaveTheCodesOfALine) {
    std::string line = "*K1 50.0 10.000 99.5 0.0725 CODE7  Mauer\t";
    for (int i = 0; i < 5; ++i) GetToken(line, 255);
    EXPECT_EQ(line, "CODE7  Mauer");
}

struct RealCase {
    const char* line;
    double value;
    const char* rest;
};

TEST_F(BeobachtungTest, GetRealReadsPointAndFirstCommaAndLeavesTheRest) {
    const RealCase cases[] = {
        {"  12.5   7", 12.5, "7"},
        {"1,5 2", 1.5, "2"},
        {"-0,0725", -0.0725, ""},
        {"399.9999 10", 399.9999, "10"},
        {"1e2 x", 100, "x"},
        {"7 8\t", 7, "8\t"},    // only leading blanks leave the remainder
        {"7  \t8 ", 7, "\t8 "},
    };
    for (const auto& c : cases) {
        std::string line = c.line;
        EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), c.value) << "line: [" << c.line << "]";
        EXPECT_EQ(line, c.rest) << "line: [" << c.line << "]";
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(BeobachtungTest, GetRealReadsThePointEvenWhileTheSettingIsAComma) {
    DecimalSeparator = ',';
    std::string line = "1,5 2.25";
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 1.5);
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 2.25);
    EXPECT_EQ(DecimalSeparator, ',');
    EXPECT_TRUE(messages.empty());
}

struct BadCase {
    const char* line;
    const char* first;
    const char* second;
    const char* rest;
};

TEST_F(BeobachtungTest, GetRealShowsTwoMessagesAndGivesZeroForABadField) {
    const BadCase cases[] = {
        {"12,5,7", "Fehler: 12.5,7 ist kein gültiger Real Wert.", "-> ", ""},
        {"", "Fehler:  ist kein gültiger Real Wert.", "-> ", ""},
        {"   ", "Fehler:  ist kein gültiger Real Wert.", "-> ", ""},
        {"abc  12.5 CODE", "Fehler: abc ist kein gültiger Real Wert.", "-> 12.5 CODE", "12.5 CODE"},
        {"0.07\t5 x", "Fehler: 0.07\t5 ist kein gültiger Real Wert.", "-> x", "x"},
        {"1.5.2 y", "Fehler: 1.5.2 ist kein gültiger Real Wert.", "-> y", "y"},
        // Control characters but the tab are shown, not echoed; the line keeps them.
        {"1\x1b" "2 a\x7f\x01", "Fehler: 1\\x1B2 ist kein gültiger Real Wert.", "-> a\\x7F\\x01", "a\x7f\x01"},
        // Longer than a real field may be: no number, and quoted with its first 40 characters.
        {"10.468000000000000000000000000000000000000000000000000000000000000 R",
         "Fehler: 10.4680000000000000000000000000000000000… ist kein gültiger Real Wert.", "-> R", "R"},
    };
    for (const auto& c : cases) {
        messages.clear();
        std::string line = c.line;
        EXPECT_EQ(GetReal(line, 255, meldung), 0.0) << "line: [" << c.line << "]";
        EXPECT_EQ(line, c.rest) << "line: [" << c.line << "]";
        ASSERT_EQ(messages.size(), 2u) << "line: [" << c.line << "]";
        EXPECT_EQ(messages[0], c.first);
        EXPECT_EQ(messages[1], c.second);
    }
}

TEST_F(BeobachtungTest, SecondMessageIsCutTo254Characters) {
    std::string line = "x " + std::string(253, 'a');
    EXPECT_EQ(GetReal(line, 255, meldung), 0.0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "-> " + std::string(251, 'a'));
}

TEST_F(BeobachtungTest, OverflowIsNoBadFieldButAnError) {
    std::string line = "1e999 2";
    EXPECT_THROW(GetReal(line, 255, meldung), EMathError);
    EXPECT_TRUE(messages.empty());
}

TEST_F(BeobachtungTest, ReadsAnObservationLineFieldByField) {
    std::string line = "K1 50,1234 10.000  99.5 0.0725 CODE7";
    EXPECT_EQ(GetToken(line, 255), "K1");
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 50.1234);
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 10.0);
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 99.5);
    EXPECT_DOUBLE_EQ(GetReal(line, 255, meldung), 0.0725);
    EXPECT_EQ(line, "CODE7");
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace zentrix
