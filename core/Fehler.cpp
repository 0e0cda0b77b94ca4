// The German error texts and the error box text.
#include "core/Fehler.hpp"

#include "core/SystemFehler.hpp"

namespace zentrix {

EInOutError::EInOutError(int code) : EZentrixError(IOErrorText(code)), Code(code) {}

std::string IOErrorText(int code) {
    switch (code) {
        case ea::NichtGefunden: return "Datei nicht gefunden";
        case ea::UngueltigerName: return "Ungültiger Dateiname";
        case ea::ZuVieleDateien: return "Zu viele geöffnete Dateien";
        case ea::ZugriffVerweigert: return "Dateizugriff verweigert";
        case ea::HinterDateiende: return "Versuch hinter dem Dateiende zu lesen";
        case ea::ZuWenigPlatz: return "Zu wenig Speicherplatz";
        case ea::UngueltigeZahl: return "Ungültige numerische Eingabe";
        case ea::KeineGewoehnlicheDatei: return "Keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket)";
        case ea::KeineTextdatei: return "Keine Textdatei (UTF-16, UTF-32 oder Nullbytes)";
        default:
            if (code > SystemFehlerBasis) return SystemReasonText(code - SystemFehlerBasis);
            return "E/A-Fehler " + std::to_string(code);
    }
}

void RaiseZeroDivide() { throw EMathError("Gleitkommadivision durch Null"); }
void RaiseInvalidOp() { throw EMathError("Ungültige Gleitkommaoperation"); }
void RaiseOverflow() { throw EMathError("Gleitkommaüberlauf"); }
void RaiseRangeError() { throw ERangeError("Fehler bei Bereichsprüfung"); }

std::string Zitat(std::string_view text) {
    std::size_t zeichen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character begins at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (zeichen++ == ZitatZeichen) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

std::string ErrorBoxText(const std::string& message) {
    // Compared as a byte: the last byte of a UTF-8 umlaut is above '.' and gets its period.
    if (!message.empty() && static_cast<unsigned char>(message.back()) <= '.') return message;
    std::string text = message;
    text += '.';
    return text;
}

}  // namespace zentrix
