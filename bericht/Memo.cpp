// SPDX-License-Identifier: GPL-3.0-or-later
#include "bericht/Memo.hpp"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "core/Fehler.hpp"

namespace zentrix {

namespace {

// The lines' text in memory.
class TBehalten : public IZeilenSenke {
public:
    void Aufnehmen(std::string_view text, const std::vector<std::size_t>&) override { text_.append(text); }
    bool Behaelt() const override { return true; }
    std::optional<std::string_view> Sicht(std::uint64_t pos, std::size_t laenge) const override {
        return std::string_view(text_).substr(static_cast<std::size_t>(pos), laenge);
    }
    void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const override {
        out.assign(text_, static_cast<std::size_t>(pos), laenge);
    }
    void Leeren(bool frei) override {
        text_.clear();
        if (frei) text_.shrink_to_fit();
    }

private:
    std::string text_;
};

// The lines' text in memory up to a limit; what lies beyond it moved out to a store, all of it at
// once, so that memory stays in proportion to the limit.
class TAusgelagert : public IZeilenSenke {
public:
    TAusgelagert(std::shared_ptr<IAuslagerung> store, std::size_t grenze) : store_(std::move(store)), grenze_(grenze) {
        store_->Leeren();
    }
    void Aufnehmen(std::string_view text, const std::vector<std::size_t>&) override {
        puffer_.append(text);
        if (puffer_.size() > grenze_) {
            store_->Anhaengen(puffer_);
            ausgelagert_ += puffer_.size();
            puffer_.clear();
        }
    }
    bool Behaelt() const override { return true; }
    std::optional<std::string_view> Sicht(std::uint64_t pos, std::size_t laenge) const override {
        if (pos < ausgelagert_) return std::nullopt;
        return std::string_view(puffer_).substr(static_cast<std::size_t>(pos - ausgelagert_), laenge);
    }
    void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const override {
        // From the store as far as the bytes lie there, then from memory.
        out.clear();
        const std::uint64_t bis = pos + laenge;
        if (pos < ausgelagert_) store_->Lesen(pos, static_cast<std::size_t>(std::min(bis, ausgelagert_) - pos), out);
        if (bis > ausgelagert_) {
            const std::uint64_t von = std::max(pos, ausgelagert_);
            out.append(puffer_, static_cast<std::size_t>(von - ausgelagert_), static_cast<std::size_t>(bis - von));
        }
    }
    void Leeren(bool frei) override {
        puffer_.clear();
        if (frei) puffer_.shrink_to_fit();
        ausgelagert_ = 0;
        store_->Leeren();
    }

private:
    std::shared_ptr<IAuslagerung> store_;
    std::size_t grenze_;
    std::string puffer_;            // the text not moved out
    std::uint64_t ausgelagert_ = 0;  // how much of the text lies in the store
};

// The lines handed on, each ended by a line feed, and not kept: collected to a megabyte at a
// time, so that a report of a hundred megabytes goes on in a hundred pieces, not in a piece per
// sphere that the receiver would have to collect again.
class TWeitergabe : public IZeilenSenke {
public:
    explicit TWeitergabe(std::function<void(std::string_view)> f) : f_(std::move(f)) {}
    void Aufnehmen(std::string_view text, const std::vector<std::size_t>& laengen) override {
        std::size_t a = 0;
        for (const std::size_t l : laengen) {
            zeilen_.append(text, a, l);
            zeilen_ += '\n';
            a += l;
        }
        if (zeilen_.size() >= Sammeln) Weiter();
    }
    bool Behaelt() const override { return false; }
    std::optional<std::string_view> Sicht(std::uint64_t, std::size_t) const override { return std::nullopt; }
    void Lesen(std::uint64_t, std::size_t, std::string& out) const override { out.clear(); }
    // Lines handed on stay handed on: what is collected goes on first.
    void Leeren(bool) override { Weiter(); }
    void Weiter() override {
        if (zeilen_.empty()) return;
        f_(zeilen_);
        zeilen_.clear();
    }

private:
    static constexpr std::size_t Sammeln = 1u << 20;
    std::function<void(std::string_view)> f_;
    std::string zeilen_;  // the lines collected, with their line feeds
};

}  // namespace

TMemoLines::TMemoLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view l : lines) push_back(l);
}

TMemoLines::TMemoLines(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) push_back(l);
}

TMemoLines::TMemoLines(const TMemoLines& other) {
    other.ForEach([this](std::string_view l) { push_back(l); });
}

TMemoLines& TMemoLines::operator=(const TMemoLines& other) {
    if (this != &other) {
        // The lines anew, into the sinks this memo has.
        Leeren();
        other.ForEach([this](std::string_view l) { push_back(l); });
    }
    return *this;
}

void TMemoLines::Aufnehmen(std::string_view text, const std::vector<std::size_t>& laengen) {
    if (!senke_) senke_ = std::make_shared<TBehalten>();
    senke_->Aufnehmen(text, laengen);
    if (!senke_->Behaelt()) return;
    for (const std::size_t l : laengen) {
        laengste_ = std::max(laengste_, l);
        anfang_.push_back(gesamt_);
        gesamt_ += l;
    }
}

void TMemoLines::push_back(std::string_view line) {
    eine_.assign(1, line.size());
    Aufnehmen(line, eine_);
}

void TMemoLines::Anhaengen(const TMemoLines& other) {
    if (other.empty()) return;
    // The other's text at once, with its lines' lengths (their list kept for the next call).
    thread_local std::vector<std::size_t> laengen;
    laengen.resize(other.size());
    for (std::size_t i = 0; i < other.size(); ++i) laengen[i] = static_cast<std::size_t>(other.Ende(i) - other.anfang_[i]);
    const std::optional<std::string_view> sicht = other.senke_->Sicht(0, static_cast<std::size_t>(other.gesamt_));
    if (sicht) {
        Aufnehmen(*sicht, laengen);
        return;
    }
    std::string text;
    other.senke_->Lesen(0, static_cast<std::size_t>(other.gesamt_), text);
    Aufnehmen(text, laengen);
}

void TMemoLines::Anhaengen(std::string_view text, const std::vector<std::size_t>& laengen) { Aufnehmen(text, laengen); }

void TMemoLines::clear() {
    if (senke_) senke_->Leeren(true);
    anfang_.clear();
    anfang_.shrink_to_fit();
    gesamt_ = 0;
    laengste_ = 0;
}

void TMemoLines::Leeren() {
    if (senke_) senke_->Leeren(false);
    anfang_.clear();
    gesamt_ = 0;
    laengste_ = 0;
}

std::string_view TMemoLines::Zeile(std::size_t i, std::string& buf) const {
    const std::uint64_t a = anfang_[i];
    const auto laenge = static_cast<std::size_t>(Ende(i) - a);
    if (const std::optional<std::string_view> sicht = senke_->Sicht(a, laenge)) return *sicht;
    senke_->Lesen(a, laenge, buf);
    return buf;
}

std::string TMemoLines::operator[](std::size_t i) const {
    std::string buf;
    return std::string(Zeile(i, buf));
}

std::string TMemoLines::at(std::size_t i) const {
    if (i >= size()) RaiseRangeError();
    return (*this)[i];
}

TMemoLines::operator std::vector<std::string>() const {
    std::vector<std::string> lines;
    lines.reserve(size());
    ForEach([&lines](std::string_view l) { lines.emplace_back(l); });
    return lines;
}

void TMemoLines::ForEach(const std::function<void(std::string_view)>& f, std::size_t first) const {
    // A piece of about a megabyte of lines at a time: read back at once where it lies in a store.
    std::string stueck;
    for (std::size_t i = first; i < anfang_.size();) {
        std::size_t j = i + 1;
        while (j < anfang_.size() && anfang_[j] - anfang_[i] < (1u << 20)) ++j;
        const std::uint64_t von = anfang_[i], bis = j < anfang_.size() ? anfang_[j] : gesamt_;
        std::optional<std::string_view> sicht = senke_->Sicht(von, static_cast<std::size_t>(bis - von));
        if (!sicht) {
            senke_->Lesen(von, static_cast<std::size_t>(bis - von), stueck);
            sicht = stueck;
        }
        for (std::size_t k = i; k < j; ++k)
            f(sicht->substr(static_cast<std::size_t>(anfang_[k] - von), static_cast<std::size_t>(Ende(k) - anfang_[k])));
        i = j;
    }
}

std::string TMemoLines::Text(std::size_t first, std::size_t last, std::string_view ende) const {
    std::string text;
    TextAnhaengen(text, first, last, ende);
    return text;
}

void TMemoLines::TextAnhaengen(std::string& text, std::size_t first, std::size_t last, std::string_view ende) const {
    last = std::min(last, anfang_.size());
    if (first >= last) return;
    const std::uint64_t von = anfang_[first], bis = Ende(last - 1);
    // The bytes of the lines at once, from memory or read back from the store.
    std::string stueck;
    std::optional<std::string_view> quelle = senke_->Sicht(von, static_cast<std::size_t>(bis - von));
    if (!quelle) {
        senke_->Lesen(von, static_cast<std::size_t>(bis - von), stueck);
        quelle = stueck;
    }
    // Laid out in place: a few million lines go through here.
    const std::size_t davor = text.size();
    text.resize(davor + static_cast<std::size_t>(bis - von) + (last - first) * ende.size());
    char* p = text.data() + davor;
    for (std::size_t i = first; i < last; ++i) {
        const std::uint64_t a = anfang_[i], b = Ende(i);
        std::memcpy(p, quelle->data() + (a - von), static_cast<std::size_t>(b - a));
        p += b - a;
        for (const char c : ende) *p++ = c;
    }
}

void TMemoLines::Weitergeben(std::function<void(std::string_view zeilen)> f) {
    if (senke_) senke_->Weiter();
    if (f) {
        if (!behalten_) behalten_ = senke_ ? senke_ : std::make_shared<TBehalten>();
        senke_ = std::make_shared<TWeitergabe>(std::move(f));
    } else if (behalten_) {
        senke_ = std::move(behalten_);
        behalten_.reset();
    }
}

void TMemoLines::Auslagern(std::shared_ptr<IAuslagerung> store, std::size_t grenze) {
    const std::vector<std::string> bisher = *this;
    clear();
    senke_ = store ? std::shared_ptr<IZeilenSenke>(std::make_shared<TAusgelagert>(std::move(store), grenze))
                   : std::make_shared<TBehalten>();
    for (const std::string& l : bisher) push_back(l);
}

bool operator==(const TMemoLines& a, const TMemoLines& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

std::ostream& operator<<(std::ostream& out, const TMemoLines& memo) {
    out << "{";
    memo.ForEach([&out](std::string_view l) { out << "\n  \"" << l << "\""; });
    return out << " }";
}

}  // namespace zentrix
