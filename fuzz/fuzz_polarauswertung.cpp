// SPDX-License-Identifier: GPL-3.0-or-later
// The polar evaluation of an observation file of any content: the marked lines, the report and
// the messages, or the German error of an arithmetic fault; never a crash. The first byte chooses
// the solver and the way in: one input in sixteen is written to a file of a folder of its own and
// evaluated with both outputs written beside it, the others go through the same scan and
// evaluation of the text in memory (the file's way costs some twenty system calls a run, which the
// content does not change).
#include <cstdint>
#include <string>
#include <string_view>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "polar/Kugelsuche.hpp"
#include "polar/Polarauswertung.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool datei = (data[0] >> 4) == 0;
    const bool iterativ = (data[0] & 7) == 1;
    zentrix::TMemoLines memo;
    std::size_t meldungen = 0;
    const zentrix::TMeldungMitOrt meldung = [&meldungen](const std::string&, const zentrix::TOrt&) { ++meldungen; };
    try {
        if (datei) {
            zentrix::Polarauswertung(zentrix::fuzz::Datei("messung.dat", data + 1, size - 1), memo, meldung, iterativ);
        } else {
            const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
            std::size_t laenge = 0;
            const auto zaehle = [&laenge](std::string_view z) { laenge += z.size(); };
            zentrix::SucheKugeln(text, memo, meldung, iterativ, {zaehle, zaehle});
        }
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
