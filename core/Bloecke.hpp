// Work on many items in blocks, two blocks at a time on the machine's two cores, with the results
// handed on in the order of the items. For laying out a million lines of a report or a table:
// each line is independent of the others, but they must come out in order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <future>
#include <utility>

namespace zentrix {

// machen(begin, end) makes the result of the items [begin, end) (on either core); weiter(result)
// takes the results one block after the other, in order (on the calling thread). Small jobs stay
// on one core. An exception of machen reaches the caller once the blocks before it are handed on.
template <class Machen, class Weiter>
void InBloecken(std::size_t anzahl, std::size_t block, Machen machen, Weiter weiter) {
    if (anzahl <= block) {
        if (anzahl > 0) weiter(machen(std::size_t{0}, anzahl));
        return;
    }
    // The other core makes the odd blocks, this one the even ones and hands them all on; the
    // other core's next block is begun before its last one is handed on, so that it never waits
    // for the handing on.
    auto anderer = [&machen, anzahl, block](std::size_t anfang) {
        return std::async(std::launch::async, [&machen, anfang, ende = std::min(anzahl, anfang + block)] {
            return machen(anfang, ende);
        });
    };
    auto zweiter = anderer(block);
    for (std::size_t anfang = 0; anfang < anzahl; anfang += 2 * block) {
        const std::size_t mitte = std::min(anzahl, anfang + block);
        auto erster = machen(anfang, mitte);
        weiter(std::move(erster));
        if (mitte >= anzahl) break;
        auto fertig = zweiter.get();
        if (anfang + 3 * block < anzahl) zweiter = anderer(anfang + 3 * block);
        weiter(std::move(fertig));
    }
}

// machen(begin, end) on the items [0, anzahl): in two halves on both cores when there are more
// than `ab` items, otherwise at once. The first exception in the order of the items is raised.
template <class Machen>
void InHaelften(std::size_t anzahl, std::size_t ab, Machen machen) {
    const std::size_t block = std::max(ab, (anzahl + 1) / 2);
    InBloecken(anzahl, block, [&machen](std::size_t anfang, std::size_t ende) {
        machen(anfang, ende);
        return 0;
    }, [](int) {});
}

}  // namespace zentrix
