// SPDX-License-Identifier: GPL-3.0-or-later
// How a long scan evaluation tells how far it has come, and learns that it is to stop.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace zentrix {

// What the caller hands in; both parts are optional.
struct TScanSteuerung {
    // Called on the calling thread between pieces of work with the step's German name ("Lesen",
    // "Suchen", "Ausgleichen") and the share of the whole evaluation done (0 to 1). Returning false
    // stops the evaluation.
    std::function<bool(const std::string& schritt, double anteil)> Fortschritt;
    // Set from any thread (a window's "Abbrechen") to stop the evaluation; every piece of work
    // looks at it.
    const std::atomic<bool>* Abbrechen = nullptr;
};

// Raised inside the evaluation when the caller stopped it; the entry point turns it into its
// result.
struct EScanAbgebrochen {};

// The evaluation's way through its steps, each a part of the whole.
class TScanMelder {
public:
    TScanMelder() = default;
    explicit TScanMelder(const TScanSteuerung& steuerung) : s_(steuerung) {}
    TScanMelder(const TScanMelder&) = delete;
    TScanMelder& operator=(const TScanMelder&) = delete;

    // A step begins: it covers the shares von to bis of the whole.
    void Schritt(const std::string& name, double von, double bis);
    // The share of the current step done (0 to 1), on the calling thread: handed on where it has
    // moved on; a stop raises EScanAbgebrochen.
    void Melde(double anteil);
    // On any thread: raises EScanAbgebrochen when the evaluation is to stop.
    void Pruefe() const;
    bool Gestoppt() const;

private:
    TScanSteuerung s_;
    std::string schritt_;
    double von_ = 0, bis_ = 1, gemeldet_ = -1;
    std::atomic<bool> gestoppt_ = false;  // the callback asked to stop
};

}  // namespace zentrix
