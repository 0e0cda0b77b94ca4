#include "cli/Standardausgabe.hpp"

#include <algorithm>
#include <cerrno>

namespace zentrix {

namespace {

constexpr std::size_t kPuffer = 1u << 16;  // bytes collected before they are written

}  // namespace

TGepruefteAusgabe::TGepruefteAusgabe(std::FILE* datei) : datei_(datei), puffer_(kPuffer) {
    // This buffer is the only one: every write of the C stream then goes to the system at once,
    // and its failure (errno) is seen where it happens.
    std::setvbuf(datei_, nullptr, _IONBF, 0);
    setp(puffer_.data(), puffer_.data() + puffer_.size());
}

void TGepruefteAusgabe::Schreibe(const char* p, std::size_t n) {
    if (fehler_ != 0 || n == 0) return;
    errno = 0;
    if (std::fwrite(p, 1, n, datei_) != n) fehler_ = errno != 0 ? errno : EIO;
}

void TGepruefteAusgabe::Leeren() {
    Schreibe(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(puffer_.data(), puffer_.data() + puffer_.size());
}

TGepruefteAusgabe::int_type TGepruefteAusgabe::overflow(int_type c) {
    Leeren();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize TGepruefteAusgabe::xsputn(const char* s, std::streamsize n) {
    // A large piece (a megabyte of report) goes out directly, behind what is buffered.
    if (n > epptr() - pptr()) {
        Leeren();
        if (n >= static_cast<std::streamsize>(puffer_.size())) {
            Schreibe(s, static_cast<std::size_t>(n));
            return n;
        }
    }
    std::copy(s, s + n, pptr());
    pbump(static_cast<int>(n));
    return n;
}

int TGepruefteAusgabe::sync() {
    Leeren();
    errno = 0;
    if (fehler_ == 0 && std::fflush(datei_) != 0) fehler_ = errno != 0 ? errno : EIO;
    return fehler_ == 0 ? 0 : -1;
}

bool TGepruefteAusgabe::Schliesse() {
    sync();
    errno = 0;
    if (std::fclose(datei_) != 0 && fehler_ == 0) fehler_ = errno != 0 ? errno : EIO;
    return fehler_ == 0;
}

}  // namespace zentrix
