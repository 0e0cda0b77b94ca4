// SPDX-License-Identifier: GPL-3.0-or-later
// Reals and integers as text: fixed notation and the general shortest form.
//
// Reals are laid out from their decimal digits, never through the C library's own rounding: the
// double's exact binary value is written with 18 significant digits (nearest), and that digit
// string is rounded half away from zero at the last place shown. Coordinates in the reports and
// files are thus the same on every machine and in every locale.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "textio/NumText.hpp"

namespace zentrix {

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
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));  // "[-]d.ddddde[+-]xx"
    Decimal d;
    std::size_t i = 0;
    if (s[i] == '-') {
        d.negative = true;
        ++i;
    }
    for (; i < s.size() && s[i] != 'e'; ++i)
        if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
    int e10 = 0;
    std::from_chars(s.data() + i + 1 + (s[i + 1] == '+' ? 1 : 0), s.data() + s.size(), e10);
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
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            // All nines (now zeros, or no digit at all): the carry gives a new leading 1 and the
            // digits keep their number.
            if (d.digits.empty()) d.digits.push_back('1');
            else d.digits[0] = '1';
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

// 10^0 to 10^15: the decimals' scales, and the bound of the integers the exact way writes (15 digits).
constexpr std::uint64_t kZehner[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL,
                                     100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL,
                                     1000000000000ULL, 10000000000000ULL, 100000000000000ULL, 1000000000000000ULL};

// The digits of q from the right, the decimal mark after `precision` of them, at least one
// integer digit; then the sign (a value that rounds to zero has none). Returns the length.
//
// The length is known first (from the number of q's digits), and the digits go straight to their
// place in buf from the right, two at a time. Written into a scratch array and copied on, they
// were read back right after their small stores, which the processor cannot forward to a wider
// load: a stall in every number of a report.
int Ziffern(double value, std::uint64_t q, int precision, char* buf) {
    if (q >= kZehner[15]) return -1;
    const bool minus = value < 0 && q != 0;
    // "00" to "99": two digits a step.
    static constexpr char kPaare[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    const int p = precision > 0 ? precision : 0;
    // q's digits: log10 of 2^bits (1233 / 4096 = log10 2 to the precision needed), one more where q
    // reaches that power of ten.
    const int t = (static_cast<int>(std::bit_width(q)) * 1233) >> 12;
    const int stellen = t + (q >= kZehner[t] ? 1 : 0);
    const int ganz = std::max(stellen - p, 1);  // a zero in front of the point where q has no more
    char* b = buf;
    if (minus) *b++ = '-';
    char* z = b + ganz + (p > 0 ? 1 + p : 0);
    const int laenge = static_cast<int>(z - buf);
    auto paar = [&z, &q] {
        const std::size_t r = static_cast<std::size_t>(q % 100) * 2;
        q /= 100;
        z -= 2;
        z[0] = kPaare[r];
        z[1] = kPaare[r + 1];
    };
    // The decimals (zeros in front where q is shorter), then the integer digits.
    int k = p;
    for (; k >= 2; k -= 2) paar();
    if (k == 1) {
        *--z = static_cast<char>('0' + q % 10);
        q /= 10;
    }
    if (p > 0) *--z = DecimalSeparator;
    while (q >= 100) paar();
    if (q >= 10) {
        paar();
    } else {
        *--z = static_cast<char>('0' + q);
    }
    return laenge;
}

// The common case in 64 bits: with 10^p = 5^p 2^p, m 5^p fits 64 bits for up to four decimals, and
// the quotient and remainder of (m 5^p) 2^-(k-p) are those of the exact rule scaled by 2^p. Gives
// q when the remainder is clearly off the half (the exact rule then rounds by it alone); false
// when the wide way must decide.
bool Runde64(std::uint64_t m, int k, int precision, std::uint64_t& q) {
    static constexpr std::uint64_t kFuenfer[] = {1, 5, 25, 125, 625};
    if (precision > 4) return false;
    const int s = k - precision;
    if (s < 10 || s >= 64) return false;  // s >= 10: the margin below (half / 2^9) is exact
    const std::uint64_t produkt = m * kFuenfer[precision], ganz = produkt >> s,
                        rest = produkt & ((std::uint64_t{1} << s) - 1), halb = std::uint64_t{1} << (s - 1);
    if (rest >= halb) {
        q = ganz + 1;
        return true;
    }
    if (halb - rest > (halb >> 9)) {
        q = ganz;
        return true;
    }
    return false;
}

// Fixed notation by exact integer arithmetic: the double is m 2^-k with an integer m of 53 bits,
// so |value| 10^precision is (m 10^precision) 2^-k, whose integer part q and remainder r (in units
// of 2^-k) fit in 128 bits. The two-step rule rounds the value to 18 significant digits first and
// that result half away from zero; the first step can only matter when it lands exactly on the half
// between q and q + 1, that is when the value lies below the half by less than half a unit of the
// 18th digit. With at most 15 digits shown that unit is a thousandth of the last place or smaller,
// and it is compared here in extended precision with a wide margin; the few values right at that
// margin, and every value of 16 digits and more, take the digit-string way.
// Writes the text into buf (room for 40 characters) and returns its length; -1 when the value
// takes the digit-string way.
int FixedTextExakt(double value, int precision, char* buf) {
    const double betrag = std::fabs(value);
    if (!(betrag < 1e15) || precision > 15) return -1;
    const std::uint64_t zehner = kZehner[precision < 0 ? 0 : precision];
    using U = unsigned __int128;
    U q = 0;
    if (betrag != 0) {
        // The double's bits: betrag = m 2^-k with the 53-bit integer m (subnormals have fewer bits).
        std::uint64_t bits;
        std::memcpy(&bits, &betrag, sizeof bits);
        const int exponent = static_cast<int>(bits >> 52);
        const std::uint64_t m = exponent == 0 ? (bits & ((1ULL << 52) - 1)) : ((bits & ((1ULL << 52) - 1)) | (1ULL << 52));
        const int k = exponent == 0 ? 1074 : 1075 - exponent;
        std::uint64_t q64 = 0;
        if (Runde64(m, k, precision, q64)) return Ziffern(value, q64, precision, buf);
        const U produkt = static_cast<U>(m) * zehner;
        if (k <= 0) {
            q = produkt << -k;
        } else if (k < 127) {
            q = produkt >> k;
            const U rest = produkt - (q << k), halb = static_cast<U>(1) << (k - 1);
            if (rest >= halb) {
                ++q;  // at or above the half: up, and so does the 18-digit value
            } else if (halb - rest <= (halb >> 9)) {
                // Below the half by less than a thousandth of the last place: up only if the
                // 18-digit value is the half itself. Its unit, in last places, is 10^-j with
                // j = 18 - (digits of q).
                int stellen = 0;
                for (auto t = static_cast<std::uint64_t>(q); t != 0; t /= 10) ++stellen;
                static constexpr long double kZehntel[] = {1e-0L, 1e-1L, 1e-2L, 1e-3L, 1e-4L, 1e-5L, 1e-6L,
                                                           1e-7L, 1e-8L, 1e-9L, 1e-10L, 1e-11L, 1e-12L, 1e-13L,
                                                           1e-14L, 1e-15L, 1e-16L, 1e-17L, 1e-18L};
                if (stellen > 15) return -1;
                const long double abstand = std::ldexp(static_cast<long double>(halb - rest), -k);  // last places
                const long double einheit = kZehntel[18 - stellen] / 2;
                if (abstand < einheit * (1 - 1e-6L)) ++q;
                else if (abstand <= einheit * (1 + 1e-6L)) return -1;
            }
        }
        // k >= 127: far below half a unit of any place shown.
    }
    if (q >= static_cast<U>(kZehner[15])) return -1;
    return Ziffern(value, static_cast<std::uint64_t>(q), precision, buf);
}

}  // namespace

std::string FixedText(double value, int precision) {
    std::string out;
    AppendFixedText(out, value, precision);
    return out;
}

void AppendFixedText(std::string& out, double value, int precision, int width) {
    // The text goes behind room for the blanks of a column (up to Vorn of them, laid in front
    // beforehand), and number and blanks are appended as one piece.
    constexpr int Vorn = 24;
    char buf[Vorn + 40];
    std::memset(buf, ' ', Vorn);
    const int laenge = std::isfinite(value) ? FixedTextExakt(value, precision, buf + Vorn) : -1;
    if (laenge >= 0) {
        const int blanks = laenge < width ? width - laenge : 0;
        if (blanks > Vorn) out.append(static_cast<std::size_t>(blanks - Vorn), ' ');
        const int vorn = std::min(blanks, Vorn);
        out.append(buf + Vorn - vorn, static_cast<std::size_t>(vorn + laenge));
        return;
    }
    const std::string text = FixedTextZiffern(value, precision);
    const std::size_t zeichen = text.size();  // digits, sign, point and the letters of INF and NAN
    if (width > 0 && zeichen < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - zeichen, ' ');
    out += text;
}

std::string FixedTextZiffern(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (std::fabs(value) >= 1e18) return RealToTextDigits(value, 18);
    Decimal d = Digits18(value);
    if (!d.digits.empty()) RoundDigits(d, d.exp + precision);
    const int n = static_cast<int>(d.digits.size());
    std::string out;
    if (d.digits.empty()) {
        out += '0';
    } else {
        if (d.negative) out += '-';
        if (d.exp <= 0) out += '0';
        for (int i = 0; i < d.exp; ++i) out += i < n ? d.digits[static_cast<std::size_t>(i)] : '0';
    }
    if (precision > 0) {
        out += DecimalSeparator;
        for (int j = 1; j <= precision; ++j) {
            const int i = d.exp - 1 + j;
            out += (i >= 0 && i < n) ? d.digits[static_cast<std::size_t>(i)] : '0';
        }
    }
    return out;
}

namespace {

// The decimal reads back beyond the largest double.
bool UeberDouble(const Decimal& d) {
    std::string text = "0.";
    text += d.digits;
    text += 'e';
    text += std::to_string(d.exp);
    return std::isinf(std::strtod(text.c_str(), nullptr));
}

}  // namespace

std::string RealToTextDigits(double value, int digits) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (digits < 1) digits = 1;
    if (digits > 18) digits = 18;
    Decimal d = Digits18(value);
    if (d.digits.empty()) return "0";
    Decimal gerundet = d;
    RoundDigits(gerundet, digits);
    // Rounded up beyond the largest double (1.797693134862315E308 and more to 15 digits), the text
    // would read back as an overflow: the digits are then cut instead, so that the text reads back.
    if (gerundet.exp >= 309 && UeberDouble(gerundet)) {
        if (d.digits.size() > static_cast<std::size_t>(digits)) d.digits.resize(static_cast<std::size_t>(digits));
    } else {
        d = gerundet;
    }
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
            for (int i = 0; i < d.exp; ++i) out += i < n ? d.digits[static_cast<std::size_t>(i)] : '0';
            if (n > d.exp) {
                out += DecimalSeparator;
                out.append(d.digits, static_cast<std::size_t>(d.exp));
            }
        }
    } else {
        out += d.digits[0];
        if (n > 1) {
            out += DecimalSeparator;
            out.append(d.digits, 1);
        }
        out += 'E';
        out += std::to_string(d.exp - 1);
    }
    return out;
}

std::string RealToText(double value) { return RealToTextDigits(value, 15); }

std::string RealToTextGenau(double value) {
    if (!std::isfinite(value)) return NonFinite(value);
    // 15 digits read back to the same double for most values a file gives ("0.0725"); the
    // others take 16 or 17.
    for (int digits = 15; digits <= 17; ++digits) {
        std::string text = RealToTextDigits(value, digits);
        try {
            if (TextToReal(text) == value) return text;
        } catch (const std::exception&) {
        }
    }
    return RealToTextDigits(value, 18);
}

std::string IntegerToText(long long value) { return std::to_string(value); }

}  // namespace zentrix
