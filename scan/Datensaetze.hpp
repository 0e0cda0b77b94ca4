// SPDX-License-Identifier: GPL-3.0-or-later
// Records of one fixed size read on all cores: a block of records at a time from its offset in
// the file, each record decoded into a point. PLY's vertices without lists and LAS's points.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "scan/BinaerDatei.hpp"
#include "scan/Steuerung.hpp"
#include "scan/WolkenFehler.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

// Bytes read as one block: some ten thousand records, a few blocks a core under way. Below the size
// from which a buffer comes straight from the system (core/Speicher.hpp), so that each core's buffer
// is taken again for its next block instead of being faulted in afresh.
constexpr std::size_t DatensatzBlock = 1u << 20;

// Reads anzahl records of groesse bytes from offset anfang into wolke (which holds room for
// anzahl points). dekodiere(const unsigned char* satz, TWolkenpunkt& p) returns false for a record
// without a valid point, which is passed over and counted in wolke.Ungueltig. The file must hold
// every record (the caller has checked its size).
template <class Dekodiere>
void LiesDatensaetze(const TBinaerDatei& datei, std::uint64_t anfang, std::uint64_t anzahl, std::size_t groesse,
                     Dekodiere dekodiere, TWolke& wolke, TScanMelder& melder) {
    const std::size_t jeBlock = std::max<std::size_t>(1, DatensatzBlock / groesse);
    std::size_t n = 0;
    InBloecken(
        static_cast<std::size_t>(anzahl), jeBlock,
        [&](std::size_t von, std::size_t bis) {
            melder.Pruefe();
            thread_local std::vector<unsigned char> puffer;
            puffer.resize((bis - von) * groesse);
            const std::uint64_t pos = anfang + static_cast<std::uint64_t>(von) * groesse;
            if (datei.Lies(pos, puffer.data(), puffer.size()) != puffer.size())
                WolkenFehlerByte("Die Datei ist während des Lesens kürzer geworden", datei.Pfad(),
                                 static_cast<long long>(pos), "Punkte");
            std::size_t k = von;
            for (std::size_t i = 0; i < bis - von; ++i)
                if (dekodiere(puffer.data() + i * groesse, wolke[k])) ++k;
            return std::pair<std::size_t, std::size_t>(von, k - von);
        },
        [&](std::pair<std::size_t, std::size_t> block) {
            // Points of records passed over are closed up, in order.
            if (n != block.first)
                std::memmove(wolke.data() + n, wolke.data() + block.first, block.second * sizeof(TWolkenpunkt));
            n += block.second;
            melder.Melde(static_cast<double>(block.first + jeBlock) / static_cast<double>(anzahl));
        });
    wolke.Ungueltig += static_cast<std::size_t>(anzahl) - n;
    wolke.Kuerzen(n);
}

}  // namespace zentrix
