// SPDX-License-Identifier: GPL-3.0-or-later
// The outputs of one input file put in place together, so that a run cut short at any moment
// leaves every output that existed under its name and a swap that the next run completes.
#include "textio/Tausch.hpp"

#include <cerrno>
#include <cstdint>
#include <memory>

#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"

namespace zentrix {

namespace {

// How an output was put in place, so that it can be undone when a later one fails.
enum Art { Offen, Getauscht, Umbenannt, Ersetzt };

// The marker's first and last word; the file numbers of the new files stand between them.
constexpr char kMarkenKopf[] = "zentrix-tausch";
// Bytes of a new output after which they are handed to the disk early (8 MB).
constexpr std::uint64_t FruehSchritt = 8u << 20;
constexpr char kMarkenEnde[] = "ende";

// The file number of the name itself (a link is not followed); false where there is none.
bool Knoten(const std::string& pfad, plattform::TKennung& kennung) {
    plattform::TInfo info;
    if (plattform::Info(pfad, info, false) != 0) return false;
    kennung = info.Kennung;
    return true;
}

// Puts the complete new file neu in the place of ziel: exchanged with the old output (hilfe is
// the exchange's spare name), or renamed where there is none. Returns the errno value of a
// failure (0: none).
int Platziere(const std::string& neu, const std::string& ziel, const std::string& hilfe, Art& art) {
    plattform::TKennung k;
    if (Knoten(ziel, k)) {
        const int err = plattform::Tausche(neu, ziel, hilfe);
        if (err == 0) {
            art = Getauscht;
            return 0;
        }
        if (err != ENOTSUP) return err;
        // No exchange on this file system (vfat, some network file systems): the new file
        // replaces the old one by a plain rename, one step for every other program too, but the
        // old one is gone at once.
        if (const int e = plattform::Umbenenne(neu, ziel); e != 0) return e;
        art = Ersetzt;
        return 0;
    }
    if (const int err = plattform::Umbenenne(neu, ziel); err != 0) return err;
    art = Umbenannt;
    return 0;
}

// Undoes Platziere of output nr (from 1): the old output goes back under its name, the new file
// under its hidden one. Returns the errno value of a failure; a plain replacement cannot be
// undone (ENOTSUP).
int Zurueck(const std::string& neu, const std::string& ziel, const std::string& hilfe, Art art, int nr) {
    if (art == Ersetzt) return ENOTSUP;
    if (const int err = ablage::Probe(TAblagePunkt::Zurueck, nr); err != 0) return err;
    if (art == Getauscht) return plattform::Tausche(neu, ziel, hilfe);
    if (art == Umbenannt) return plattform::Umbenenne(ziel, neu);
    return 0;
}

// Reads the marker: the file numbers of the n new files of a swap. False where there is
// none or it is incomplete (no last word): it is written and made durable before the first
// exchange, so an incomplete marker means that no output was touched.
bool LiesMarke(const std::string& pfad, std::size_t n, std::vector<std::uint64_t>& knoten) {
    std::FILE* f = plattform::OeffneStrom(pfad, plattform::TOeffnen::Lesen, "rb");
    if (f == nullptr) return false;
    char wort[16] = {};
    bool ok = std::fscanf(f, "%15s", wort) == 1 && std::string_view(wort) == kMarkenKopf;
    for (std::size_t i = 0; ok && i < n; ++i) {
        unsigned long long k = 0;
        ok = std::fscanf(f, "%llu", &k) == 1;
        knoten.push_back(k);
    }
    ok = ok && std::fscanf(f, "%15s", wort) == 1 && std::string_view(wort) == kMarkenEnde;
    std::fclose(f);
    return ok;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TNeueDatei

TNeueDatei::~TNeueDatei() {
    if (datei_ != nullptr) std::fclose(datei_);
    if (!pfad_.empty()) plattform::Loesche(pfad_);
}

bool TNeueDatei::Oeffne(const std::string& ziel, const std::string& pfad) {
    int err = 0;
    if (ablage::PruefeSchreibbar(ziel, err) != 0) return false;
    datei_ = plattform::OeffneStrom(pfad, plattform::TOeffnen::Neu, "wb");
    if (datei_ == nullptr) return false;
    pfad_ = pfad;
    return true;
}

bool TNeueDatei::Schreibe(std::string_view text) {
    if (fehler_ == 0) fehler_ = ablage::Probe(TAblagePunkt::Schreiben);
    errno = 0;
    if (fehler_ == 0 && std::fwrite(text.data(), 1, text.size(), datei_) != text.size()) fehler_ = errno != 0 ? errno : EIO;
    geschrieben_ += text.size();
    // Every few megabytes the part written so far may go to the disk while the evaluation goes on:
    // making the whole file durable at its end then waits for the last part only, not for the
    // 100 MB a day's listing holds.
    if (fehler_ == 0 && geschrieben_ - frueh_ >= FruehSchritt) {
        errno = 0;
        if (std::fflush(datei_) != 0) {
            fehler_ = errno != 0 ? errno : EIO;
        } else {
            plattform::SchreibeFrueh(datei_, frueh_, geschrieben_ - frueh_);
            frueh_ = geschrieben_;
        }
    }
    return fehler_ == 0;
}

bool TNeueDatei::Schliesse() {
    if (datei_ == nullptr) return false;
    const int err = ablage::SchliesseDauerhaft(datei_);
    datei_ = nullptr;
    if (fehler_ == 0) fehler_ = err;
    return fehler_ == 0;
}

// ---------------------------------------------------------------------------------------------
// TAusgabenTausch

TAusgabenTausch::TAusgabenTausch(const std::string& eingabe, std::vector<std::string> ziele,
                                 const std::function<void()>& wartet)
    : ordner_(ablage::Ordner(eingabe)), ziele_(std::move(ziele)), marke_(ablage::Versteckt(eingabe, "tausch")) {
    // The old outputs of a swap before may still be going: their names are this one's.
    TAusfuehrer::Gemeinsam().NebenherAbwarten();
    for (std::size_t i = 0; i < ziele_.size(); ++i) {
        const std::string endung = plattform::Text(plattform::Pfad(ziele_[i]).extension());
        neu_.push_back(ablage::Versteckt(eingabe, std::to_string(i) + endung));
        hilfe_.push_back(ablage::Versteckt(eingabe, std::to_string(i) + "-alt" + endung));
    }
    // The lock lies on the input itself: a lock file of its own could be left behind.
    plattform::TInfo info;
    if (sperre_.Oeffne(eingabe, plattform::TOeffnen::Lesen) != 0) return;
    if (sperre_.Info(info) != 0 || info.Art != plattform::TArt::Datei) {
        sperre_.Schliesse();
        return;
    }
    eingabe_ = info.Kennung;
    // Without the lock nothing is touched: another run may be at work.
    sperrFehler_ = ablage::Sperre(sperre_, wartet);
    if (sperrFehler_ == 0) Vollende();
}

TAusgabenTausch::~TAusgabenTausch() {
    if (Aufraeumbar()) Aufraeumen();
    sperre_.Schliesse();  // releases the lock
}

// Completes the swap that a run cut short left (its marker names the new files): an output whose
// new file still lies under its hidden name is put in place now. Every output is then the one
// of that run, or every output the old one where the run ended before its first exchange.
void TAusgabenTausch::Vollende() {
    std::vector<std::uint64_t> knoten;
    if (LiesMarke(marke_, ziele_.size(), knoten)) {
        for (std::size_t i = 0; i < ziele_.size(); ++i) {
            plattform::TKennung z, n;
            const bool hatZiel = Knoten(ziele_[i], z);
            if (hatZiel && (z.Nummer == knoten[i] || z == eingabe_)) continue;
            Art art = Offen;
            if (!Knoten(neu_[i], n) || n.Nummer != knoten[i]) continue;
            // Where it cannot be completed now, everything stays for a later run, and this run
            // reports why instead of putting its own outputs in place.
            if (const int err = Platziere(neu_[i], ziele_[i], hilfe_[i], art); err != 0) {
                offen_ = {i, err};
                return;
            }
        }
        // Completed, but not durably: the marker stays for the next run.
        if (const int err = ablage::SichereOrdner(ordner_); err != 0) {
            offen_ = {0, err};
            return;
        }
    }
    Aufraeumen();
}

// Removes the marker first, durably, and then the hidden files: a run cut short in between
// leaves no marker that would complete a swap with files that are gone.
void TAusgabenTausch::Aufraeumen() const {
    if (plattform::Loesche(marke_) == 0) ablage::SichereOrdner(ordner_);
    if (!altNebenher_)
        for (const std::string& n : neu_) plattform::Loesche(n);
    for (const std::string& h : hilfe_) plattform::Loesche(h);
}

int TAusgabenTausch::Ersetze(const std::vector<TAusgabe>& dateien, std::size_t& failed, std::string* reason) {
    int err = sperrFehler_ != 0 ? sperrFehler_ : offen_.second;
    failed = offen_.first;
    int code = IOCodeFromErrno(err);
    if (code == 0) code = Vorbereiten(dateien, failed, err);
    if (code == 0) code = Tausche(failed, err);
    if (code != 0 && Aufraeumbar()) Aufraeumen();
    if (code != 0 && reason != nullptr) *reason = err != 0 ? SystemReasonText(err) : IOErrorText(code);
    return code;
}

// Checks every target, completes every new file and makes it durable, then writes the marker and
// makes it and the new files' names durable. Returns the I/O code; err gets the errno value.
int TAusgabenTausch::Vorbereiten(const std::vector<TAusgabe>& dateien, std::size_t& failed, int& err) {
    for (failed = 0; failed < dateien.size(); ++failed)
        if (const int code = ablage::PruefeSchreibbar(dateien[failed].Pfad, err); code != 0) return code;
    std::string marke = kMarkenKopf;
    for (failed = 0; failed < dateien.size(); ++failed) {
        const TAusgabe& d = dateien[failed];
        err = d.Fehler;
        if (err == 0 && !d.Geschrieben) err = ablage::SchreibeNeu(neu_[failed], d.Schreibe);
        plattform::TInfo info;
        if (err == 0) err = plattform::Info(neu_[failed], info, false);
        if (err == 0) err = ablage::UebernimmRechte(neu_[failed], ziele_[failed]);  // keeps its permissions
        if (err != 0) return IOCodeFromErrno(err);
        marke.append("\n").append(std::to_string(info.Kennung.Nummer));
    }
    marke = marke + "\n" + kMarkenEnde + "\n";
    failed = 0;
    err = ablage::Probe(TAblagePunkt::Tausch, 1);
    if (err == 0) err = ablage::SchreibeNeu(marke_, [&marke](std::FILE* f) { return std::fputs(marke.c_str(), f) != EOF; });
    if (err == 0) err = ablage::SichereOrdner(ordner_);
    return IOCodeFromErrno(err);
}

// Puts every new file in place, one after the other. When one fails, those put in place before
// it are undone; where that fails too, the marker and every hidden file stay, so that the next
// run completes the swap (NichtZurueck tells which). Returns the I/O code; err gets the errno
// value.
int TAusgabenTausch::Tausche(std::size_t& failed, int& err) {
    std::vector<Art> art(ziele_.size(), Offen);
    for (failed = 0; failed < ziele_.size(); ++failed) {
        err = ablage::Probe(TAblagePunkt::Tausch, static_cast<int>(failed) + 2);
        if (err == 0) err = Platziere(neu_[failed], ziele_[failed], hilfe_[failed], art[failed]);
        if (err != 0) {
            for (std::size_t j = failed; j-- > 0;)
                if (const int e = Zurueck(neu_[j], ziele_[j], hilfe_[j], art[j], static_cast<int>(j) + 1); e != 0 && !nichtZurueck_)
                    nichtZurueck_ = std::pair{j, e};
            return IOCodeFromErrno(err);
        }
    }
    // Every output is in place; the marker goes only once that is durable. A failure of this
    // sync is said (OrdnerNichtGesichert): the outputs are in place, but maybe not for good.
    ordnerFehler_ = ablage::SichereOrdner(ordner_);
    const int n = static_cast<int>(ziele_.size());
    ablage::Probe(TAblagePunkt::Tausch, n + 2);
    plattform::Loesche(marke_);
    // The old outputs now lie under the hidden names. Removing a day's listing frees a hundred
    // megabytes of the file system's pages and blocks, which takes a while: it goes on beside
    // whatever comes next, and the input stays locked until it is done, so that no other run
    // makes its new files under these names meanwhile (the next swap in this process waits too).
    ablage::Probe(TAblagePunkt::Tausch, n + 3);
    auto sperre = std::make_shared<plattform::TDatei>(std::move(sperre_));
    TAusfuehrer::Gemeinsam().Nebenher([alte = neu_, sperre] {
        for (const std::string& alt : alte) plattform::Loesche(alt);
        sperre->Schliesse();  // releases the lock
    });
    altNebenher_ = true;
    return 0;
}

}  // namespace zentrix
