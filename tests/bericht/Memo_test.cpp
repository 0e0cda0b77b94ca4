// SPDX-License-Identifier: GPL-3.0-or-later
// The report memo over many lines: line starts in blocks, older text moved out to a store, and
// every way of reading it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "bericht/Memo.hpp"

using namespace zentrix;

namespace {

// A store in memory, as the window's temporary file behaves.
class TSpeicher : public IAuslagerung {
public:
    void Anhaengen(std::string_view text) override { text_.append(text); }
    void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const override {
        out.assign(text_, static_cast<std::size_t>(pos), laenge);
    }
    void Leeren() override { text_.clear(); }

private:
    std::string text_;
};

std::string Zeile(std::size_t i) { return "Punkt " + std::to_string(i) + std::string(i % 7, '*'); }

}  // namespace

TEST(Memo, ManyLinesReadBackWhetherInMemoryOrMovedOut) {
    for (const bool auslagern : {false, true}) {
        TMemoLines memo;
        if (auslagern) memo.Auslagern(std::make_shared<TSpeicher>(), 100000);
        constexpr std::size_t n = 200000;  // three blocks of line starts and a part
        std::vector<std::string> erwartet;
        for (std::size_t i = 0; i < n; ++i) {
            erwartet.push_back(Zeile(i));
            if (i % 3 == 0) {
                memo.push_back(erwartet.back());
            } else {
                TMemoLines teil{erwartet.back()};
                memo.Anhaengen(teil);
            }
        }
        ASSERT_EQ(memo.size(), n);
        for (const std::size_t i : {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, std::size_t{131072}, n - 1})
            EXPECT_EQ(memo[i], erwartet[i]) << i << auslagern;
        std::size_t k = 70000;
        memo.ForEach([&](std::string_view z) { EXPECT_EQ(z, erwartet[k++]); }, 70000);
        EXPECT_EQ(k, n);
        EXPECT_TRUE(TMemoLines(memo) == erwartet);
        // Ranges as one text: in memory, in the store, across the boundary, empty and beyond the end.
        for (const auto& [von, bis] : std::vector<std::pair<std::size_t, std::size_t>>{
                 {0, 3}, {199990, n}, {69990, 70010}, {150000, 199995}, {5, 5}, {n - 2, n + 9}}) {
            std::string text;
            for (std::size_t i = von; i < std::min(bis, n); ++i) text += erwartet[i] + "\r\n";
            EXPECT_EQ(memo.Text(von, bis, "\r\n"), text) << von << auslagern;
        }
        memo.Leeren();
        EXPECT_TRUE(memo.empty());
        memo.push_back("neu");
        EXPECT_EQ(memo.size(), 1u);
        EXPECT_EQ(memo.back(), "neu");
    }
}

TEST(Memo, LinesHandedOnAreNotKept) {
    TMemoLines memo{"davor"};
    std::string weiter;
    memo.Weitergeben([&weiter](std::string_view zeilen) { weiter += zeilen; });
    memo.push_back("a");
    memo.Anhaengen(TMemoLines{"b", "c"});
    memo.Anhaengen(TMemoLines{});
    memo.Anhaengen("dee", {1, 2});
    memo.Weitergeben(nullptr);
    memo.push_back("danach");
    EXPECT_EQ(weiter, "a\nb\nc\nd\nee\n");
    EXPECT_TRUE(memo == std::vector<std::string>({"davor", "danach"}));
}
