// The German error texts and the error box text.
#include "core/Fehler.hpp"

#include <algorithm>

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
        case ea::DateiVerkuerzt: return "Die Datei wurde während des Lesens gekürzt";
        default:
            if (code > SystemFehlerBasis) return SystemReasonText(code - SystemFehlerBasis);
            return "E/A-Fehler " + std::to_string(code);
    }
}

void RaiseZeroDivide() { throw EMathError("Gleitkommadivision durch Null"); }
void RaiseInvalidOp() { throw EMathError("Ungültige Gleitkommaoperation"); }
void RaiseOverflow() { throw EMathError("Gleitkommaüberlauf"); }
void RaiseRangeError() { throw ERangeError("Fehler bei Bereichsprüfung"); }

namespace {

bool Steuerzeichen(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b < 32 && c != '\t') || b == 127;
}

void Anhaengen(std::string& out, char c) {
    if (!Steuerzeichen(c)) {
        out += c;
        return;
    }
    constexpr char hex[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(c);
    out += "\\x";
    out += hex[b >> 4];
    out += hex[b & 15];
}

}  // namespace

std::string Zitat(std::string_view text) {
    std::string zitat;
    std::size_t zeichen = 0;
    for (const char c : text) {
        // A character begins at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && zeichen++ == ZitatZeichen) return zitat + "…";
        Anhaengen(zitat, c);
    }
    return zitat;
}

std::string Sichtbar(std::string_view text) {
    if (std::none_of(text.begin(), text.end(), Steuerzeichen)) return std::string(text);
    std::string out;
    for (const char c : text) Anhaengen(out, c);
    return out;
}

std::string ErrorBoxText(const std::string& message) {
    // Compared as a byte: the last byte of a UTF-8 umlaut is above '.' and gets its period.
    if (!message.empty() && static_cast<unsigned char>(message.back()) <= '.') return message;
    std::string text = message;
    text += '.';
    return text;
}

}  // namespace zentrix
