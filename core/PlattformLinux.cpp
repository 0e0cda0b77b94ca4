// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface on Linux: POSIX calls and the few of Linux's own (renameat2,
// sync_file_range, madvise), and the handler of SIGBUS that guards a view of a shortened file.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

#include "core/Plattform.hpp"

namespace zentrix::plattform {

namespace {

// A file system that cannot make a file or folder durable says so with one of these: there is
// nothing more to be done.
bool NichtUnterstuetzt(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EROFS; }

std::size_t Seite() {
    static const auto seite = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return seite;
}

void Fuelle(const struct stat& st, TInfo& info) {
    info.Art = S_ISREG(st.st_mode) ? TArt::Datei : S_ISDIR(st.st_mode) ? TArt::Ordner : TArt::Anderes;
    info.Kennung = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    info.Groesse = static_cast<std::uint64_t>(st.st_size);
    info.Schreibgeschuetzt = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    info.Rechte = st.st_mode & 07777;
}

}  // namespace

std::vector<std::string> Programmstart(int argc, char** argv) { return {argv + std::min(argc, 1), argv + argc}; }

void RechenwerkEinrichten() {}

fs::path Pfad(std::string_view utf8) { return fs::path(utf8); }

std::string Text(const fs::path& pfad) { return pfad.string(); }

std::size_t NamensAnfang(std::string_view pfad) {
    const std::size_t slash = pfad.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string FehlerText(int) { return {}; }

// ---------------------------------------------------------------------------------------------
// Files

int Info(const std::string& pfad, TInfo& info, bool folgen) {
    struct stat st;
    if ((folgen ? ::stat(pfad.c_str(), &st) : ::lstat(pfad.c_str(), &st)) != 0) return errno;
    Fuelle(st, info);
    return 0;
}

TDatei::TDatei(TDatei&& andere) noexcept : fd_(std::exchange(andere.fd_, -1)) {}

TDatei& TDatei::operator=(TDatei&& andere) noexcept {
    if (this != &andere) {
        Schliesse();
        fd_ = std::exchange(andere.fd_, -1);
    }
    return *this;
}

int TDatei::Oeffne(const std::string& pfad, TOeffnen art) {
    Schliesse();
    int flags = O_CLOEXEC | O_NOCTTY;
    switch (art) {
        // Without blocking: a pipe without a writer cannot stop the program.
        case TOeffnen::Lesen: flags |= O_RDONLY | O_NONBLOCK; break;
        case TOeffnen::Offen: flags |= O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK; break;
        case TOeffnen::Neu: flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    fd_ = ::open(pfad.c_str(), flags, 0666);
    return fd_ >= 0 ? 0 : errno;
}

bool TDatei::Offen() const { return fd_ >= 0; }

int TDatei::Info(TInfo& info) const {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return errno;
    Fuelle(st, info);
    return 0;
}

int TDatei::Sperre(bool warten) {
    int err = 0;
    while ((err = ::flock(fd_, warten ? LOCK_EX : LOCK_EX | LOCK_NB) == 0 ? 0 : errno) == EINTR) {
    }
    return err;
}

int TDatei::Kuerze() { return ::ftruncate(fd_, 0) == 0 ? 0 : errno; }

long long TDatei::Lies(void* ziel, std::size_t n) {
    for (;;) {
        const ssize_t gelesen = ::read(fd_, ziel, n);
        if (gelesen >= 0 || errno != EINTR) return gelesen;
    }
}

std::FILE* TDatei::Strom(const char* modus) const {
    const int zweite = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (zweite < 0) return nullptr;
    std::FILE* f = ::fdopen(zweite, modus);
    if (f == nullptr) {
        const int err = errno;
        ::close(zweite);
        errno = err;
    }
    return f;
}

void TDatei::Schliesse() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int SichereStrom(std::FILE* f) {
    // The data must be on the disk before the file takes its target's name: after a power cut
    // the name would otherwise lead to an empty file.
    if (::fdatasync(fileno(f)) != 0 && !NichtUnterstuetzt(errno)) return errno;
    return 0;
}

int KuerzeStrom(std::FILE* f) { return ::ftruncate(fileno(f), 0) == 0 ? 0 : errno; }

long long LiesAn(std::FILE* f, void* ziel, std::size_t n, std::uint64_t pos) {
    for (;;) {
        const ssize_t gelesen = ::pread(fileno(f), ziel, n, static_cast<off_t>(pos));
        if (gelesen >= 0 || errno != EINTR) return gelesen;
    }
}

void SchreibeFrueh(std::FILE* f, std::uint64_t von, std::uint64_t laenge) {
    if (laenge > 0)
        ::sync_file_range(fileno(f), static_cast<off64_t>(von), static_cast<off64_t>(laenge), SYNC_FILE_RANGE_WRITE);
}

std::FILE* TemporaereDatei() { return std::tmpfile(); }

// ---------------------------------------------------------------------------------------------
// Names in a folder

int Umbenenne(const std::string& von, const std::string& ziel) {
    return ::rename(von.c_str(), ziel.c_str()) == 0 ? 0 : errno;
}

int Tausche(const std::string& a, const std::string& b, const std::string&) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return 0;
    return errno == EINVAL || errno == ENOSYS ? ENOTSUP : errno;
}

int Loesche(const std::string& pfad) { return ::unlink(pfad.c_str()) == 0 ? 0 : errno; }

int SichereOrdner(const std::string& ordner) {
    const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    if (::fsync(fd) != 0 && !NichtUnterstuetzt(errno)) err = errno;
    ::close(fd);
    return err;
}

int SetzeRechte(const std::string& pfad, unsigned rechte) {
    return ::chmod(pfad.c_str(), static_cast<mode_t>(rechte)) == 0 ? 0 : errno;
}

bool NamePasst(const std::string& ordner, std::string_view name) {
    const long grenze = ::pathconf(ordner.c_str(), _PC_NAME_MAX);
    return name.size() <= (grenze > 0 ? static_cast<std::size_t>(grenze) : 255);
}

// ---------------------------------------------------------------------------------------------
// A whole file seen in memory

namespace {

// The views being read, for the handler of SIGBUS: where each lies, and whether a read behind the
// end of its shortened file has happened. A handful are read at a time at most; a view finds no
// free entry only with more than that, and is then read unguarded.
struct TBewacht {
    std::atomic<std::uintptr_t> von{0}, bis{0};
    std::atomic<bool> verkuerzt{false};
};
constexpr int Bewachte = 16;
TBewacht bewacht[Bewachte];
struct sigaction vorher {};

// A read of a page of a guarded view that lies behind the end of its file: a page of zeros is put
// in its place, the read is repeated and gives zeros, and the view is marked. Any other SIGBUS is
// the system's as before.
void BeiSigbus(int signal, siginfo_t* info, void* kontext) {
    const auto adresse = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (TBewacht& b : bewacht) {
        if (adresse < b.von.load() || adresse >= b.bis.load()) continue;
        const auto seite = static_cast<std::uintptr_t>(Seite());
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
        Seite();  // known before the handler needs it
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

}  // namespace

int TAnsicht::Oeffne(const TDatei& datei) {
    Schliesse();
    TInfo info;
    if (const int err = datei.Info(info); err != 0) return err;
    if (info.Art != TArt::Datei) return EINVAL;
    if (info.Groesse == 0) return 0;  // nothing to map
    void* p = ::mmap(nullptr, info.Groesse, PROT_READ, MAP_PRIVATE, datei.fd_, 0);
    if (p == MAP_FAILED) return errno;
    daten_ = static_cast<const char*>(p);
    groesse_ = info.Groesse;
    eintrag_ = Bewache(p, groesse_);
    ::madvise(p, groesse_, MADV_SEQUENTIAL);
    return 0;
}

void TAnsicht::Freigeben(std::size_t von, std::size_t bis) const {
    bis = std::min(bis, groesse_);
    if (daten_ == nullptr || bis <= von) return;
    const auto seite = static_cast<std::uintptr_t>(Seite());
    const auto anfang = (reinterpret_cast<std::uintptr_t>(daten_ + von) + seite - 1) & ~(seite - 1);
    const auto ende = reinterpret_cast<std::uintptr_t>(daten_ + bis) & ~(seite - 1);
    // The pages go; read again, they come back from the file.
    if (ende > anfang) ::madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_DONTNEED);
}

bool TAnsicht::Verkuerzt() const { return eintrag_ >= 0 && bewacht[eintrag_].verkuerzt.load(); }

void TAnsicht::Schliesse() {
    if (daten_ != nullptr) {
        Entlasse(eintrag_);
        ::munmap(const_cast<char*>(daten_), groesse_);
    }
    daten_ = nullptr;
    groesse_ = 0;
    eintrag_ = -1;
}

// ---------------------------------------------------------------------------------------------
// The program itself, modules, memory

fs::path Programmdatei(std::string& fehler) {
    std::error_code ec;
    fs::path programm = fs::read_symlink("/proc/self/exe", ec);
    if (ec) fehler = "das Programm findet seinen Ordner nicht";
    return programm;
}

std::string ModulDatei(std::string_view name) { return std::string(name) + ".so"; }

void* LadeModulFunktion(const fs::path& modul, const char* symbol, std::string& fehler) {
    void* geladen = ::dlopen(modul.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* funktion = geladen != nullptr ? ::dlsym(geladen, symbol) : nullptr;
    if (funktion == nullptr) fehler = ::dlerror();
    return funktion;
}

void GrosseSeitenRaten(void* p, std::size_t n) {
    const auto a = reinterpret_cast<std::uintptr_t>(p), seite = static_cast<std::uintptr_t>(Seite());
    const std::uintptr_t anfang = (a + seite - 1) & ~(seite - 1), ende = (a + n) & ~(seite - 1);
    if (ende > anfang) ::madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_HUGEPAGE);
}

}  // namespace zentrix::plattform
