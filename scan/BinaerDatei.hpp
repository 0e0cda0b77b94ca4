// SPDX-License-Identifier: GPL-3.0-or-later
// A file read by byte offsets, from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/Plattform.hpp"

namespace zentrix {

class TBinaerDatei {
public:
    // Opens a regular file for reading, without blocking, so that a pipe without a writer cannot
    // stop the program; a folder, a device, a pipe or a socket is refused at once. A failure raises
    // EInOutError with its I/O code and the file as its place.
    explicit TBinaerDatei(const std::string& pfad);
    ~TBinaerDatei();
    TBinaerDatei(const TBinaerDatei&) = delete;
    TBinaerDatei& operator=(const TBinaerDatei&) = delete;

    // The file's full path, as messages name it.
    const std::string& Pfad() const { return pfad_; }
    std::uint64_t Groesse() const { return groesse_; }
    // Reads up to n bytes from offset pos into ziel; fewer only where the file ends. A failure of
    // the system raises EInOutError with the file and the offset as its place.
    std::size_t Lies(std::uint64_t pos, void* ziel, std::size_t n) const;
    // The first bytes of the file, at most n of them.
    std::string Anfang(std::size_t n) const;

private:
    std::string pfad_;
    plattform::TDatei datei_;
    std::FILE* strom_ = nullptr;  // a stream on the file for reads at an offset, from any thread
    std::uint64_t groesse_ = 0;
};

}  // namespace zentrix
