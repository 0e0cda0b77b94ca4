// Files written whole beside their target: checks, names, locks, writing, making durable.
#include "textio/Ablage.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "core/EACode.hpp"
#include "core/SystemFehler.hpp"

namespace zentrix {

int (*AblageTestHaken)(TAblagePunkt punkt, int schritt) = nullptr;

namespace ablage {

namespace {

constexpr mode_t kSchreibRechte = S_IWUSR | S_IWGRP | S_IWOTH;

// A file system that cannot make a file or folder durable says so with one of these: there is
// nothing more to be done.
bool NichtUnterstuetzt(int err) { return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EROFS; }

// A file system without locks (a network file system without its lock service, some FUSE file
// systems) says so with one of these.
bool OhneSperren(int err) { return err == ENOLCK || err == ENOSYS || err == EOPNOTSUPP; }

// The status of a path (links followed); the errno value of a failure.
int Status(const fs::path& p, struct stat& st) { return ::stat(p.c_str(), &st) == 0 ? 0 : errno; }

// The longest name the folder takes (bytes).
std::size_t NamensGrenze(const fs::path& ordner) {
    const long grenze = ::pathconf(ordner.c_str(), _PC_NAME_MAX);
    return grenze > 0 ? static_cast<std::size_t>(grenze) : 255;
}

// 64-bit FNV-1a of a name as 16 hex digits: short, and the same for the same name on every run.
std::string Digest(std::string_view name) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ULL;
    }
    constexpr char hex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) text[static_cast<std::size_t>(i)] = hex[h & 15];
    return text;
}

// Opens the hidden file pfad (created where missing) and locks it. A file that another write of
// the same target put in place while this one waited for the lock no longer has that name: it is
// let go and the file now under the name is taken. Returns the errno value of a failure.
int OeffneGesperrt(const std::string& pfad, int& fd) {
    for (;;) {
        fd = ::open(pfad.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0666);
        if (fd < 0) return errno;
        struct stat offen, benannt;
        int err = Sperre(fd);
        if (err == 0 && ::fstat(fd, &offen) != 0) err = errno;
        if (err == 0 && !S_ISREG(offen.st_mode)) err = EEXIST;  // not one of this program's files
        if (err != 0) {
            ::close(fd);
            return err;
        }
        if (::lstat(pfad.c_str(), &benannt) == 0 && benannt.st_dev == offen.st_dev && benannt.st_ino == offen.st_ino)
            return 0;
        ::close(fd);
    }
}

}  // namespace

fs::path Ordner(const fs::path& datei) {
    fs::path folder = datei.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

int OrdnerFehler(const fs::path& ordner) {
    struct stat st;
    const int err = Status(ordner, st);
    return err != 0 ? err : S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

bool GleicheDatei(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    const int ea = Status(a, sa), eb = Status(b, sb);
    if (ea == 0 && eb == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // A name that leads to no file is not the other, existing one.
    if ((ea == 0 && eb == ENOENT) || (ea == ENOENT && eb == 0)) return false;
    // Where neither exists (or either cannot be looked at), compare the resolved paths.
    std::error_code eca, ecb;
    const fs::path ca = fs::weakly_canonical(fs::path(a), eca), cb = fs::weakly_canonical(fs::path(b), ecb);
    if (!eca && !ecb) return ca == cb;
    return fs::absolute(fs::path(a), eca).lexically_normal() == fs::absolute(fs::path(b), ecb).lexically_normal();
}

std::string Versteckt(const fs::path& datei, const std::string& art) {
    const fs::path ordner = Ordner(datei);
    const std::string name = datei.filename().string();
    std::string versteckt = "." + name + ".zentrix-" + art;
    if (versteckt.size() > NamensGrenze(ordner)) versteckt = ".zentrix-" + Digest(name) + "-" + art;
    return (ordner / versteckt).string();
}

int PruefeSchreibbar(const std::string& path, int& err) {
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    const fs::path p(path);
    struct stat ordner, ziel;
    // A folder that does not exist is a bad name; one that cannot be looked at says why.
    err = OrdnerFehler(Ordner(p));
    if (err == ENOENT || err == ENOTDIR) return ea::UngueltigerName;
    if (err == 0) err = Status(Ordner(p), ordner);
    if (err != 0) return IOCodeFromErrno(err);
    const int zielFehler = Status(p, ziel);
    if (zielFehler != 0 && zielFehler != ENOENT) {
        err = zielFehler;
        return IOCodeFromErrno(err);
    }
    const bool da = zielFehler == 0;
    if (da && S_ISDIR(ziel.st_mode)) {
        err = EISDIR;
        return ea::ZugriffVerweigert;
    }
    // A pipe or a device is written to, not replaced by a file.
    if (da && !S_ISREG(ziel.st_mode)) return ea::KeineGewoehnlicheDatei;
    // Write protection by the mode bits: the superuser could write anyway, but a protected
    // coordinate file must stay as it is.
    if ((da && (ziel.st_mode & kSchreibRechte) == 0) || (ordner.st_mode & kSchreibRechte) == 0) {
        err = EACCES;
        return ea::ZugriffVerweigert;
    }
    return ea::Ok;
}

int Probe(TAblagePunkt punkt, int schritt) { return AblageTestHaken != nullptr ? AblageTestHaken(punkt, schritt) : 0; }

int Sperre(int fd, const std::function<void()>& wartet) {
    int err = Probe(TAblagePunkt::Sperre);
    if (err == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) err = errno;
    if (err == EWOULDBLOCK) {
        if (wartet) wartet();
        while ((err = ::flock(fd, LOCK_EX) == 0 ? 0 : errno) == EINTR) {
        }
    }
    if (!OhneSperren(err)) return err;
    // Where there are no locks the work goes on unlocked, as every run did before there were any.
    static std::atomic<bool> gesagt = false;
    if (!gesagt.exchange(true))
        std::fputs("Hinweis: Das Dateisystem kennt keine Dateisperren; zwei Läufe auf dieselben Dateien zur selben "
                   "Zeit werden nicht auseinandergehalten.\n",
                   stderr);
    return 0;
}

int UebernimmRechte(const std::string& neu, const std::string& ziel) {
    struct stat alt, st;
    if (Status(ziel, alt) != 0) return 0;  // no old file: the new one keeps what it was given
    const mode_t rechte = alt.st_mode & 07777;
    int err = Probe(TAblagePunkt::Rechte);
    if (err == 0 && ::chmod(neu.c_str(), rechte) == 0) return 0;
    if (err == 0) err = errno;
    // A file system without permissions of its own (vfat) gives every file the same: nothing lost.
    if (Status(neu, st) == 0 && (st.st_mode & 07777) == rechte) return 0;
    return err;
}

int SchliesseDauerhaft(std::FILE* f) {
    int err = std::fflush(f) == 0 ? 0 : (errno != 0 ? errno : EIO);
    if (err == 0) err = Probe(TAblagePunkt::Sichern);
    // The data must be on the disk before the file takes its target's name: after a power cut
    // the name would otherwise lead to an empty file.
    if (err == 0 && ::fdatasync(fileno(f)) != 0 && !NichtUnterstuetzt(errno)) err = errno;
    if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    return err;
}

int SchreibeNeu(const fs::path& pfad, const std::function<bool(std::FILE*)>& schreibe) {
    errno = 0;
    std::FILE* f = std::fopen(pfad.c_str(), "wbx");
    if (f == nullptr) return errno != 0 ? errno : EIO;
    int err = Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (err == 0 && !schreibe(f)) err = errno != 0 ? errno : EIO;
    const int beimSchliessen = SchliesseDauerhaft(f);
    if (err == 0) err = beimSchliessen;
    if (err != 0) {
        std::error_code ec;
        fs::remove(pfad, ec);
    }
    return err;
}

int SichereOrdner(const fs::path& ordner) {
    if (const int err = Probe(TAblagePunkt::Ordner); err != 0) return err;
    const int fd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    if (::fsync(fd) != 0 && !NichtUnterstuetzt(errno)) err = errno;
    ::close(fd);
    return err;
}

int SchreibeGanz(const fs::path& ziel, const std::function<bool(std::FILE*)>& schreibe, bool& amPlatz) {
    amPlatz = false;
    const std::string neu = Versteckt(ziel, "neu");
    int sperre = -1;
    if (const int err = OeffneGesperrt(neu, sperre); err != 0) return err;
    // The lock stays with this handle until the file has its place; the content goes through a
    // second one. What a write cut short left in the file goes first.
    int err = ::ftruncate(sperre, 0) == 0 ? 0 : errno;
    const int zweite = err == 0 ? ::dup(sperre) : -1;
    std::FILE* f = zweite >= 0 ? ::fdopen(zweite, "wb") : nullptr;
    if (err == 0 && f == nullptr) err = errno != 0 ? errno : EIO;
    if (f == nullptr && zweite >= 0) ::close(zweite);
    if (err == 0) err = Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (err == 0 && !schreibe(f)) err = errno != 0 ? errno : EIO;
    if (f != nullptr) {
        const int beimSchliessen = SchliesseDauerhaft(f);
        if (err == 0) err = beimSchliessen;
    }
    if (err == 0) err = UebernimmRechte(neu, ziel.string());
    if (err == 0) err = Probe(TAblagePunkt::Umbenennen);
    if (err == 0 && ::rename(neu.c_str(), ziel.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(neu.c_str());  // locked: no other write uses it
        ::close(sperre);
        return err;
    }
    amPlatz = true;
    err = SichereOrdner(Ordner(ziel));
    ::close(sperre);
    return err;
}

int PruefeNeueDatei(const fs::path& ziel) {
    const std::string neu = Versteckt(ziel, "neu");
    const int fd = ::open(neu.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    // There is one already: a write of the same target under way, or what one cut short left.
    if (fd < 0) return errno == EEXIST ? 0 : errno;
    // Removed again at once, unless a write of the same target has taken it over meanwhile.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) ::unlink(neu.c_str());
    ::close(fd);
    return 0;
}

}  // namespace ablage

}  // namespace zentrix
