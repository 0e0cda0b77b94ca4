// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole beside their target: checks, names, locks, writing, making durable.
#include "textio/Ablage.hpp"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "core/EACode.hpp"
#include "core/SystemFehler.hpp"

namespace zentrix {

int (*AblageTestHaken)(TAblagePunkt punkt, int schritt) = nullptr;

namespace ablage {

namespace {

namespace fs = std::filesystem;
using plattform::TArt;
using plattform::TInfo;

// A file system without locks (a network file system without its lock service, some FUSE file
// systems, on Windows one that cannot lock) says so with one of these.
bool OhneSperren(int err) { return err == ENOLCK || err == ENOSYS || err == EOPNOTSUPP || err == ENOTSUP; }

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
int OeffneGesperrt(const std::string& pfad, plattform::TDatei& datei) {
    for (;;) {
        if (const int err = datei.Oeffne(pfad, plattform::TOeffnen::Offen); err != 0) return err;
        TInfo offen, benannt;
        int err = Sperre(datei);
        if (err == 0) err = datei.Info(offen);
        if (err == 0 && offen.Art != TArt::Datei) err = EEXIST;  // not one of this program's files
        if (err != 0) {
            datei.Schliesse();
            return err;
        }
        if (plattform::Info(pfad, benannt, false) == 0 && benannt.Kennung == offen.Kennung) return 0;
        datei.Schliesse();
    }
}

}  // namespace

std::string Ordner(const std::string& datei) {
    const fs::path folder = plattform::Pfad(datei).parent_path();
    return folder.empty() ? std::string(".") : plattform::Text(folder);
}

int OrdnerFehler(const std::string& ordner) {
    TInfo info;
    const int err = plattform::Info(ordner, info);
    return err != 0 ? err : info.Art == TArt::Ordner ? 0 : ENOTDIR;
}

int OeffneZumLesen(const std::string& pfad, plattform::TDatei& datei, plattform::TInfo& info, int& err) {
    err = 0;
    if (pfad.empty()) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    if ((err = datei.Oeffne(pfad, plattform::TOeffnen::Lesen)) != 0) {
        if (err == ENOENT) {
            const int ordner = OrdnerFehler(Ordner(pfad));
            if (ordner == ENOENT || ordner == ENOTDIR) return ea::UngueltigerName;
            if (ordner != 0) err = ordner;
        }
        return IOCodeFromErrno(err);
    }
    if ((err = datei.Info(info)) != 0) return IOCodeFromErrno(err);
    if (info.Art == TArt::Ordner) {
        err = EISDIR;
        return IOCodeFromErrno(err);
    }
    return info.Art == TArt::Datei ? 0 : ea::KeineGewoehnlicheDatei;
}

bool GleicheDatei(const std::string& a, const std::string& b) {
    TInfo sa, sb;
    const int ea = plattform::Info(a, sa), eb = plattform::Info(b, sb);
    if (ea == 0 && eb == 0) return sa.Kennung == sb.Kennung;
    // A name that leads to no file is not the other, existing one.
    if ((ea == 0 && eb == ENOENT) || (ea == ENOENT && eb == 0)) return false;
    // Where neither exists (or either cannot be looked at), compare the resolved paths.
    std::error_code eca, ecb;
    const fs::path pa = plattform::Pfad(a), pb = plattform::Pfad(b);
    const fs::path ca = fs::weakly_canonical(pa, eca), cb = fs::weakly_canonical(pb, ecb);
    if (!eca && !ecb) return ca == cb;
    return fs::absolute(pa, eca).lexically_normal() == fs::absolute(pb, ecb).lexically_normal();
}

std::string Versteckt(const std::string& datei, const std::string& art) {
    const std::string ordner = Ordner(datei);
    const std::string name = plattform::Text(plattform::Pfad(datei).filename());
    std::string versteckt = "." + name + ".zentrix-" + art;
    if (!plattform::NamePasst(ordner, versteckt)) versteckt = ".zentrix-" + Digest(name) + "-" + art;
    return plattform::Text(plattform::Pfad(ordner) / plattform::Pfad(versteckt));
}

int PruefeSchreibbar(const std::string& path, int& err) {
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return ea::UngueltigerName;
    }
    TInfo ordner, ziel;
    // A folder that does not exist is a bad name; one that cannot be looked at says why.
    err = OrdnerFehler(Ordner(path));
    if (err == ENOENT || err == ENOTDIR) return ea::UngueltigerName;
    if (err == 0) err = plattform::Info(Ordner(path), ordner);
    if (err != 0) return IOCodeFromErrno(err);
    const int zielFehler = plattform::Info(path, ziel);
    if (zielFehler != 0 && zielFehler != ENOENT) {
        err = zielFehler;
        return IOCodeFromErrno(err);
    }
    const bool da = zielFehler == 0;
    if (da && ziel.Art == TArt::Ordner) {
        err = EISDIR;
        return ea::ZugriffVerweigert;
    }
    // A pipe or a device is written to, not replaced by a file.
    if (da && ziel.Art != TArt::Datei) return ea::KeineGewoehnlicheDatei;
    // Write protection (on Linux by the mode bits: the superuser could write anyway, but a
    // protected coordinate file must stay as it is).
    if ((da && ziel.Schreibgeschuetzt) || ordner.Schreibgeschuetzt) {
        err = EACCES;
        return ea::ZugriffVerweigert;
    }
    return ea::Ok;
}

int Probe(TAblagePunkt punkt, int schritt) { return AblageTestHaken != nullptr ? AblageTestHaken(punkt, schritt) : 0; }

int Sperre(plattform::TDatei& datei, const std::function<void()>& wartet) {
    int err = Probe(TAblagePunkt::Sperre);
    if (err == 0) err = datei.Sperre(false);
    if (err == EWOULDBLOCK) {
        if (wartet) wartet();
        err = datei.Sperre(true);
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
    TInfo alt, st;
    if (plattform::Info(ziel, alt) != 0) return 0;  // no old file: the new one keeps what it was given
    int err = Probe(TAblagePunkt::Rechte);
    if (err == 0 && (err = plattform::SetzeRechte(neu, alt.Rechte)) == 0) return 0;
    // A file system without permissions of its own (vfat) gives every file the same: nothing lost.
    if (plattform::Info(neu, st) == 0 && st.Rechte == alt.Rechte) return 0;
    return err;
}

int SchliesseDauerhaft(std::FILE* f) {
    int err = std::fflush(f) == 0 ? 0 : (errno != 0 ? errno : EIO);
    if (err == 0) err = Probe(TAblagePunkt::Sichern);
    // The data must be on the disk before the file takes its target's name: after a power cut
    // the name would otherwise lead to an empty file.
    if (err == 0) err = plattform::SichereStrom(f);
    if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    return err;
}

int SchreibeNeu(const std::string& pfad, const std::function<bool(std::FILE*)>& schreibe) {
    errno = 0;
    std::FILE* f = plattform::OeffneStrom(pfad, plattform::TOeffnen::Neu, "wb");
    if (f == nullptr) return errno != 0 ? errno : EIO;
    int err = Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (err == 0 && !schreibe(f)) err = errno != 0 ? errno : EIO;
    const int beimSchliessen = SchliesseDauerhaft(f);
    if (err == 0) err = beimSchliessen;
    if (err != 0) plattform::Loesche(pfad);
    return err;
}

int SichereOrdner(const std::string& ordner) {
    if (const int err = Probe(TAblagePunkt::Ordner); err != 0) return err;
    return plattform::SichereOrdner(ordner);
}

int SchreibeGanz(const std::string& ziel, const std::function<bool(std::FILE*)>& schreibe, bool& amPlatz) {
    amPlatz = false;
    const std::string neu = Versteckt(ziel, "neu");
    plattform::TDatei sperre;
    if (const int err = OeffneGesperrt(neu, sperre); err != 0) return err;
    // The lock stays with this handle until the file has its place; the content goes through a
    // second one. What a write cut short left in the file goes first.
    int err = sperre.Kuerze();
    errno = 0;
    std::FILE* f = err == 0 ? sperre.Strom("wb") : nullptr;
    if (err == 0 && f == nullptr) err = errno != 0 ? errno : EIO;
    if (err == 0) err = Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (err == 0 && !schreibe(f)) err = errno != 0 ? errno : EIO;
    if (f != nullptr) {
        const int beimSchliessen = SchliesseDauerhaft(f);
        if (err == 0) err = beimSchliessen;
    }
    if (err == 0) err = UebernimmRechte(neu, ziel);
    if (err == 0) err = Probe(TAblagePunkt::Umbenennen);
    if (err == 0) err = plattform::Umbenenne(neu, ziel);
    if (err != 0) {
        plattform::Loesche(neu);  // locked: no other write uses it
        return err;
    }
    amPlatz = true;
    return SichereOrdner(Ordner(ziel));  // the lock goes after this
}

int PruefeNeueDatei(const std::string& ziel) {
    const std::string neu = Versteckt(ziel, "neu");
    plattform::TDatei datei;
    // There is one already: a write of the same target under way, or what one cut short left.
    if (const int err = datei.Oeffne(neu, plattform::TOeffnen::Neu); err != 0) return err == EEXIST ? 0 : err;
    // Removed again at once, unless a write of the same target has taken it over meanwhile.
    if (datei.Sperre(false) != EWOULDBLOCK) plattform::Loesche(neu);
    return 0;
}

}  // namespace ablage

}  // namespace zentrix
