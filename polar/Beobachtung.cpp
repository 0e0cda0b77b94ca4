// Reading an observation line field by field.
//
// An observation line reads "Nr Ri S Zd R rest": point name, horizontal direction (gon), slope
// distance (metres), zenith distance (gon), reflector sphere radius (metres) and any codes or
// remarks. Only the blank (code 32) separates fields; a tab belongs to the field it stands in.

#include "polar/Beobachtung.hpp"

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// A field is at most this long, as is a point name.
constexpr std::size_t MaxTokenLength = 255;
// The second message of a rejected number field is cut to this many characters.
constexpr std::size_t MaxMessageLength = 254;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

void DeleteLeadingBlanks(std::string& line) {
    const std::size_t first = line.find_first_not_of(' ');
    line.erase(0, first == std::string::npos ? line.size() : first);
}

}  // namespace

std::string GetToken(std::string& line, std::size_t capacity) {
    DeleteLeadingBlanks(line);
    const std::size_t blank = line.find(' ');
    std::string token;
    if (blank == std::string::npos) {
        token = std::move(line);
        line.clear();
    } else {
        token = line.substr(0, blank);
        // The remainder loses blanks and control characters at both of its ends.
        std::size_t first = blank;
        std::size_t last = line.size();
        while (first < last && IsBlankOrControl(line[first])) ++first;
        while (last > first && IsBlankOrControl(line[last - 1])) --last;
        line = line.substr(first, last - first);
        if (line.size() > capacity) line.resize(capacity);
    }
    if (token.size() > MaxTokenLength) token.resize(MaxTokenLength);
    return token;
}

double GetReal(std::string& line, std::size_t capacity, const TMeldung& meldung) {
    DeleteLeadingBlanks(line);
    const std::size_t blank = line.find(' ');
    std::string token;
    if (blank == std::string::npos) {
        token = std::move(line);
        line.clear();
    } else {
        token = line.substr(0, blank);
        line.erase(0, blank);
        // Only blanks are removed here, and only in front: a tab at the end stays.
        DeleteLeadingBlanks(line);
        if (line.size() > capacity) line.resize(capacity);
    }
    if (token.size() > MaxTokenLength) token.resize(MaxTokenLength);

    // A decimal comma, as typed on German keyboards, counts as the point; only the first one.
    const std::size_t comma = token.find(',');
    if (comma != std::string::npos) token[comma] = '.';

    try {
        // Observation files always use the point, whatever the regional setting is.
        return TextToReal(token, '.');
    } catch (const EConvertError&) {
        // Not a number: tell the surveyor which field and what follows it; the value counts as 0.
        std::string second = "-> " + line;
        if (second.size() > MaxMessageLength) second.resize(MaxMessageLength);
        if (meldung) {
            meldung("Fehler: " + token + " ist kein gültiger Real Wert.");
            meldung(second);
        }
        return 0;
    }
}

}  // namespace zentrix
