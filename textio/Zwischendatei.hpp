// SPDX-License-Identifier: GPL-3.0-or-later
// A temporary file without a name: written at its end, read back anywhere, gone when closed.
// For text that would otherwise have to be held in memory until it is put into its own file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zentrix {

class TZwischendatei {
public:
    // Opens the file in the system's temporary folder; where none can be made, the text stays in
    // memory instead.
    TZwischendatei();
    ~TZwischendatei();
    TZwischendatei(const TZwischendatei&) = delete;
    TZwischendatei& operator=(const TZwischendatei&) = delete;

    // False when a write failed (a full disk: Fehler() tells why); the text is then incomplete.
    bool Anhaengen(std::string_view text);
    int Fehler() const { return fehler_; }
    void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const;
    void Leeren();
    std::uint64_t Laenge() const { return laenge_; }
    // Copies the whole text to an open file; false when reading or writing failed (errno tells
    // why).
    bool KopiereNach(std::FILE* ziel) const;

private:
    std::FILE* datei_ = nullptr;
    std::string speicher_;  // when there is no file
    std::uint64_t laenge_ = 0;
    int fehler_ = 0;  // the errno value of the first failed write
};

}  // namespace zentrix
