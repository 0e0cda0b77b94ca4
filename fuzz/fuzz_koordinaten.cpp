// SPDX-License-Identifier: GPL-3.0-or-later
// A coordinate file of any content in each data format (the first byte chooses it), read by the
// window model's reader: records, or the German I/O error of the first field that is no number;
// never a fault.
#include <cstdint>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "window/Koordinatendatei.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int format = data[0] % 8;
    const std::string datei = zentrix::fuzz::Datei("punkte.kor", data + 1, size - 1);
    try {
        zentrix::TKoordinatenLeser leser(datei, format);
        zentrix::TPunktArray punkte(1);
        leser.Lies(punkte);
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
