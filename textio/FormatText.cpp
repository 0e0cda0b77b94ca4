// SPDX-License-Identifier: GPL-3.0-or-later
// Format strings: "%[index:][-][width][.precision]letter" directives, each replaced by the text of
// one value, padded to its width.
#include <charconv>
#include <cstring>
#include <array>
#include <limits>
#include <string>
#include <vector>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// Widths and precisions beyond this are a bad format (no text of the program comes near it).
constexpr long long kLimit = 1000000;

// One conversion directive. Width and precision are -1 where none is given.
struct TDirektive {
    bool links = false;
    long long breite = -1;
    long long genauigkeit = -1;
    char art = 0;  // the conversion letter in lower case
};

[[noreturn]] void BadFormat(std::string_view format) {
    std::string message = "Format '";
    message.append(format);
    message += "' ungültig oder nicht kompatibel mit Argument";
    throw EFormatError(message);
}

// Reads the directives of one format string, taking "*" widths, "*" precisions and the values
// from the argument list in turn.
class TDirektivenLeser {
public:
    TDirektivenLeser(std::string_view format, std::span<const FormatArg> args) : format_(format), args_(args) {}

    // Reads the directive that follows a "%" at pos_ (behind the "%").
    TDirektive Lies(std::size_t& pos);
    // An index was given: the values the directives take are then not simply the next ones.
    bool MitIndex() const { return mitIndex_; }
    // The value for the directive just read.
    const FormatArg& NaechsterWert() {
        if (next_ >= args_.size()) BadFormat(format_);
        return args_[next_++];
    }

private:
    long long StarValue() {
        const auto* v = std::get_if<long long>(&NaechsterWert().Value());
        if (v == nullptr) BadFormat(format_);
        return *v;
    }
    // A decimal number, or "*" (star is then true); -1 when neither is there.
    long long Number(std::size_t& i, bool& star) {
        star = i < format_.size() && format_[i] == '*';
        if (star) {
            ++i;
            return 0;
        }
        if (i >= format_.size() || format_[i] < '0' || format_[i] > '9') return -1;
        long long v = 0;
        for (; i < format_.size() && format_[i] >= '0' && format_[i] <= '9'; ++i) {
            v = v * 10 + (format_[i] - '0');
            if (v > kLimit) BadFormat(format_);
        }
        return v;
    }

    std::string_view format_;
    std::span<const FormatArg> args_;
    std::size_t next_ = 0;  // index of the next value
    bool mitIndex_ = false;
};

TDirektive TDirektivenLeser::Lies(std::size_t& i) {
    TDirektive d;
    bool star = false;
    long long first = Number(i, star);
    if (i < format_.size() && format_[i] == ':') {
        // Argument index; the conversions after it continue with the following values.
        const long long index = star ? StarValue() : first;
        if (index < 0) BadFormat(format_);
        next_ = static_cast<std::size_t>(index);
        mitIndex_ = true;
        ++i;
        first = -1;
        star = false;
    }
    if (first < 0 && !star) {
        if (i < format_.size() && format_[i] == '-') {
            d.links = true;
            ++i;
        }
        first = Number(i, star);
    }
    d.breite = first;
    if (star) {
        d.breite = StarValue();
        // Out of range either way is a bad format (tested before the sign is turned: the most
        // negative integer has no positive counterpart).
        if (d.breite > kLimit || d.breite < -kLimit) BadFormat(format_);
        if (d.breite < 0) {  // a negative "*" width left-aligns
            d.links = true;
            d.breite = -d.breite;
        }
    }
    if (i < format_.size() && format_[i] == '.') {
        ++i;
        bool pstar = false;
        d.genauigkeit = Number(i, pstar);
        if (pstar) {
            d.genauigkeit = StarValue();
            if (d.genauigkeit > kLimit) BadFormat(format_);
        } else if (d.genauigkeit < 0) {
            BadFormat(format_);
        }
    }
    if (i >= format_.size()) BadFormat(format_);
    d.art = format_[i++];
    if (d.art >= 'A' && d.art <= 'Z') d.art = static_cast<char>(d.art - 'A' + 'a');
    return d;
}

// Widths and text precisions count characters, not bytes: an umlaut of a UTF-8 text is one
// character, as it is on the screen and in the files' column layout.
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

long long CharCount(std::string_view text) {
    long long count = 0;
    for (char c : text)
        if (!IsContinuation(c)) ++count;
    return count;
}

// The first `maxChars` characters of text.
std::string_view CutChars(std::string_view text, long long maxChars) {
    long long count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i])) continue;
        if (count == maxChars) return text.substr(0, i);
        ++count;
    }
    return text;
}

// The unsigned reading of an integer value: a negative value of the 32-bit range gives its
// 32-bit complement (as the integers of the program are 32 bits), any other its 64-bit one.
unsigned long long UnsignedOf(long long v) {
    if (v < 0 && v >= std::numeric_limits<std::int32_t>::min())
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    return static_cast<unsigned long long>(v);
}

// "d", "u" and "x": the digits with at least `precision` of them; "d" with "-" in front of a
// negative value, "x" in upper-case hexadecimal digits.
void AppendInteger(std::string& out, long long v, char art, long long precision) {
    const unsigned long long magnitude = art != 'd' ? UnsignedOf(v)
                                         : v < 0    ? 0ULL - static_cast<unsigned long long>(v)
                                                    : static_cast<unsigned long long>(v);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, art == 'x' ? 16 : 10);
    for (char* h = buf; h < res.ptr; ++h)
        if (*h >= 'a' && *h <= 'f') *h = static_cast<char>(*h - 'a' + 'A');
    const auto digits = static_cast<long long>(res.ptr - buf);
    if (art == 'd' && v < 0) out += '-';
    if (precision > digits) out.append(static_cast<std::size_t>(precision - digits), '0');
    out.append(buf, res.ptr);
}

// Blanks that fill a text of `zeichen` characters to the directive's width.
std::size_t Fuellung(const TDirektive& d, long long zeichen) {
    return d.breite > zeichen ? static_cast<std::size_t>(d.breite - zeichen) : 0;
}

// Appends the text of one value by its directive, padded to its width: blanks in front of it
// (right-aligned) or behind it.
void AppendValue(std::string& out, const TDirektive& d, const FormatArg& arg, std::string_view format) {
    const auto& value = arg.Value();
    std::string_view text;
    char buf[32];
    switch (d.art) {
        case 'd':
        case 'u':
        case 'x':
            if (const auto* v = std::get_if<long long>(&value)) {
                std::string zahl;
                AppendInteger(zahl, *v, d.art, d.genauigkeit);
                std::size_t n = zahl.size();
                if (n <= sizeof buf) {
                    std::memcpy(buf, zahl.data(), n);
                    text = std::string_view(buf, n);
                    break;
                }
                if (!d.links) out.append(Fuellung(d, static_cast<long long>(n)), ' ');
                out += zahl;
                if (d.links) out.append(Fuellung(d, static_cast<long long>(n)), ' ');
                return;
            }
            BadFormat(format);
        case 'f':
            // No precision, or one above 18, means 2 decimals. The text is ASCII: a byte a character.
            if (const auto* v = std::get_if<double>(&value)) {
                const int p = (d.genauigkeit < 0 || d.genauigkeit > 18) ? 2 : static_cast<int>(d.genauigkeit);
                const std::size_t anfang = out.size();
                AppendFixedText(out, *v, p, d.links ? 0 : static_cast<int>(d.breite));
                if (d.links) out.append(Fuellung(d, static_cast<long long>(out.size() - anfang)), ' ');
                return;
            }
            BadFormat(format);
        case 's':
            if (const auto* v = std::get_if<std::string_view>(&value)) {
                text = d.genauigkeit >= 0 ? CutChars(*v, d.genauigkeit) : *v;
                break;
            }
            BadFormat(format);
        default: BadFormat(format);
    }
    const std::size_t fill = Fuellung(d, CharCount(text));
    if (!d.links) out.append(fill, ' ');
    out.append(text);
    if (d.links) out.append(fill, ' ');
}

// A format read once: its literal pieces and directives in order, for formats whose directives
// take neither a "*" nor an index (the reading then does not depend on the values). A report
// writes the same few formats millions of times; their reading would cost as much as the numbers.
struct TVorlage {
    struct TTeil {
        std::size_t anfang = 0, laenge = 0;  // a literal piece of the format
        bool wert = false;                   // or a directive that takes the next value
        TDirektive d;
    };
    std::string format;  // its own copy
    std::vector<TTeil> teile;
    bool passt = false;  // the format qualifies
};

// Reads format into v; false when it takes "*" or an index, or is bad (the plain way then
// gives the text and the error exactly).
bool LiesVorlage(std::string_view format, TVorlage& v) {
    v.format.assign(format);
    v.teile.clear();
    if (format.find('*') != std::string_view::npos) return false;
    TDirektivenLeser leser(format, {});
    std::size_t i = 0;
    try {
        while (i < format.size()) {
            const std::size_t percent = format.find('%', i);
            const std::size_t ende = percent == std::string_view::npos ? format.size() : percent;
            if (ende > i) v.teile.push_back({i, ende - i, false, {}});
            if (percent == std::string_view::npos) break;
            i = percent + 1;
            if (i >= format.size()) return false;
            if (format[i] == '%') {
                v.teile.push_back({i, 1, false, {}});
                ++i;
                continue;
            }
            v.teile.push_back({0, 0, true, leser.Lies(i)});
        }
    } catch (const EFormatError&) {
        return false;
    }
    return !leser.MitIndex();
}

// The formats read so far on this thread (the last few), or null where format does not qualify.
const TVorlage* Vorlage(std::string_view format) {
    constexpr std::size_t Plaetze = 16;
    // An unused place holds the empty format, not taken as read: the plain way writes nothing for it.
    thread_local std::array<TVorlage, Plaetze> vorlagen;
    thread_local std::size_t naechster = 0;
    for (const TVorlage& v : vorlagen)
        if (v.format == format) return v.passt ? &v : nullptr;
    TVorlage& v = vorlagen[naechster];
    naechster = (naechster + 1) % Plaetze;
    v.passt = false;  // until read whole
    v.passt = LiesVorlage(format, v);
    return v.passt ? &v : nullptr;
}

}  // namespace

std::string FormatText(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 16 * args.size());
    AppendFormat(out, format, args);
    return out;
}

void AppendFormat(std::string& out, std::string_view format, std::span<const FormatArg> args) {
    if (const TVorlage* v = Vorlage(format)) {
        std::size_t naechster = 0;
        for (const TVorlage::TTeil& t : v->teile) {
            if (!t.wert) {
                out.append(v->format, t.anfang, t.laenge);
                continue;
            }
            if (naechster >= args.size()) BadFormat(format);
            AppendValue(out, t.d, args[naechster++], format);
        }
        return;
    }
    TDirektivenLeser leser(format, args);
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find('%', i);
        out.append(format.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
        if (percent == std::string_view::npos) break;
        i = percent + 1;
        if (i >= format.size()) BadFormat(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        const TDirektive d = leser.Lies(i);
        AppendValue(out, d, leser.NaechsterWert(), format);
    }
}

}  // namespace zentrix
