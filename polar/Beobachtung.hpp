// SPDX-License-Identifier: GPL-3.0-or-later
// Taking an observation line apart field by field. The blank is the only separator.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentrix {

// Shows one modal message (the message box of the window).
using TMeldung = std::function<void(const std::string&)>;

// Removes the next field from the front of line and returns it; line then starts with the
// following field, trimmed at both ends of every character of code 32 and below, cut to capacity.
std::string_view GetToken(std::string_view& line, std::size_t capacity);

// Removes the next field and returns its value (a decimal comma is read as the point). On a field
// that is not a number it shows "Fehler: <field> ist kein gültiger Real Wert." and
// "-> <rest of line>" and returns 0.
double GetReal(std::string_view& line, std::size_t capacity, const TMeldung& meldung);

// The same on a line held as a string, which gets the remainder written back.
std::string GetToken(std::string& line, std::size_t capacity);
double GetReal(std::string& line, std::size_t capacity, const TMeldung& meldung);

}  // namespace zentrix
