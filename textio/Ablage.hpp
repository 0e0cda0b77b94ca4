// Files written whole beside their target before they are put in place: the checks before, the
// writing and making durable, and the points at which a test can cut the writing short.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace zentrix {

// Where the writing of a file can be cut short (see AblageTestHaken).
enum class TAblagePunkt {
    Schreiben,  // the content of a new file is about to be written
    Sichern,    // a new file is about to be made durable
    Tausch,     // a group of outputs is about to take the swap's step with the given number
};

// For tests only; the program never sets it. Called at each such point with the swap's step
// number (0 outside a swap). A result other than 0 is the errno value the step then fails with
// (where the step can fail); a test may also end the process there, as a crash would.
extern int (*AblageTestHaken)(TAblagePunkt punkt, int schritt);

namespace ablage {

namespace fs = std::filesystem;

// The folder a file lies in ("." for a bare file name).
fs::path Ordner(const fs::path& datei);

// Tests that path can be written as a whole new file. Returns the I/O code; err gets the errno
// value that describes a failure.
int PruefeSchreibbar(const std::string& path, int& err);

// Asks the test hook, if any, whether the step at punkt is to fail (its errno value, else 0).
int Probe(TAblagePunkt punkt, int schritt = 0);

// Flushes, makes durable (fdatasync) and closes a file written anew. Returns the errno value of
// the first failure (0: none).
int SchliesseDauerhaft(std::FILE* f);

// Creates the new file pfad (which must not exist), writes it through schreibe (false when a
// write failed, errno telling why), makes it durable and closes it. Returns the errno value of a
// failure, after which no file is left; 0 on success.
int SchreibeNeu(const fs::path& pfad, const std::function<bool(std::FILE*)>& schreibe);

// Makes the names in a folder durable (fsync): files created, renamed or exchanged there. Returns
// the errno value of a failure; a file system that cannot sync a folder counts as done.
int SichereOrdner(const fs::path& ordner);

}  // namespace ablage

}  // namespace zentrix
