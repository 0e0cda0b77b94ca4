// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Strom.hpp"

#include <algorithm>
#include <cstring>

namespace zentrix {

namespace {

constexpr std::size_t Puffer = 1u << 20;

}  // namespace

TStrom::TStrom(const TBinaerDatei& datei, std::uint64_t pos) : datei_(datei), anfang_(pos) {}

bool TStrom::Nachladen() {
    anfang_ += puffer_.size();
    i_ = 0;
    // No larger than what is left of the file: a small file takes a small buffer.
    const std::size_t n = anfang_ < datei_.Groesse() ? static_cast<std::size_t>(std::min<std::uint64_t>(Puffer, datei_.Groesse() - anfang_)) : 0;
    puffer_.resize(n);
    puffer_.resize(n > 0 ? datei_.Lies(anfang_, puffer_.data(), n) : 0);
    return !puffer_.empty();
}

bool TStrom::AmEnde() { return i_ == puffer_.size() && !Nachladen(); }

bool TStrom::Lies(void* ziel, std::size_t n) {
    auto* z = static_cast<unsigned char*>(ziel);
    while (n > 0) {
        if (i_ == puffer_.size() && !Nachladen()) return false;
        const std::size_t k = std::min(n, puffer_.size() - i_);
        std::memcpy(z, puffer_.data() + i_, k);
        z += k;
        i_ += k;
        n -= k;
    }
    return true;
}

bool TStrom::Ueberspringe(std::uint64_t n) {
    const std::uint64_t ziel = Position() + n;
    if (ziel > datei_.Groesse()) return false;
    if (ziel <= anfang_ + puffer_.size()) {
        i_ = static_cast<std::size_t>(ziel - anfang_);
    } else {
        anfang_ = ziel;
        puffer_.clear();
        i_ = 0;
    }
    return true;
}

}  // namespace zentrix
