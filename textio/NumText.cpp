// Numbers to text and field text to numbers.
//
// Reals are laid out from their decimal digits, never through the C library's own rounding: the
// double's exact binary value is written with 18 significant digits (nearest), and that digit
// string is rounded half away from zero at the last place shown. Coordinates in the reports and
// files are thus the same on every machine and in every locale.
#include "textio/NumText.hpp"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "textio/Fehler.hpp"

namespace zentrix {

char DecimalSeparator = '.';
char ThousandSeparator = '\0';

void LoadFormatSettingsFromLocale() {
    const std::lconv* conv = std::localeconv();
    DecimalSeparator = '.';
    ThousandSeparator = '\0';
    if (conv != nullptr) {
        if (conv->decimal_point != nullptr && conv->decimal_point[0] != '\0')
            DecimalSeparator = conv->decimal_point[0];
        if (conv->thousands_sep != nullptr) ThousandSeparator = conv->thousands_sep[0];
    }
}

namespace {

// A decimal number 0.d1d2d3... x 10^exp with the digit string d1d2d3... (no leading zero unless
// the number is zero, in which case the string is empty).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp = 0;
};

bool IsZero(const Decimal& d) {
    for (char c : d.digits)
        if (c != '0') return false;
    return true;
}

// The exact binary value of a finite double with 18 significant digits, rounded to nearest.
Decimal Digits18(double value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 17);
    std::string s(buf, res.ptr);  // "[-]d.ddddddddddddddddde[+-]xx"
    Decimal d;
    std::size_t i = 0;
    if (s[i] == '-') {
        d.negative = true;
        ++i;
    }
    while (i < s.size() && s[i] != 'e') {
        if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
        ++i;
    }
    int e10 = std::atoi(s.c_str() + i + 1);
    d.exp = e10 + 1;
    if (IsZero(d)) {
        d.digits.clear();
        d.exp = 0;
    }
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero at the last kept digit. `keep` may
// be zero or negative (the rounding place lies before the first digit).
void RoundDigits(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.exp = 0;
        return;
    }
    bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            // All nines (or no digit at all): the carry gives a new leading 1.
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            if (d.digits.empty()) d.digits = "1";
            ++d.exp;
        }
    }
    if (IsZero(d)) {
        d.digits.clear();
        d.exp = 0;
    }
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Fixed notation with `precision` decimals.
std::string FixedText(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (std::fabs(value) >= 1e18) return RealToTextDigits(value, 18);
    Decimal d = Digits18(value);
    if (!d.digits.empty()) RoundDigits(d, d.exp + precision);
    std::string out;
    if (d.digits.empty()) {
        out = "0";
    } else {
        if (d.negative) out += '-';
        if (d.exp <= 0) {
            out += '0';
        } else {
            for (int i = 0; i < d.exp; ++i)
                out += i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
        }
    }
    if (precision > 0) {
        out += DecimalSeparator;
        for (int j = 1; j <= precision; ++j) {
            int i = d.exp - 1 + j;
            out += (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[i] : '0';
        }
    }
    return out;
}

[[noreturn]] void BadFormat(std::string_view format) {
    throw EFormatError("Format '" + std::string(format) + "' ungültig oder nicht kompatibel mit Argument");
}

// Widths and text precisions count characters, not bytes: an umlaut of a UTF-8 text is one
// character, as it is on the screen and in the files' column layout.
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

long long CharCount(const std::string& text) {
    long long count = 0;
    for (char c : text)
        if (!IsContinuation(c)) ++count;
    return count;
}

// Cuts text behind its first `maxChars` characters.
void CutChars(std::string& text, long long maxChars) {
    long long count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuation(text[i])) {
            if (count == maxChars) {
                text.resize(i);
                return;
            }
            ++count;
        }
    }
}

std::string Pad(std::string text, long long width, bool left) {
    const long long length = CharCount(text);
    if (width > length) {
        std::string fill(static_cast<std::size_t>(width - length), ' ');
        text = left ? text + fill : fill + text;
    }
    return text;
}

// The unsigned reading of an integer argument: a negative value of the 32-bit range gives its
// 32-bit complement (as the integers of the program are 32 bits), any other its 64-bit one.
unsigned long long UnsignedOf(long long v) {
    if (v < 0 && v >= std::numeric_limits<std::int32_t>::min())
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    return static_cast<unsigned long long>(v);
}

std::string ZeroPadded(std::string digits, long long minDigits) {
    if (minDigits > static_cast<long long>(digits.size()))
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return digits;
}

}  // namespace

std::string RealToTextDigits(double value, int digits) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (digits < 1) digits = 1;
    if (digits > 18) digits = 18;
    Decimal d = Digits18(value);
    if (d.digits.empty()) return "0";
    RoundDigits(d, digits);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    const int n = static_cast<int>(d.digits.size());
    std::string out = d.negative ? "-" : "";
    if (d.exp >= -3 && d.exp <= digits) {
        if (d.exp <= 0) {
            out += '0';
            out += DecimalSeparator;
            out.append(static_cast<std::size_t>(-d.exp), '0');
            out += d.digits;
        } else {
            for (int i = 0; i < d.exp; ++i) out += i < n ? d.digits[i] : '0';
            if (n > d.exp) {
                out += DecimalSeparator;
                out += d.digits.substr(static_cast<std::size_t>(d.exp));
            }
        }
    } else {
        out += d.digits[0];
        if (n > 1) {
            out += DecimalSeparator;
            out += d.digits.substr(1);
        }
        out += 'E';
        out += std::to_string(d.exp - 1);
    }
    return out;
}

std::string RealToText(double value) { return RealToTextDigits(value, 15); }

std::string IntegerToText(long long value) { return std::to_string(value); }

std::string FormatText(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;  // index of the next argument
    std::size_t i = 0;
    const std::size_t n = format.size();
    constexpr long long kLimit = 1000000;  // widths and precisions beyond this are a bad format

    auto takeInt = [&]() -> long long {
        if (next >= args.size()) BadFormat(format);
        const auto* v = std::get_if<long long>(&args[next].Value());
        if (v == nullptr) BadFormat(format);
        ++next;
        return *v;
    };
    // A decimal number or "*"; -1 when neither is there. `star` tells that "*" was read.
    auto readNumber = [&](bool& star) -> long long {
        star = false;
        if (i < n && format[i] == '*') {
            star = true;
            ++i;
            return 0;
        }
        if (i >= n || format[i] < '0' || format[i] > '9') return -1;
        long long v = 0;
        while (i < n && format[i] >= '0' && format[i] <= '9') {
            v = v * 10 + (format[i] - '0');
            if (v > kLimit) BadFormat(format);
            ++i;
        }
        return v;
    };

    while (i < n) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= n) BadFormat(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        long long width = -1;
        long long precision = -1;
        bool star = false;
        long long first = readNumber(star);
        if (i < n && format[i] == ':') {
            // Argument index; the conversions after it continue with the following arguments.
            long long index = star ? takeInt() : first;
            if (index < 0) BadFormat(format);
            next = static_cast<std::size_t>(index);
            ++i;
            first = -1;
            star = false;
        }
        if (first < 0 && !star) {
            if (i < n && format[i] == '-') {
                left = true;
                ++i;
            }
            first = readNumber(star);
        }
        if (star) {
            width = takeInt();
            if (width < 0) {
                left = true;
                width = -width;
            }
            if (width > kLimit) BadFormat(format);
        } else {
            width = first;
        }
        if (i < n && format[i] == '.') {
            ++i;
            bool pstar = false;
            precision = readNumber(pstar);
            if (pstar) {
                precision = takeInt();
                if (precision > kLimit) BadFormat(format);
            } else if (precision < 0) {
                BadFormat(format);
            }
        }
        if (i >= n) BadFormat(format);
        char letter = format[i++];
        if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
        if (next >= args.size()) BadFormat(format);
        const auto& value = args[next++].Value();
        std::string text;
        switch (letter) {
            case 'd': {
                const auto* v = std::get_if<long long>(&value);
                if (v == nullptr) BadFormat(format);
                unsigned long long mag = *v < 0 ? 0ULL - static_cast<unsigned long long>(*v)
                                                : static_cast<unsigned long long>(*v);
                text = (*v < 0 ? "-" : "") + ZeroPadded(std::to_string(mag), precision);
                break;
            }
            case 'u': {
                const auto* v = std::get_if<long long>(&value);
                if (v == nullptr) BadFormat(format);
                text = ZeroPadded(std::to_string(UnsignedOf(*v)), precision);
                break;
            }
            case 'x': {
                const auto* v = std::get_if<long long>(&value);
                if (v == nullptr) BadFormat(format);
                char buf[32];
                auto res = std::to_chars(buf, buf + sizeof buf, UnsignedOf(*v), 16);
                std::string hex(buf, res.ptr);
                for (char& h : hex)
                    if (h >= 'a' && h <= 'f') h = static_cast<char>(h - 'a' + 'A');
                text = ZeroPadded(hex, precision);
                break;
            }
            case 'f': {
                const auto* v = std::get_if<double>(&value);
                if (v == nullptr) BadFormat(format);
                int p = (precision < 0 || precision > 18) ? 2 : static_cast<int>(precision);
                text = FixedText(*v, p);
                break;
            }
            case 's': {
                const auto* v = std::get_if<std::string>(&value);
                if (v == nullptr) BadFormat(format);
                text = *v;
                if (precision >= 0) CutChars(text, precision);
                break;
            }
            default:
                BadFormat(format);
        }
        out += Pad(std::move(text), width, left);
    }
    return out;
}

double TextToReal(std::string_view text) { return TextToReal(text, DecimalSeparator); }

double TextToReal(std::string_view text, char separator) {
    auto reject = [&]() -> double {
        throw EConvertError("'" + std::string(text) + "' ist kein gültiger Gleitkommawert");
    };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string mantissa;  // all digits, integer part and decimals
    long long scale = 0;   // power of ten of the last digit
    bool taken = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        mantissa += text[i++];
        taken = true;
    }
    if (i < n && text[i] == separator) {
        ++i;
        taken = true;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            mantissa += text[i++];
            --scale;
        }
    }
    if (!taken) return reject();
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        long long e = 0;
        // The exponent takes no more digits once it has reached 500.
        while (i < n && e < 500 && text[i] >= '0' && text[i] <= '9') e = e * 10 + (text[i++] - '0');
        scale += expNegative ? -e : e;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return reject();

    // The number as digits and a power of ten only: no decimal point, so the C library's locale
    // cannot change the reading.
    std::size_t lead = mantissa.find_first_not_of('0');
    if (lead == std::string::npos) return 0.0;
    std::string normal = (negative ? "-" : "") + mantissa.substr(lead) + "e" + std::to_string(scale);
    errno = 0;
    long double wide = std::strtold(normal.c_str(), nullptr);
    if (std::isinf(wide)) return reject();  // beyond the extended range
    errno = 0;
    double value = std::strtod(normal.c_str(), nullptr);
    if (std::isinf(value)) RaiseOverflow();  // an extended number stored as a double
    return value;
}

}  // namespace zentrix
