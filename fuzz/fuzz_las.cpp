// SPDX-License-Identifier: GPL-3.0-or-later
// A LAS file of any content, read by the LAS reader: its points, or a German error naming the byte
// and the header field; never a fault, and never more memory than the file's size allows.
#include <cstdint>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "scan/BinaerDatei.hpp"
#include "scan/LasWolke.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string datei = zentrix::fuzz::Datei("wolke.las", data, size);
    try {
        zentrix::TScanMelder melder;
        const zentrix::TBinaerDatei d(datei);
        zentrix::LeseLas(d, melder);
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
