// SPDX-License-Identifier: GPL-3.0-or-later
// A PLY file of any content, read by the PLY reader whatever its first line: its points, or a German
// error with its place; never a fault, and never more memory than the file's size allows.
#include <cstdint>

#include "Fuzz.hpp"
#include "core/Fehler.hpp"
#include "scan/BinaerDatei.hpp"
#include "scan/PlyWolke.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string datei = zentrix::fuzz::Datei("wolke.ply", data, size);
    try {
        zentrix::TScanMelder melder;
        const zentrix::TBinaerDatei d(datei);
        zentrix::LesePly(d, melder);
    } catch (const zentrix::EZentrixError&) {
    }
    return 0;
}
