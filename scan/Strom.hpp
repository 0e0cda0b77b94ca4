// SPDX-License-Identifier: GPL-3.0-or-later
// A file read front to back through a buffer: the readers' way through headers and through
// records of varying size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scan/BinaerDatei.hpp"

namespace zentrix {

class TStrom {
public:
    TStrom(const TBinaerDatei& datei, std::uint64_t pos);

    // The offset of the next byte.
    std::uint64_t Position() const { return anfang_ + i_; }
    bool AmEnde();
    // The next byte, or -1 at the end of the file.
    int Zeichen() {
        if (i_ == puffer_.size() && !Nachladen()) return -1;
        return puffer_[i_++];
    }
    // The next n bytes into ziel; false when the file ends before them.
    bool Lies(void* ziel, std::size_t n);
    // Passes over n bytes; false when the file ends before them.
    bool Ueberspringe(std::uint64_t n);

private:
    bool Nachladen();

    const TBinaerDatei& datei_;
    std::vector<unsigned char> puffer_;
    std::uint64_t anfang_;  // the offset of the buffer's first byte
    std::size_t i_ = 0;     // the next byte in the buffer
};

}  // namespace zentrix
