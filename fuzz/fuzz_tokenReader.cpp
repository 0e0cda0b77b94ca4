// SPDX-License-Identifier: GPL-3.0-or-later
// The token reader on any text: the first bytes choose a sequence of reads (integer, unsigned and
// real tokens, line skipping, the end of the text, the pending error), the rest is the text. Every
// read gives a value or sets the pending error; nothing reads outside the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Fehler.hpp"
#include "textio/TextFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t schritte = size < 16 ? size : 16;
    // A copy of its own, so that a read past the end is seen by the address checker.
    const std::string text(reinterpret_cast<const char*>(data) + schritte, size - schritte);
    zentrix::TTextReader leser;
    leser.OpenView(text);
    for (std::size_t k = 0; k < 64; ++k) {
        try {
            switch (data[k % (schritte == 0 ? 1 : schritte)] % 7) {
                case 0: leser.ReadIntegerToken(); break;
                case 1: leser.ReadUnsignedToken(); break;
                case 2: leser.ReadRealToken(); break;
                case 3: leser.SkipLine(); break;
                case 4: leser.AtEndOfText(); break;
                case 5: leser.IOResult(); break;
                default: leser.CheckIO(); break;
            }
        } catch (const zentrix::EZentrixError&) {
        }
        if (leser.Position() > text.size()) std::abort();
    }
    return 0;
}
