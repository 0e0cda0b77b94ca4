// A point's name in eight bytes: short names in place, longer ones on the heap, both read back as
// they were written and copied, moved and compared like strings.
#include "numerics/Name.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

using namespace zentrix;

TEST(Name, KeepsEveryTextAndBehavesLikeAString) {
    static_assert(sizeof(TName) == 8);
    for (const std::string& text : std::initializer_list<std::string>{"", "7", "1000000", "K12", "abcdefg", "abcdefgh", "Kugel 17 am Pfeiler", std::string(255, 'x'),
                                   std::string("a\0b", 3), "Mauer-ß"}) {
        TName n(text);
        EXPECT_EQ(n.view(), text);
        EXPECT_EQ(n.empty(), text.empty());
        TName kopie = n;
        EXPECT_EQ(kopie, n);
        TName bewegt = std::move(kopie);
        EXPECT_EQ(bewegt.view(), text);
        EXPECT_TRUE(kopie.empty());
        bewegt = "anders als vorher";
        EXPECT_EQ(bewegt, "anders als vorher");
        bewegt = n;
        EXPECT_EQ(bewegt.str(), text);
        EXPECT_EQ("P " + n, "P " + text);
    }
    EXPECT_LT(TName("K1"), TName("K10"));
    EXPECT_LT(TName("K10"), TName("K2"));
}
