// Reals and integers as text: fixed notation and the general shortest form.
//
// Reals are laid out from their decimal digits, never through the C library's own rounding: the
// double's exact binary value is written with 18 significant digits (nearest), and that digit
// string is rounded half away from zero at the last place shown. Coordinates in the reports and
// files are thus the same on every machine and in every locale.
#include <charconv>
#include <cmath>
#include <cstdlib>

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

}  // namespace

std::string FixedText(double value, int precision) {
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
