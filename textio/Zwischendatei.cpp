// SPDX-License-Identifier: GPL-3.0-or-later
#include "textio/Zwischendatei.hpp"

#include <algorithm>
#include <cerrno>

#include "core/Plattform.hpp"

namespace zentrix {

TZwischendatei::TZwischendatei() : datei_(plattform::TemporaereDatei()) {}

TZwischendatei::~TZwischendatei() {
    if (datei_ != nullptr) std::fclose(datei_);
}

bool TZwischendatei::Anhaengen(std::string_view text) {
    if (datei_ == nullptr) {
        speicher_.append(text);
    } else if (fehler_ == 0 &&
               (std::fseek(datei_, 0, SEEK_END) != 0 || std::fwrite(text.data(), 1, text.size(), datei_) != text.size())) {
        fehler_ = errno != 0 ? errno : EIO;
    }
    laenge_ += text.size();
    return fehler_ == 0;
}

void TZwischendatei::Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const {
    if (datei_ == nullptr) {
        out.assign(speicher_, static_cast<std::size_t>(pos), laenge);
        return;
    }
    std::fflush(datei_);
    out.resize(laenge);
    std::size_t gelesen = 0;
    while (gelesen < laenge) {
        const long long n = plattform::LiesAn(datei_, out.data() + gelesen, laenge - gelesen, pos + gelesen);
        if (n <= 0) break;
        gelesen += static_cast<std::size_t>(n);
    }
    out.resize(gelesen);
}

void TZwischendatei::Leeren() {
    speicher_.clear();
    laenge_ = 0;
    fehler_ = 0;
    if (datei_ != nullptr && plattform::KuerzeStrom(datei_) == 0) std::rewind(datei_);
}

bool TZwischendatei::KopiereNach(std::FILE* ziel) const {
    if (fehler_ != 0) {
        errno = fehler_;
        return false;
    }
    if (datei_ == nullptr) return std::fwrite(speicher_.data(), 1, speicher_.size(), ziel) == speicher_.size();
    constexpr std::uint64_t stueck = 1 << 20;  // a megabyte at a time
    std::string teil;
    for (std::uint64_t pos = 0; pos < laenge_; pos += stueck) {
        Lesen(pos, static_cast<std::size_t>(std::min(stueck, laenge_ - pos)), teil);
        if (teil.empty() || std::fwrite(teil.data(), 1, teil.size(), ziel) != teil.size()) return false;
    }
    return true;
}

}  // namespace zentrix
