// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/BinaerDatei.hpp"

#include <algorithm>
#include <cerrno>

#include "core/Fehler.hpp"
#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

[[noreturn]] void Fehler(int code, const std::string& pfad, long long byte = -1) {
    EInOutError e(code);
    e.Ort.Datei = pfad;
    e.Ort.Byte = byte;
    throw e;
}

}  // namespace

TBinaerDatei::TBinaerDatei(const std::string& pfad) : pfad_(VollerPfad(pfad)) {
    plattform::TInfo info;
    int err = 0;
    int code = ablage::OeffneZumLesen(pfad, datei_, info, err);
    if (code == 0 && (strom_ = datei_.Strom("rb")) == nullptr) code = IOCodeFromErrno(errno);
    if (code != 0) Fehler(code, pfad_);
    groesse_ = info.Groesse;
}

TBinaerDatei::~TBinaerDatei() {
    if (strom_ != nullptr) std::fclose(strom_);
}

std::size_t TBinaerDatei::Lies(std::uint64_t pos, void* ziel, std::size_t n) const {
    auto* z = static_cast<char*>(ziel);
    std::size_t gelesen = 0;
    while (gelesen < n) {
        errno = 0;
        const long long r = plattform::LiesAn(strom_, z + gelesen, n - gelesen, pos + gelesen);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) Fehler(IOCodeFromErrno(errno != 0 ? errno : EIO), pfad_, static_cast<long long>(pos + gelesen));
        if (r == 0) break;
        gelesen += static_cast<std::size_t>(r);
    }
    return gelesen;
}

std::string TBinaerDatei::Anfang(std::size_t n) const {
    std::string anfang(static_cast<std::size_t>(std::min<std::uint64_t>(n, groesse_)), '\0');
    // Never asks for more than the buffer holds: Windows checks the whole buffer, not only what
    // the file has left.
    anfang.resize(Lies(0, anfang.data(), anfang.size()));
    return anfang;
}

}  // namespace zentrix
