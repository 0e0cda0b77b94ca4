#include "textio/Abbild.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "core/EACode.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"

namespace zentrix {

namespace {

// The mappings being read, for the handler of SIGBUS: where each lies, and whether an access
// behind the end of its shortened file has happened. A handful are read at a time at most; a
// mapping finds no free entry only with more than that, and is then read unguarded.
struct TBewacht {
    std::atomic<std::uintptr_t> von{0}, bis{0};
    std::atomic<bool> verkuerzt{false};
};
constexpr int Bewachte = 16;
TBewacht bewacht[Bewachte];
struct sigaction vorher {};

// An access to a page of a guarded mapping that lies behind the end of its file: a page of zeros
// is put in its place, the access is repeated and reads zeros, and the mapping is marked. Any
// other SIGBUS is the system's as before.
void BeiSigbus(int signal, siginfo_t* info, void* kontext) {
    const auto adresse = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (TBewacht& b : bewacht) {
        if (adresse < b.von.load() || adresse >= b.bis.load()) continue;
        const auto seite = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        void* anfang = reinterpret_cast<void*>(adresse & ~(seite - 1));
        if (::mmap(anfang, seite, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            b.verkuerzt.store(true);
            return;
        }
        break;
    }
    ::sigaction(SIGBUS, &vorher, nullptr);
    if (vorher.sa_flags & SA_SIGINFO) {
        if (vorher.sa_sigaction != nullptr) vorher.sa_sigaction(signal, info, kontext);
    } else if (vorher.sa_handler != SIG_DFL && vorher.sa_handler != SIG_IGN) {
        vorher.sa_handler(signal);
    } else {
        ::raise(SIGBUS);
    }
}

int Bewache(const void* basis, std::size_t laenge) {
    static std::once_flag einmal;
    std::call_once(einmal, [] {
        struct sigaction neu {};
        neu.sa_sigaction = BeiSigbus;
        neu.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&neu.sa_mask);
        ::sigaction(SIGBUS, &neu, &vorher);
    });
    for (int i = 0; i < Bewachte; ++i) {
        std::uintptr_t frei = 0;
        if (bewacht[i].von.compare_exchange_strong(frei, reinterpret_cast<std::uintptr_t>(basis))) {
            bewacht[i].verkuerzt.store(false);
            bewacht[i].bis.store(reinterpret_cast<std::uintptr_t>(basis) + laenge);
            return i;
        }
    }
    return -1;
}

void Entlasse(int eintrag) {
    if (eintrag < 0) return;
    bewacht[eintrag].bis.store(0);
    bewacht[eintrag].von.store(0);
}

// The first bytes that tell whether a file is text (as for reading a whole file).
constexpr std::size_t Textprobe = 64 * 1024;

bool IstText(std::string_view anfang) {
    for (const std::string_view marke : {std::string_view("\xFF\xFE", 2), std::string_view("\xFE\xFF", 2),
                                         std::string_view("\x00\x00\xFE\xFF", 4)})
        if (anfang.substr(0, marke.size()) == marke) return false;
    return anfang.substr(0, Textprobe).find('\0') == std::string_view::npos;
}

// The stretch a scan of a mapped file looks at before it gives it back (bytes).
constexpr std::size_t Strecke = 1u << 20;

}  // namespace

std::size_t Zaehle(std::string_view text, char c, const TDateiAbbild* abbild) {
    std::size_t n = 0;
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        for (const char* p = stueck.data(), *ende = p + stueck.size();
             (p = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(ende - p)))) != nullptr; ++p)
            ++n;
        if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
    }
    return n;
}

std::size_t Finde(std::string_view text, char c, const TDateiAbbild* abbild) {
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        const std::size_t da = stueck.find(c);
        if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
        if (da != std::string_view::npos) return von + da;
    }
    return std::string_view::npos;
}

int TDateiAbbild::Oeffne(const std::string& pfad, int& err) {
    Schliesse();
    err = 0;
    if (pfad.empty()) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        err = errno;
        // A missing file in a missing folder is a bad name; a folder that cannot be looked at
        // says why.
        if (err == ENOENT) {
            const int ordner = ablage::OrdnerFehler(ablage::Ordner(std::filesystem::path(pfad)));
            if (ordner == ENOENT || ordner == ENOTDIR) return ea::UngueltigerName;
            if (ordner != 0) err = ordner;
        }
        return IOCodeFromErrno(err);
    }
    struct TDatei {
        int fd;
        ~TDatei() { ::close(fd); }
    } datei{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        err = errno;
        return IOCodeFromErrno(err);
    }
    if (S_ISDIR(st.st_mode)) {
        err = EISDIR;
        return IOCodeFromErrno(err);
    }
    if (!S_ISREG(st.st_mode)) return ea::KeineGewoehnlicheDatei;
    if (st.st_size == 0) return 0;
    const auto laenge = static_cast<std::size_t>(st.st_size);
    void* basis = ::mmap(nullptr, laenge, PROT_READ, MAP_PRIVATE, fd, 0);
    if (basis == MAP_FAILED) {
        err = errno;
        return IOCodeFromErrno(err);
    }
    basis_ = basis;
    laenge_ = laenge;
    eintrag_ = Bewache(basis, laenge);
    ::madvise(basis, laenge, MADV_SEQUENTIAL);
    text_ = std::string_view(static_cast<const char*>(basis), laenge);
    if (!IstText(text_)) {
        Schliesse();
        return ea::KeineTextdatei;
    }
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
    return 0;
}

void TDateiAbbild::Schliesse() {
    if (basis_ != nullptr) {
        Entlasse(eintrag_);
        ::munmap(basis_, laenge_);
    }
    basis_ = nullptr;
    laenge_ = 0;
    eintrag_ = -1;
    text_ = {};
}

void TDateiAbbild::Freigeben(const char* von, const char* bis) const {
    if (basis_ == nullptr || bis <= von) return;
    const auto seite = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto anfang = (reinterpret_cast<std::uintptr_t>(von) + seite - 1) & ~(seite - 1);
    const auto ende = reinterpret_cast<std::uintptr_t>(bis) & ~(seite - 1);
    // The pages go; read again, they come back from the file.
    if (ende > anfang) ::madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_DONTNEED);
}

bool TDateiAbbild::Verkuerzt() const { return eintrag_ >= 0 && bewacht[eintrag_].verkuerzt.load(); }

}  // namespace zentrix
