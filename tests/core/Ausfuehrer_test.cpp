// SPDX-License-Identifier: GPL-3.0-or-later
// The executor: blocks on all cores with every item once, the results handed on in order, a fault
// after the blocks before it, parts combined in order, and work started from work.
#include "core/Ausfuehrer.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace zentrix;

TEST(InBloecken, EveryItemOnceInOrderForAnyCountAndBlock) {
    for (const std::size_t anzahl : {0u, 1u, 7u, 8u, 9u, 16u, 17u, 100u, 1001u})
        for (const std::size_t block : {1u, 3u, 8u, 64u}) {
            std::vector<std::size_t> folge;
            InBloecken(anzahl, block, [](std::size_t a, std::size_t e) {
                std::vector<std::size_t> v;
                for (std::size_t i = a; i < e; ++i) v.push_back(i);
                return v;
            }, [&folge](const std::vector<std::size_t>& v) { folge.insert(folge.end(), v.begin(), v.end()); });
            ASSERT_EQ(folge.size(), anzahl) << anzahl << " " << block;
            for (std::size_t i = 0; i < anzahl; ++i) ASSERT_EQ(folge[i], i);
        }
}

TEST(InBloecken, AFaultComesAfterTheBlocksBeforeIt) {
    for (const std::size_t fehler : {0u, 5u, 13u, 29u}) {  // in blocks made on either core
        std::vector<std::size_t> gesehen;
        EXPECT_THROW(InBloecken(40, 4, [fehler](std::size_t a, std::size_t e) {
            if (fehler >= a && fehler < e) throw std::runtime_error("x");
            return a;
        }, [&gesehen](std::size_t a) { gesehen.push_back(a); }), std::runtime_error);
        ASSERT_EQ(gesehen.size(), fehler / 4) << fehler;
    }
}

TEST(InTeilen, PartsInTheOrderOfTheItemsAndWorkStartedFromWork) {
    // One part a core at most, none below `ab` items; every item once, in order.
    for (const std::size_t anzahl : {0u, 1u, 99u, 100u, 101u, 100000u}) {
        const auto teile = InTeilen(anzahl, 100, [](std::size_t a, std::size_t e) { return std::make_pair(a, e); });
        std::size_t weiter = 0;
        for (const auto& [a, e] : teile) {
            EXPECT_EQ(a, weiter);
            weiter = e;
        }
        EXPECT_EQ(weiter, anzahl);
        EXPECT_LE(teile.size(), std::max<std::size_t>(1, TAusfuehrer::Gemeinsam().Kerne()));
        if (anzahl <= 100) {
            EXPECT_LE(teile.size(), 1u);
        }
    }
    // Work that waits for work it started itself: the waiting thread does the work, no deadlock
    // even on a single core.
    TAusfuehrer einer(1);
    auto aussen = einer.Starte([&einer] {
        auto innen = einer.Starte([] { return 20; });
        return einer.Hole(innen) + 1;
    });
    EXPECT_EQ(einer.Hole(aussen), 21);
}

// The computation's long double keeps its 64-bit significand on every worker (Windows starts
// threads rounding to 53 bits).
TEST(InBloecken, EveryWorkerComputesWithTheWholeLongDouble) {
    std::vector<int> genau;
    InBloecken(64, 1, [](std::size_t, std::size_t) {
        volatile long double eins = 1.0L, klein = 0x1p-60L;
        return static_cast<int>(eins + klein != eins);
    }, [&genau](int g) { genau.push_back(g); });
    EXPECT_EQ(genau, std::vector<int>(64, 1));
}
