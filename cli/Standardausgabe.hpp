// The batch tool's standard output with every write checked. A report or a JSON object cut short
// by a full disk must not pass for a whole one: the first failure of a write, a flush or the
// close is kept, and the program says so and ends with an error.
#pragma once

#include <cstdio>
#include <streambuf>
#include <vector>

namespace zentrix {

class TGepruefteAusgabe : public std::streambuf {
public:
    // Writes to datei (stdout), which it closes in Schliesse.
    explicit TGepruefteAusgabe(std::FILE* datei);
    TGepruefteAusgabe(const TGepruefteAusgabe&) = delete;
    TGepruefteAusgabe& operator=(const TGepruefteAusgabe&) = delete;

    // Writes what is buffered and closes the file; false when a write, the flush or the close
    // failed (Fehler() tells why). Nothing more may be written after it.
    bool Schliesse();
    // The errno value of the first failure (0: none).
    int Fehler() const { return fehler_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    // Writes n bytes to the file; after a failure nothing more is written (the rest would be
    // lost as well), but the command goes on to its end.
    void Schreibe(const char* p, std::size_t n);
    void Leeren();

    std::FILE* datei_;
    std::vector<char> puffer_;
    int fehler_ = 0;
};

}  // namespace zentrix
