// SPDX-License-Identifier: GPL-3.0-or-later
// A text cloud of any content: its points, or the German error of the first line that is none, with
// its line, field and text; never a fault.
#include <cstdint>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "scan/TextWolke.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string datei = zentrix::fuzz::Datei("wolke.txt", data, size);
    try {
        zentrix::TScanMelder melder;
        zentrix::LeseTextwolke(datei, melder);
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
