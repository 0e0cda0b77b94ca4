// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/BinaerDatei.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
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
    if (pfad.empty()) Fehler(ea::UngueltigerName, pfad_);
    fd_ = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        const int err = errno;
        std::error_code ec;
        const std::filesystem::path ordner = std::filesystem::path(pfad).parent_path();
        if (err == ENOENT && !ordner.empty() && !std::filesystem::is_directory(ordner, ec))
            Fehler(ea::UngueltigerName, pfad_);
        Fehler(IOCodeFromErrno(err), pfad_);
    }
    struct stat st {};
    int code = 0;
    if (::fstat(fd_, &st) != 0) code = IOCodeFromErrno(errno);
    else if (S_ISDIR(st.st_mode)) code = IOCodeFromErrno(EISDIR);
    else if (!S_ISREG(st.st_mode)) code = ea::KeineGewoehnlicheDatei;
    if (code != 0) {
        ::close(fd_);
        Fehler(code, pfad_);
    }
    groesse_ = static_cast<std::uint64_t>(st.st_size);
}

TBinaerDatei::~TBinaerDatei() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t TBinaerDatei::Lies(std::uint64_t pos, void* ziel, std::size_t n) const {
    auto* z = static_cast<char*>(ziel);
    std::size_t gelesen = 0;
    while (gelesen < n) {
        const ssize_t r = ::pread(fd_, z + gelesen, n - gelesen, static_cast<off_t>(pos + gelesen));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) Fehler(IOCodeFromErrno(errno), pfad_, static_cast<long long>(pos + gelesen));
        if (r == 0) break;
        gelesen += static_cast<std::size_t>(r);
    }
    return gelesen;
}

std::string TBinaerDatei::Anfang(std::size_t n) const {
    std::string anfang(static_cast<std::size_t>(std::min<std::uint64_t>(n, groesse_)), '\0');
    anfang.resize(Lies(0, anfang.data(), n));
    return anfang;
}

}  // namespace zentrix
