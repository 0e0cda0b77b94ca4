// SPDX-License-Identifier: GPL-3.0-or-later
// The one executor of the program: a worker for every core but one, and the thread that asks for
// work helping while it waits for it. Every parallel path of the computation, the reading and the
// output goes through it; no other thread is started anywhere (the window's worker for a long
// command aside, which runs a whole command beside the window).
//
// Work is handed on in the order of its items whatever core made it: a report of a million lines
// is laid out on all cores and written in order.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zentrix {

// Below this many items (points, lines) a job stays on one core: handing it out costs more than
// it saves.
constexpr std::size_t AufEinemKern = 1u << 14;
// Lines of a report or a table laid out as one block: half a megabyte of text, so that the
// blocks under way (two for each core) stay small beside a million points.
constexpr std::size_t ZeilenJeBlock = 1u << 13;

class TAusfuehrer {
public:
    // The executor of the process, with as many cores as the machine has.
    static TAusfuehrer& Gemeinsam();

    explicit TAusfuehrer(unsigned kerne);
    ~TAusfuehrer();
    TAusfuehrer(const TAusfuehrer&) = delete;
    TAusfuehrer& operator=(const TAusfuehrer&) = delete;

    unsigned Kerne() const { return kerne_; }

    // Starts f() on some core; the future holds its result or its exception.
    template <class F>
    auto Starte(F f) -> std::future<decltype(f())> {
        using R = decltype(f());
        auto auftrag = std::make_shared<std::packaged_task<R()>>(std::move(f));
        std::future<R> ergebnis = auftrag->get_future();
        Einreihen([auftrag] { (*auftrag)(); });
        return ergebnis;
    }

    // The result of started work; the calling thread does waiting work meanwhile, so that a
    // thread that waits never leaves a core idle.
    template <class R>
    R Hole(std::future<R>& ergebnis) {
        Abwarten(ergebnis);
        return ergebnis.get();
    }
    // Waits for started work to end (helping meanwhile), whatever its result.
    template <class R>
    void Abwarten(const std::future<R>& ergebnis) {
        Warte([&ergebnis] { return ergebnis.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    }

    // Work whose end nobody waits for where it is started, such as removing the old outputs of a
    // swap while the window shows the new ones: on another core, or at once where there is none.
    // Whoever needs it done calls NebenherAbwarten; the executor's end waits for it too.
    void Nebenher(std::function<void()> arbeit);
    // Waits for all of it to end (helping meanwhile).
    void NebenherAbwarten();

private:
    void Einreihen(std::function<void()> aufgabe);
    bool EineAusfuehren();  // one waiting piece of work, on the calling thread
    void Warte(const std::function<bool()>& fertig);
    void Erledigt();  // a piece of work ended: whoever waits looks again
    void Arbeite();

    unsigned kerne_;
    std::mutex mutex_;
    std::condition_variable arbeit_;  // work waiting, or the end
    std::condition_variable erledigt_;  // a piece of work done
    std::deque<std::function<void()>> warteschlange_;
    bool ende_ = false;
    std::vector<std::thread> helfer_;
    std::mutex nebenMutex_;
    std::vector<std::shared_future<void>> nebenher_;
};

// machen(begin, end) makes the result of the items [begin, end) on any core; weiter(result) takes
// the results one block after the other, in order, on the calling thread. Up to two blocks a core
// are made ahead, so that memory stays in proportion to the blocks, not to the items. An exception
// of machen reaches the caller once the blocks before it are handed on.
template <class Machen, class Weiter>
void InBloecken(std::size_t anzahl, std::size_t block, Machen machen, Weiter weiter) {
    if (anzahl == 0) return;
    block = std::max<std::size_t>(block, 1);
    if (anzahl <= block) {
        weiter(machen(std::size_t{0}, anzahl));
        return;
    }
    TAusfuehrer& a = TAusfuehrer::Gemeinsam();
    using R = decltype(machen(std::size_t{0}, std::size_t{0}));
    std::deque<std::future<R>> unterwegs;
    const std::size_t voraus = 2 * a.Kerne();
    std::size_t naechster = 0;
    auto starte = [&] {
        const std::size_t ende = std::min(anzahl, naechster + block);
        unterwegs.push_back(a.Starte([&machen, anfang = naechster, ende] { return machen(anfang, ende); }));
        naechster = ende;
    };
    try {
        while (naechster < anzahl && unterwegs.size() < voraus) starte();
        while (!unterwegs.empty()) {
            R fertig = a.Hole(unterwegs.front());
            unterwegs.pop_front();
            if (naechster < anzahl) starte();
            weiter(std::move(fertig));
        }
    } catch (...) {
        // The blocks under way use machen: they end before it goes out of scope.
        for (auto& f : unterwegs)
            if (f.valid()) a.Abwarten(f);
        throw;
    }
}

// The size of the parts of anzahl items: one part a core, none smaller than `ab` items.
inline std::size_t TeilGroesse(std::size_t anzahl, std::size_t ab) {
    const std::size_t kerne = TAusfuehrer::Gemeinsam().Kerne();
    return std::max<std::size_t>({ab, (anzahl + kerne - 1) / kerne, 1});
}

// machen(begin, end) -> R for the items [0, anzahl) in parts (TeilGroesse); the parts' results in
// the order of the items, to be combined by the caller. The first exception in the order of the
// items is raised.
template <class Machen>
auto InTeilen(std::size_t anzahl, std::size_t ab, Machen machen) {
    using R = decltype(machen(std::size_t{0}, std::size_t{0}));
    std::vector<R> teile;
    InBloecken(anzahl, TeilGroesse(anzahl, ab), machen, [&teile](R r) { teile.push_back(std::move(r)); });
    return teile;
}

// machen(begin, end) on the items [0, anzahl) in parts (TeilGroesse), on all cores. The first
// exception in the order of the items is raised.
template <class Machen>
void AufAllenKernen(std::size_t anzahl, std::size_t ab, Machen machen) {
    InBloecken(anzahl, TeilGroesse(anzahl, ab), [&machen](std::size_t anfang, std::size_t ende) {
        machen(anfang, ende);
        return 0;
    }, [](int) {});
}

}  // namespace zentrix
