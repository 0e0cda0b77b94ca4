// The polar evaluation of an observation file of any content, in a folder of its own: its two
// outputs, messages, or the German error of an arithmetic fault; never a crash. The first byte
// chooses the solver.
#include <cstdint>
#include <string>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "polar/Polarauswertung.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool iterativ = data[0] & 1;
    const std::string datei = zentrix::fuzz::Datei("messung.dat", data + 1, size - 1);
    zentrix::TPunktArray punkte;
    zentrix::TMemoLines memo;
    std::size_t meldungen = 0;
    try {
        zentrix::Polarauswertung(datei, punkte, memo, [&meldungen](const std::string&) { ++meldungen; }, iterativ);
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
