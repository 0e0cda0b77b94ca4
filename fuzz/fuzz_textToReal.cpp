// SPDX-License-Identifier: GPL-3.0-or-later
// The field text to real: any text is a number or one of the program's German errors, never a
// fault. A number read back from the text written for it is the same within its fifteen digits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zentrix::DecimalSeparator = '.';
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {'.', ','}) {
        try {
            const double v = zentrix::TextToReal(text, separator);
            if (!std::isfinite(v)) std::abort();
            const double zurueck = zentrix::TextToReal(zentrix::RealToText(v));
            if (std::fabs(zurueck - v) > std::fabs(v) * 1e-14) std::abort();
        } catch (const zentrix::EZentrixError&) {
        }
    }
    return 0;
}
