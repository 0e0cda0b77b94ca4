// SPDX-License-Identifier: GPL-3.0-or-later
// The one scanner of numbers in text. Field texts (TextToReal) and file tokens (ReadRealToken,
// ReadIntegerToken, ReadUnsignedToken) are read by it; where their rules differ, the difference
// is a setting of TRealRegel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zentrix {

// The rules of one kind of real text.
struct TRealRegel {
    char Dezimalzeichen = '.';      // the decimal mark
    bool RandLeerzeichen = false;   // blanks (code 32 only) allowed in front and behind
    bool LeererExponent = false;    // an exponent mark without digits means exponent 0 (else no number)
    long long ExponentGrenze = 0;   // the exponent's value stops growing once it has reached this
    bool GrenzeBeendetExponent = false;  // ... and then takes no further digit (the rest is left over)
};

// The field rule: blanks around, the decimal separator setting, "5E" is 5, the exponent takes no
// digit once it has reached 500.
TRealRegel FeldRegel(char dezimalzeichen);
// The token rule: a point, no blanks, an exponent needs a digit, all its digits are taken.
TRealRegel TokenRegel();

enum class TRealStatus {
    Zahl,          // a number, Wert is its double (a value too small for a double is 0)
    KeineZahl,     // the text breaks the rule
    UeberExtended, // beyond the extended range (about 1.19e4932)
    UeberDouble,   // fits the extended range but not a double (magnitude above about 1.8e308)
};

// The longest field (characters) an integer and a real may have in a file; a longer one is no
// number.
constexpr std::size_t MaxGanzzahlFeld = 32;
constexpr std::size_t MaxRealFeld = 64;

struct TRealScan {
    TRealStatus Status = TRealStatus::KeineZahl;
    double Wert = 0;
};

// Reads the whole text as a real: optional sign, digits, optionally the decimal mark and digits
// (one of the two digit runs may be empty, a lone mark reads as 0), optionally "E" or "e" with an
// optional sign and digits. The value is the digit string scaled by its power of ten, correctly
// rounded to a double.
TRealScan ScanReal(std::string_view text, const TRealRegel& regel);

// Reads the whole text as an integer: optional sign, then decimal digits or a hexadecimal number
// after "$", "x", "X", "0x" or "0X" (its bit pattern is the value, a "-" negates it). wide: the
// signed 64-bit range and up to 16 hex digits; otherwise the signed 32-bit range and up to 8.
// False for anything else.
bool ScanInteger(std::string_view text, bool wide, std::int64_t& value);

}  // namespace zentrix
