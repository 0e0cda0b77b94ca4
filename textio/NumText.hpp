// Numbers to text and field text to numbers.
//
// All formatting rules live here. Reals are rounded in two steps: the double's exact binary value
// is first written with 18 significant digits (rounded to nearest), and that digit string is then
// rounded half away from zero at the last place shown. A value that rounds to zero is written
// without a minus sign.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zentrix {

// The process-wide decimal separator. It starts from the regional settings; the main window's
// activation sets it to '.', and from then on every number read from a field or written uses it.
extern char DecimalSeparator;
// Reads the setting from the C library's current locale (LC_NUMERIC). A thousands separator is
// never inserted and never accepted, whatever the locale says.
void LoadFormatSettingsFromLocale();

// One value of a FormatText argument list: an integer, a real or a text. A text is referred to,
// not copied: the value lives as long as the call of FormatText that it is handed to.
class FormatArg {
public:
    FormatArg(int v) : value_(static_cast<long long>(v)) {}
    FormatArg(long v) : value_(static_cast<long long>(v)) {}
    FormatArg(long long v) : value_(v) {}
    FormatArg(unsigned v) : value_(static_cast<long long>(v)) {}
    FormatArg(unsigned long v) : value_(static_cast<long long>(v)) {}
    FormatArg(unsigned long long v) : value_(static_cast<long long>(v)) {}
    FormatArg(double v) : value_(v) {}
    FormatArg(const char* v) : value_(std::string_view(v)) {}
    FormatArg(const std::string& v) : value_(std::string_view(v)) {}
    FormatArg(std::string_view v) : value_(v) {}
    const std::variant<long long, double, std::string_view>& Value() const { return value_; }

private:
    std::variant<long long, double, std::string_view> value_;
};

// Fills a format string: "%[index:][-][width][.precision]letter" with letters d, u, x (integers),
// f (reals, fixed notation; 2 decimals when no precision or one above 18; magnitudes of 1e18 and
// more in the general form with 18 digits; "INF", "-INF", "NAN"), s (text; precision = maximum
// number of characters); e, g, n are not used. Widths count characters (an umlaut is one). For
// d, u and x the precision is the minimum number of digits; u and x show a negative 32-bit value
// as its 32-bit complement, x in upper-case hex digits. Width and precision may be "*" (taken
// from the list; a negative "*" width left-aligns). An index "%2:s" picks the value, and the
// following conversions go on from there. "%%" gives "%". Raises EFormatError
// "Format '<format>' ungültig oder nicht kompatibel mit Argument" when the format and the values
// do not fit.
std::string FormatText(std::string_view format, std::span<const FormatArg> args);
inline std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args) {
    return FormatText(format, std::span<const FormatArg>(args.begin(), args.size()));
}
inline std::string FormatText(std::string_view format, const std::vector<FormatArg>& args) {
    return FormatText(format, std::span<const FormatArg>(args));
}
// The same appended to out (no new string where out has room).
void AppendFormat(std::string& out, std::string_view format, std::span<const FormatArg> args);
inline void AppendFormat(std::string& out, std::string_view format, std::initializer_list<FormatArg> args) {
    AppendFormat(out, format, std::span<const FormatArg>(args.begin(), args.size()));
}

// The general shortest form with 15 significant digits: "3.642", "100", "0.0001", "1E-5", "1E15".
std::string RealToText(double value);
// The same form with as many digits as it takes to read back (TextToReal) to the very same value:
// 15 where they suffice, up to 17. A field the program fills with a value it computes with.
std::string RealToTextGenau(double value);
// The same form with a chosen number of significant digits (FormatText uses 18 for values >= 1e18).
std::string RealToTextDigits(double value, int digits);
// Fixed notation with `precision` decimals (0 to 18): "-" for a negative value, the integer digits
// ("0" below 1), the separator and the decimals; magnitudes of 1e18 and more in the general form
// with 18 digits; "INF", "-INF", "NAN".
std::string FixedText(double value, int precision);
// The same appended to out, right-aligned with blanks in `width` characters ("%<width>.<p>f";
// a longer text is never cut).
void AppendFixedText(std::string& out, double value, int precision, int width = 0);
// The same by the digit string alone (FixedText takes an exact integer way where it gives the
// same digits).
std::string FixedTextZiffern(double value, int precision);

// Decimal text of an integer, "-" in front of a negative value.
std::string IntegerToText(long long value);

// A field text as a real: leading and trailing blanks (code 32 only), optional sign, digits with
// at most one DecimalSeparator, optional exponent. Raises EConvertError
// "'<text>' ist kein gültiger Gleitkommawert" for anything else, and "Gleitkommaüberlauf" for a
// number beyond the range of a double.
double TextToReal(std::string_view text);
// The same with a given decimal separator instead of the setting.
double TextToReal(std::string_view text, char separator);

}  // namespace zentrix
