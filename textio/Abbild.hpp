// SPDX-License-Identifier: GPL-3.0-or-later
// A whole text file read where it lies: mapped into memory instead of copied, so that a day's file
// of 40 MB costs neither the time of a copy nor, as the reading goes on, its memory. The reader
// gives back the pages it has passed; the system reads them again only if they are looked at
// again (an error message quoting a line).
//
// A file that another program shortens while it is mapped would end the process at the first
// access behind its new end. Such an access reads zeros instead (core/Plattform.hpp, TAnsicht),
// and Verkuerzt() tells it: the command then ends with ea::DateiVerkuerzt rather than with what
// it computed from the zeros.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Plattform.hpp"

namespace zentrix {

// Where the byte c first occurs in text (npos: nowhere). Where the text lies in the mapped file
// abbild (or nullptr), each stretch of it goes back to the system once it has been looked at: a
// whole file's scan leaves no more of it in memory than its last stretch.
std::size_t Finde(std::string_view text, char c, const class TDateiAbbild* abbild);
// How often c occurs before the first `ende` (in the whole text where there is none), and where
// that `ende` stands (npos: nowhere), both in one look at each byte; the stretches given back as
// by Finde.
struct TZaehlung {
    std::size_t Anzahl = 0;
    std::size_t Ende = std::string_view::npos;
};
TZaehlung ZaehleBis(std::string_view text, char c, char ende, const class TDateiAbbild* abbild);

class TDateiAbbild {
public:
    TDateiAbbild() = default;
    TDateiAbbild(const TDateiAbbild&) = delete;
    TDateiAbbild& operator=(const TDateiAbbild&) = delete;
    ~TDateiAbbild() { Schliesse(); }

    // Maps the file pfad by the rules of reading a whole text file: only a regular file, opened
    // without blocking; a UTF-16 or UTF-32 byte-order mark or a NUL byte in the first 64 KB is no
    // text (ea::KeineTextdatei); a UTF-8 byte-order mark is left out of the text. Returns the I/O
    // code (0 on success); err gets the system's error number of a failure (0 for the refusals).
    int Oeffne(const std::string& pfad, int& err);
    void Schliesse() {
        ansicht_.Schliesse();
        text_ = {};
    }

    // The text (empty for an empty file), valid until Schliesse.
    std::string_view Text() const { return text_; }
    // The text from von to bis (places in Text()) will not be read again for a while: the pages
    // wholly within go back to the system. Readers of different parts of the text may each give
    // back their own part at the same time.
    void Freigeben(const char* von, const char* bis) const;
    // The file became shorter while it was mapped: some of the text read were zeros.
    bool Verkuerzt() const { return ansicht_.Verkuerzt(); }

private:
    plattform::TAnsicht ansicht_;  // the whole file
    std::string_view text_;        // the text within it
};

}  // namespace zentrix
