// SPDX-License-Identifier: GPL-3.0-or-later
// Format strings with random values: a text, or the format error; never a fault. Fixed notation
// agrees with the digit-string way, and any finite value's general form reads back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zentrix::DecimalSeparator = '.';
    FuzzedDataProvider fdp(data, size);
    const std::string format = fdp.ConsumeRandomLengthString(64);
    std::vector<std::string> texte;  // the text values must outlive the call
    std::vector<zentrix::FormatArg> args;
    const int anzahl = fdp.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < anzahl; ++i) {
        switch (fdp.ConsumeIntegralInRange(0, 2)) {
            case 0: args.emplace_back(fdp.ConsumeIntegral<long long>()); break;
            case 1: args.emplace_back(fdp.ConsumeFloatingPoint<double>()); break;
            default: texte.push_back(fdp.ConsumeRandomLengthString(32)); break;
        }
    }
    for (const std::string& t : texte) args.emplace_back(std::string_view(t));
    try {
        zentrix::FormatText(format, args);
    } catch (const zentrix::EFormatError&) {
    }

    const double v = fdp.ConsumeFloatingPoint<double>();
    const int stellen = fdp.ConsumeIntegralInRange(0, 18);
    if (zentrix::FixedText(v, stellen) != zentrix::FixedTextZiffern(v, stellen)) std::abort();
    if (std::isfinite(v)) {
        try {
            const double zurueck = zentrix::TextToReal(zentrix::RealToText(v));
            if (std::fabs(zurueck - v) > std::fabs(v) * 1e-14) std::abort();
        } catch (const zentrix::EZentrixError&) {
            std::abort();  // the text written for a finite value must read back
        }
    }
    return 0;
}
