// Reading an observation line field by field.
//
// An observation line reads "Nr Ri S Zd R rest": point name, horizontal direction (gon), slope
// distance (metres), zenith distance (gon), reflector sphere radius (metres) and any codes or
// remarks. Only the blank (code 32) separates fields; a tab belongs to the field it stands in.
// The fields are taken as views of the line: nothing is copied but a field with a decimal comma.

#include "polar/Beobachtung.hpp"

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace {

// A field is at most this long, as is a point name.
constexpr std::size_t MaxTokenLength = 255;
// The second message of a rejected number field is cut to this many characters.
constexpr std::size_t MaxMessageLength = 254;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

void DeleteLeadingBlanks(std::string_view& line) {
    std::size_t first = 0;
    while (first < line.size() && line[first] == ' ') ++first;
    line.remove_prefix(first);
}

std::string_view Cut(std::string_view text, std::size_t length) { return text.substr(0, length); }

}  // namespace

std::string_view GetToken(std::string_view& line, std::size_t capacity) {
    DeleteLeadingBlanks(line);
    const std::size_t blank = line.find(' ');
    std::string_view token = line;
    if (blank == std::string_view::npos) {
        line = {};
    } else {
        token = line.substr(0, blank);
        // The remainder loses blanks and control characters at both of its ends.
        std::size_t first = blank, last = line.size();
        while (first < last && IsBlankOrControl(line[first])) ++first;
        while (last > first && IsBlankOrControl(line[last - 1])) --last;
        line = Cut(line.substr(first, last - first), capacity);
    }
    return Cut(token, MaxTokenLength);
}

double GetReal(std::string_view& line, std::size_t capacity, const TMeldung& meldung) {
    DeleteLeadingBlanks(line);
    const std::size_t blank = line.find(' ');
    std::string_view token = line;
    if (blank == std::string_view::npos) {
        line = {};
    } else {
        token = line.substr(0, blank);
        line.remove_prefix(blank);
        // Only blanks are removed here, and only in front: a tab at the end stays.
        DeleteLeadingBlanks(line);
        line = Cut(line, capacity);
    }
    token = Cut(token, MaxTokenLength);

    // A decimal comma, as typed on German keyboards, counts as the point; only the first one.
    char kopie[MaxTokenLength];
    if (const std::size_t comma = token.find(','); comma != std::string_view::npos) {
        token.copy(kopie, token.size());
        kopie[comma] = '.';
        token = std::string_view(kopie, token.size());
    }
    // Observation files always use the point, whatever the regional setting is. A number beyond
    // the range of a double is an overflow, as in a field. A field longer than a real may be is
    // no number, as in a coordinate file.
    const TRealScan scan = token.size() <= MaxRealFeld ? ScanReal(token, FeldRegel('.')) : TRealScan{};
    if (scan.Status == TRealStatus::Zahl) return scan.Wert;
    if (scan.Status == TRealStatus::UeberDouble) RaiseOverflow();
    // Not a number: tell the surveyor which field and what follows it; the value counts as 0.
    if (meldung) {
        meldung("Fehler: " + Zitat(token) + " ist kein gültiger Real Wert.");
        meldung(Sichtbar(Cut("-> " + std::string(line), MaxMessageLength)));
    }
    return 0;
}

std::string GetToken(std::string& line, std::size_t capacity) {
    std::string_view rest = line;
    const std::string token(GetToken(rest, capacity));
    line = std::string(rest);
    return token;
}

double GetReal(std::string& line, std::size_t capacity, const TMeldung& meldung) {
    std::string_view rest = line;
    const double value = GetReal(rest, capacity, meldung);
    line = std::string(rest);
    return value;
}

}  // namespace zentrix
