// SPDX-License-Identifier: GPL-3.0-or-later
#include "textio/ZahlScanner.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

namespace zentrix {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit string (no leading zeros, not empty) times 10^scale. The number is
// handed to the C library as digits and a power of ten only, without a decimal point, so that
// no locale can change its reading; strtod rounds correctly.
TRealScan Value(bool negative, std::string_view digits, long long scale) {
    std::string normal;
    normal.reserve(digits.size() + 24);
    if (negative) normal += '-';
    normal.append(digits);
    normal += 'e';
    normal += std::to_string(scale);
    if (std::isinf(std::strtold(normal.c_str(), nullptr))) return {TRealStatus::UeberExtended, 0.0};
    const double value = std::strtod(normal.c_str(), nullptr);
    if (std::isinf(value)) return {TRealStatus::UeberDouble, 0.0};
    return {TRealStatus::Zahl, value == 0 ? 0.0 : value};  // a value too small is 0, without sign
}

}  // namespace

TRealRegel FeldRegel(char dezimalzeichen) { return {dezimalzeichen, true, true, 500, true}; }

TRealRegel TokenRegel() {
    // Far beyond any range already; the bound only keeps the exponent from overflowing.
    return {'.', false, false, 1000000, false};
}

namespace {

// The value m 10^scale where both are exact doubles: up to 2^53 as digits and a power of ten up to
// 10^22 (a coordinate, a distance, an angle); one division or multiplication then rounds the value
// correctly. False where they are not.
bool Genau(std::uint64_t m, long long scale, bool negative, double& wert) {
    if (m > (std::uint64_t{1} << 53) || scale < -22 || scale > 22) return false;
    static constexpr double kZehner[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const auto d = static_cast<double>(m);
    const double value = scale < 0 ? d / kZehner[-scale] : d * kZehner[scale];
    wert = value == 0 ? 0.0 : (negative ? -value : value);  // zero without sign
    return true;
}

// The common field in one pass: a sign, then up to 19 digits with at most one decimal mark and
// nothing else. False for anything else, or where the value is not exact as above.
bool ScanEinfach(std::string_view t, char dezimalzeichen, double& wert) {
    std::size_t i = 0;
    const std::size_t n = t.size();
    bool negative = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::uint64_t m = 0;
    int ziffern = 0, nachkomma = -1;  // -1: no decimal mark yet
    for (; i < n; ++i) {
        const char c = t[i];
        if (IsDigit(c)) {
            if (++ziffern > 19) return false;
            m = m * 10 + static_cast<std::uint64_t>(c - '0');
            if (nachkomma >= 0) ++nachkomma;
        } else if (c == dezimalzeichen && nachkomma < 0) {
            nachkomma = 0;
        } else {
            return false;
        }
    }
    return ziffern > 0 && Genau(m, nachkomma < 0 ? 0 : -nachkomma, negative, wert);
}

}  // namespace

TRealScan ScanReal(std::string_view t, const TRealRegel& regel) {
    if (double wert = 0; ScanEinfach(t, regel.Dezimalzeichen, wert)) return {TRealStatus::Zahl, wert};
    const TRealScan keineZahl{TRealStatus::KeineZahl, 0.0};
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (regel.RandLeerzeichen)
        while (i < n && t[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    const std::size_t ganz = i;  // the integer digits t[ganz, punkt)
    while (i < n && IsDigit(t[i])) ++i;
    const std::size_t punkt = i;
    std::size_t bruch = i, bruchEnde = i;  // the decimals t[bruch, bruchEnde)
    if (i < n && t[i] == regel.Dezimalzeichen) {
        bruch = ++i;
        while (i < n && IsDigit(t[i])) ++i;
        bruchEnde = i;
    }
    // A digit or the decimal mark must have been taken: a lone mark is a number (0).
    if (punkt == ganz && bruch == punkt) return keineZahl;

    long long e = 0;
    bool gekappt = false;  // the exponent is not what its digits say
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) expNegative = t[i++] == '-';
        if (!regel.LeererExponent && (i >= n || !IsDigit(t[i]))) return keineZahl;
        const std::size_t ziffern = i;
        for (; i < n && IsDigit(t[i]); ++i) {
            if (e >= regel.ExponentGrenze) {
                gekappt = true;
                if (regel.GrenzeBeendetExponent) break;
                continue;
            }
            e = e * 10 + (t[i] - '0');
        }
        gekappt = gekappt || i == ziffern;  // "5E": no exponent digits
        if (expNegative) e = -e;
    }
    const std::size_t textEnde = i;
    if (regel.RandLeerzeichen)
        while (i < n && t[i] == ' ') ++i;
    if (i != n) return keineZahl;

    // Digits and a power of ten that are both exact (see Genau).
    if (!gekappt && (punkt - ganz) + (bruchEnde - bruch) <= 19) {
        std::uint64_t m = 0;
        for (std::size_t k = ganz; k < punkt; ++k) m = m * 10 + static_cast<std::uint64_t>(t[k] - '0');
        for (std::size_t k = bruch; k < bruchEnde; ++k) m = m * 10 + static_cast<std::uint64_t>(t[k] - '0');
        if (double wert = 0; Genau(m, e - static_cast<long long>(bruchEnde - bruch), negative, wert))
            return {TRealStatus::Zahl, wert};
    }
    // Otherwise a correctly rounded parser without allocation: digits with a point and a complete
    // exponent are read by std::from_chars exactly as the rule says.
    if (regel.Dezimalzeichen == '.' && !gekappt) {
        const char* anfang = t.data() + (negative ? ganz - 1 : ganz);
        double value = 0;
        const auto r = std::from_chars(anfang, t.data() + textEnde, value);
        if (r.ec == std::errc() && r.ptr == t.data() + textEnde) return {TRealStatus::Zahl, value == 0 ? 0.0 : value};
    }
    std::string mantissa(t.substr(ganz, punkt - ganz));
    mantissa.append(t.substr(bruch, bruchEnde - bruch));
    const long long scale = e - static_cast<long long>(bruchEnde - bruch);
    const std::size_t lead = mantissa.find_first_not_of('0');
    if (lead == std::string::npos) return {TRealStatus::Zahl, 0.0};
    return Value(negative, std::string_view(mantissa).substr(lead), scale);
}

bool ScanInteger(std::string_view t, bool wide, std::int64_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    bool hex = false;
    if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    const std::size_t digits = t.size() - i;
    if (digits == 0) return false;
    if (hex) {
        if (digits > (wide ? 16u : 8u)) return false;
        std::uint64_t pattern = 0;
        for (; i < t.size(); ++i) {
            const char c = t[i];
            int d;
            if (IsDigit(c)) d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
            pattern = pattern * 16 + static_cast<std::uint64_t>(d);
        }
        // The bit pattern is the value; a "-" negates it in the same width.
        if (negative) pattern = 0 - pattern;
        value = wide ? static_cast<std::int64_t>(pattern)
                     : static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
        return true;
    }
    const std::uint64_t limit = wide ? (negative ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL)
                                     : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
    std::uint64_t magnitude = 0;
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) return false;
        const auto d = static_cast<std::uint64_t>(t[i] - '0');
        if (magnitude > (limit - d) / 10) return false;
        magnitude = magnitude * 10 + d;
    }
    value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

}  // namespace zentrix
