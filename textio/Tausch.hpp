// SPDX-License-Identifier: GPL-3.0-or-later
// The outputs of one input file, put in place together (the polar evaluation's marked file and
// listing).
//
// A run holds a lock on its input file while it works; the system releases it when the
// run ends, however it ends, and a second run of the same input waits for it. The new outputs are
// written beside the input under hidden names that belong to that input
// (".<input>.zentrix-<n>.<ending>"), made durable, and then each exchanged with its old output
// (plattform::Tausche; a plain rename where there is no old output yet, or where the file system
// cannot exchange): an output's name is never missing. The old
// output then lies under the hidden name and is removed. Before the first exchange a small marker
// beside the input (".<input>.zentrix-tausch") records the new files; a run cut short between the
// exchanges leaves it, and the next run of that input completes the swap before anything else.
// After every run nothing but the input and its outputs remains.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Plattform.hpp"

namespace zentrix {

// One output of a group: its path and what writes its content into the open file (false when a
// write failed, errno telling why), or its new content written already.
struct TAusgabe {
    std::string Pfad;
    std::function<bool(std::FILE*)> Schreibe;
    // The output's hidden file (TAusgabenTausch::Neu) holds its complete, durable new content
    // (TNeueDatei), unless
    bool Geschrieben = false;
    // writing it failed with this errno value.
    int Fehler = 0;
};

// A new output written while a command goes on, to be put in place with the others
// (TAusgabe::Geschrieben). Removed again unless it was put in place.
class TNeueDatei {
public:
    TNeueDatei() = default;
    TNeueDatei(const TNeueDatei&) = delete;
    TNeueDatei& operator=(const TNeueDatei&) = delete;
    ~TNeueDatei();
    // Creates the file pfad for the output ziel; false (and no file) where ziel cannot be written
    // or the folder takes no new file.
    bool Oeffne(const std::string& ziel, const std::string& pfad);
    bool Schreibe(std::string_view text);
    // Closes the file, made durable; false when a write failed (Fehler() tells why).
    bool Schliesse();
    int Fehler() const { return fehler_; }
    const std::string& Pfad() const { return pfad_; }
    // The file was put in place: nothing to remove.
    void Uebergeben() { pfad_.clear(); }

private:
    std::FILE* datei_ = nullptr;
    std::string pfad_;
    int fehler_ = 0;
    std::uint64_t geschrieben_ = 0;  // bytes written so far
    std::uint64_t frueh_ = 0;        // bytes handed to the disk early so far
};

class TAusgabenTausch {
public:
    // Locks the input; while another run holds it, calls wartet once and waits. Then completes
    // the swap that a run cut short left for this input, and removes what such a run left (where
    // the swap cannot be completed, nothing is removed and Ersetze reports why).
    // ziele are the outputs' paths, beside the input. Where the input cannot be opened nothing is
    // locked or repaired (reading it then says why).
    TAusgabenTausch(const std::string& eingabe, std::vector<std::string> ziele,
                    const std::function<void()>& wartet = {});
    // Removes this run's hidden files that were not put in place and releases the lock. After a
    // swap the old outputs (under the hidden names) are removed beside the next work, and the
    // lock is released once they are gone (TAusfuehrer::NebenherAbwarten waits for that).
    ~TAusgabenTausch();
    TAusgabenTausch(const TAusgabenTausch&) = delete;
    TAusgabenTausch& operator=(const TAusgabenTausch&) = delete;

    // The hidden file for output i's new content.
    const std::string& Neu(std::size_t i) const { return neu_[i]; }

    // The errno value of a failed lock of the input (0: locked, or a file system without locks);
    // the run must not go on then, and nothing has been touched.
    int SperrFehler() const { return sperrFehler_; }

    // Puts the outputs (in the order of ziele) in place: every target is checked and every new
    // file complete and durable before the first is replaced; a failure before or during the
    // swap leaves every old output as it was and no new file behind, unless an output already
    // in place cannot be taken back (NichtZurueck): then the marker and every hidden file stay,
    // and the next run of the input completes the swap. Returns the I/O code; on failure failed
    // is the index of the output that failed and reason the system's reason in German.
    int Ersetze(const std::vector<TAusgabe>& dateien, std::size_t& failed, std::string* reason = nullptr);

    // After a failed Ersetze: the output that stands new and could not be taken back, with the
    // errno value of the failure (ENOTSUP: replaced by a plain rename).
    std::optional<std::pair<std::size_t, int>> NichtZurueck() const { return nichtZurueck_; }
    // After Ersetze: the errno value of a failed sync of the folder once every output was in
    // place (0: none). The outputs are in place, but a power cut might undo the swap.
    int OrdnerNichtGesichert() const { return ordnerFehler_; }

private:
    int Vorbereiten(const std::vector<TAusgabe>& dateien, std::size_t& failed, int& err);
    int Tausche(std::size_t& failed, int& err);
    void Vollende();
    void Aufraeumen() const;
    // Whether the hidden files may go: not while a swap waits to be completed.
    bool Aufraeumbar() const { return offen_.second == 0 && !nichtZurueck_ && sperrFehler_ == 0; }
    std::string ordner_;
    std::vector<std::string> ziele_, neu_;
    std::vector<std::string> hilfe_;  // the spare names of the exchanges (plattform::Tausche)
    std::string marke_;
    std::pair<std::size_t, int> offen_{0, 0};  // an output whose swap could not be completed, and why (errno)
    std::optional<std::pair<std::size_t, int>> nichtZurueck_;  // see NichtZurueck
    int ordnerFehler_ = 0;                     // see OrdnerNichtGesichert
    int sperrFehler_ = 0;                      // see SperrFehler
    plattform::TDatei sperre_;                 // the input, open and locked
    bool altNebenher_ = false;                 // the old outputs are being removed beside the next work
    plattform::TKennung eingabe_;
};

}  // namespace zentrix
