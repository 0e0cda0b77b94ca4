// SPDX-License-Identifier: GPL-3.0-or-later
// Field texts as reals, and the process-wide decimal separator.
#include <clocale>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

char DecimalSeparator = '.';

void LoadFormatSettingsFromLocale() {
    const std::lconv* conv = std::localeconv();
    DecimalSeparator = '.';
    if (conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0')
        DecimalSeparator = conv->decimal_point[0];
}

double TextToReal(std::string_view text) { return TextToReal(text, DecimalSeparator); }

double TextToReal(std::string_view text, char separator) {
    const TRealScan scan = ScanReal(text, FeldRegel(separator));
    switch (scan.Status) {
        case TRealStatus::Zahl: return scan.Wert;
        case TRealStatus::UeberDouble: RaiseOverflow();  // an extended number stored as a double
        case TRealStatus::KeineZahl:
        case TRealStatus::UeberExtended: break;
    }
    std::string message = "'";
    message += Zitat(text);
    message += "' ist kein gültiger Gleitkommawert";
    throw EConvertError(message);
}

}  // namespace zentrix
