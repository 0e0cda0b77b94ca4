// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Ausfuehrer.hpp"

#include <algorithm>

#include "core/Plattform.hpp"

namespace zentrix {

namespace {

bool Fertig(const std::shared_future<void>& f) { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }

}  // namespace

TAusfuehrer& TAusfuehrer::Gemeinsam() {
    static TAusfuehrer ausfuehrer(std::max(1u, std::thread::hardware_concurrency()));
    return ausfuehrer;
}

TAusfuehrer::TAusfuehrer(unsigned kerne) : kerne_(std::max(1u, kerne)) {
    for (unsigned i = 1; i < kerne_; ++i)
        helfer_.emplace_back([this] {
            plattform::RechenwerkEinrichten();  // long double with 64 bits on Windows too
            Arbeite();
        });
}

TAusfuehrer::~TAusfuehrer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ende_ = true;
    }
    arbeit_.notify_all();
    for (std::thread& t : helfer_) t.join();
}

void TAusfuehrer::Nebenher(std::function<void()> arbeit) {
    if (kerne_ == 1) {
        arbeit();
        return;
    }
    std::shared_future<void> f = Starte(std::move(arbeit)).share();
    std::lock_guard<std::mutex> lock(nebenMutex_);
    // What has ended meanwhile is forgotten.
    nebenher_.erase(std::remove_if(nebenher_.begin(), nebenher_.end(), Fertig), nebenher_.end());
    nebenher_.push_back(std::move(f));
}

void TAusfuehrer::NebenherAbwarten() {
    // Copies, waited for without the lock: the waiting thread helps with other work meanwhile,
    // which may start work of this kind itself.
    std::vector<std::shared_future<void>> offen;
    {
        std::lock_guard<std::mutex> lock(nebenMutex_);
        offen = nebenher_;
    }
    for (const std::shared_future<void>& f : offen) Warte([&f] { return Fertig(f); });
}

void TAusfuehrer::Einreihen(std::function<void()> aufgabe) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        warteschlange_.push_back(std::move(aufgabe));
    }
    arbeit_.notify_one();
    erledigt_.notify_all();  // a thread waiting for its work may take this one meanwhile
}

bool TAusfuehrer::EineAusfuehren() {
    std::function<void()> aufgabe;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (warteschlange_.empty()) return false;
        aufgabe = std::move(warteschlange_.front());
        warteschlange_.pop_front();
    }
    aufgabe();  // a packaged task: its exception goes into its future
    Erledigt();
    return true;
}

void TAusfuehrer::Warte(const std::function<bool()>& fertig) {
    while (!fertig()) {
        if (EineAusfuehren()) continue;
        std::unique_lock<std::mutex> lock(mutex_);
        // Woken when a piece of work ends or new work comes.
        erledigt_.wait(lock, [this, &fertig] { return !warteschlange_.empty() || fertig(); });
    }
}

void TAusfuehrer::Arbeite() {
    for (;;) {
        std::function<void()> aufgabe;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            arbeit_.wait(lock, [this] { return ende_ || !warteschlange_.empty(); });
            if (warteschlange_.empty()) return;  // the end, and nothing left
            aufgabe = std::move(warteschlange_.front());
            warteschlange_.pop_front();
        }
        aufgabe();
        Erledigt();
    }
}

void TAusfuehrer::Erledigt() {
    // Through the lock: a thread between testing its work and waiting cannot miss the news.
    { std::lock_guard<std::mutex> lock(mutex_); }
    erledigt_.notify_all();
}

}  // namespace zentrix
