// SPDX-License-Identifier: GPL-3.0-or-later
// The errors of the cloud readers: a German message and where in the file it arose.
#pragma once

#include <string>
#include <string_view>

#include "core/Fehler.hpp"

namespace zentrix {

// A cloud file that cannot be read as its format says: a header that breaks the format, a number
// that is none, a file that ends before its points.
class EWolkenFehler : public EZentrixError {
public:
    using EZentrixError::EZentrixError;
};

// Raises the message with its place in a text: the file's full path, the line (from 1), the field
// (from 1, 0: none) and the field's text.
[[noreturn]] void WolkenFehlerZeile(const std::string& meldung, const std::string& pfad, long long zeile, int feld,
                                    std::string_view feldtext);

// Raises the message with its place in a binary file: the full path, the byte offset (from 0), the
// field's name and what stood there (empty: nothing to quote).
[[noreturn]] void WolkenFehlerByte(const std::string& meldung, const std::string& pfad, long long byte,
                                   const std::string& feld, const std::string& wert = {});

// The refusals of the compressed formats, which name the formats to export to instead.
extern const char* const LazAbgewiesen;
extern const char* const E57Abgewiesen;

}  // namespace zentrix
