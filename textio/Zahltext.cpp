// Reals and integers as text: fixed notation and the general shortest form.
//
// Reals are laid out from their decimal digits, never through the C library's own rounding: the
// double's exact binary value is written with 18 significant digits (nearest), and that digit
// string is rounded half away from zero at the last place shown. Coordinates in the reports and
// files are thus the same on every machine and in every locale.
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

// Fixed notation by exact integer arithmetic: the double is m 2^-k with an integer m of 53 bits,
// so |value| 10^precision is (m 10^precision) 2^-k, whose integer part q and remainder r (in units
// of 2^-k) fit in 128 bits. The two-step rule rounds the value to 18 significant digits first and
// that result half away from zero; the first step can only matter when it lands exactly on the half
// between q and q + 1, that is when the value lies below the half by less than half a unit of the
// 18th digit. With at most 15 digits shown that unit is a thousandth of the last place or smaller,
// and it is compared here in extended precision with a wide margin; the few values right at that
// margin, and every value of 16 digits and more, take the digit-string way.
bool FixedTextExakt(double value, int precision, std::string& out) {
    const double betrag = std::fabs(value);
    if (!(betrag < 1e15) || precision > 15) return false;
    unsigned long long zehner = 1;
    for (int i = 0; i < precision; ++i) zehner *= 10;
    using U = unsigned __int128;
    U q = 0;
    if (betrag != 0) {
        // The double's bits: betrag = m 2^-k with the 53-bit integer m (subnormals have fewer bits).
        std::uint64_t bits;
        std::memcpy(&bits, &betrag, sizeof bits);
        const int exponent = static_cast<int>(bits >> 52);
        const std::uint64_t m = exponent == 0 ? (bits & ((1ULL << 52) - 1)) : ((bits & ((1ULL << 52) - 1)) | (1ULL << 52));
        const int k = exponent == 0 ? 1074 : 1075 - exponent;
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
                if (stellen > 15) return false;
                const long double abstand = std::ldexp(static_cast<long double>(halb - rest), -k);  // last places
                const long double einheit = kZehntel[18 - stellen] / 2;
                if (abstand < einheit * (1 - 1e-6L)) ++q;
                else if (abstand <= einheit * (1 + 1e-6L)) return false;
            }
        }
        // k >= 127: far below half a unit of any place shown.
    }
    if (q >= static_cast<U>(1000000000000000ULL)) return false;
    char ziffern[24];
    const auto r = std::to_chars(ziffern, ziffern + sizeof ziffern, static_cast<unsigned long long>(q));
    std::string_view d(ziffern, static_cast<std::size_t>(r.ptr - ziffern));
    if (value < 0 && q != 0) out += '-';  // a value that rounds to zero has no sign
    const std::size_t p = static_cast<std::size_t>(precision);
    if (d.size() <= p) {
        out += '0';
        if (p > 0) out += DecimalSeparator;
        out.append(p - d.size(), '0');
        out.append(d);
    } else {
        out.append(d.substr(0, d.size() - p));
        if (p > 0) {
            out += DecimalSeparator;
            out.append(d.substr(d.size() - p));
        }
    }
    return true;
}

}  // namespace

std::string FixedText(double value, int precision) {
    std::string out;
    AppendFixedText(out, value, precision);
    return out;
}

void AppendFixedText(std::string& out, double value, int precision) {
    const std::size_t vorher = out.size();
    if (std::isfinite(value) && FixedTextExakt(value, precision, out)) return;
    out.resize(vorher);
    out += FixedTextZiffern(value, precision);
}

std::string FixedTextZiffern(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (std::fabs(value) >= 1e18) return RealToTextDigits(value, 18);
    Decimal d = Digits18(value);
    if (!d.digits.empty()) RoundDigits(d, d.exp + precision);
    const int n = static_cast<int>(d.digits.size());
    std::string out;
    if (d.digits.empty()) {
        out = "0";
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

std::string IntegerToText(long long value) { return std::to_string(value); }

}  // namespace zentrix
