#include "bericht/Memo.hpp"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "core/Fehler.hpp"

namespace zentrix {

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
        TMemoLines kopie(other);
        kopie.store_ = store_;
        kopie.grenze_ = grenze_;
        kopie.weiter_ = std::move(weiter_);
        clear();
        *this = std::move(kopie);
    }
    return *this;
}

void TMemoLines::push_back(std::string_view line) {
    if (weiter_) {
        zeile_.assign(line);
        zeile_ += '\n';
        weiter_(zeile_);
        return;
    }
    laengste_ = std::max(laengste_, line.size());
    anfang_.push_back(gesamt_);
    puffer_.append(line);
    gesamt_ += line.size();
    Auslagern();
}

void TMemoLines::Anhaengen(const TMemoLines& other) {
    if (weiter_) {
        if (other.empty()) return;
        zeile_.clear();
        other.TextAnhaengen(zeile_, 0, other.size(), "\n");
        weiter_(zeile_);
        return;
    }
    if (other.ausgelagert_ > 0) {
        other.ForEach([this](std::string_view l) { push_back(l); });
        return;
    }
    // The other's text at once, its line starts moved by the text before.
    laengste_ = std::max(laengste_, other.laengste_);
    for (std::size_t i = 0; i < other.anfang_.size(); ++i) anfang_.push_back(gesamt_ + other.anfang_[i]);
    puffer_.append(other.puffer_);
    gesamt_ += other.gesamt_;
    Auslagern();
}

void TMemoLines::Anhaengen(std::string_view text, const std::vector<std::size_t>& laengen) {
    if (weiter_) {
        if (laengen.empty()) return;
        zeile_.clear();
        zeile_.reserve(text.size() + laengen.size());
        std::size_t a = 0;
        for (const std::size_t l : laengen) {
            zeile_.append(text, a, l);
            zeile_ += '\n';
            a += l;
        }
        weiter_(zeile_);
        return;
    }
    for (const std::size_t l : laengen) {
        laengste_ = std::max(laengste_, l);
        anfang_.push_back(gesamt_);
        gesamt_ += l;
    }
    puffer_.append(text);
    Auslagern();
}

void TMemoLines::Auslagern() {
    if (store_ && puffer_.size() > grenze_) {
        store_->Anhaengen(puffer_);
        ausgelagert_ = gesamt_;
        puffer_.clear();
    }
}

void TMemoLines::clear() {
    puffer_.clear();
    puffer_.shrink_to_fit();
    anfang_.clear();
    anfang_.shrink_to_fit();
    gesamt_ = 0;
    ausgelagert_ = 0;
    laengste_ = 0;
    if (store_) store_->Leeren();
}

void TMemoLines::Leeren() {
    puffer_.clear();
    anfang_.clear();
    gesamt_ = 0;
    ausgelagert_ = 0;
    laengste_ = 0;
    if (store_) store_->Leeren();
}

std::string TMemoLines::operator[](std::size_t i) const {
    const std::uint64_t a = anfang_[i], b = i + 1 < anfang_.size() ? anfang_[i + 1] : gesamt_;
    if (a >= ausgelagert_) return puffer_.substr(static_cast<std::size_t>(a - ausgelagert_), static_cast<std::size_t>(b - a));
    std::string line;
    store_->Lesen(a, static_cast<std::size_t>(b - a), line);
    return line;
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
    std::size_t i = first;
    // The lines in the store, read back a piece of about a megabyte at a time.
    std::string stueck;
    while (i < anfang_.size() && anfang_[i] < ausgelagert_) {
        std::size_t j = i;
        while (j < anfang_.size() && anfang_[j] < ausgelagert_ && anfang_[j] - anfang_[i] < (1u << 20)) ++j;
        const std::uint64_t ende = j < anfang_.size() ? anfang_[j] : gesamt_;
        store_->Lesen(anfang_[i], static_cast<std::size_t>(ende - anfang_[i]), stueck);
        for (std::size_t k = i; k < j; ++k) {
            const std::uint64_t b = k + 1 < anfang_.size() ? anfang_[k + 1] : gesamt_;
            f(std::string_view(stueck).substr(static_cast<std::size_t>(anfang_[k] - anfang_[i]),
                                              static_cast<std::size_t>(b - anfang_[k])));
        }
        i = j;
    }
    for (; i < anfang_.size(); ++i) {
        const std::uint64_t b = i + 1 < anfang_.size() ? anfang_[i + 1] : gesamt_;
        f(std::string_view(puffer_).substr(static_cast<std::size_t>(anfang_[i] - ausgelagert_),
                                           static_cast<std::size_t>(b - anfang_[i])));
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
    const std::uint64_t von = anfang_[first], bis = last < anfang_.size() ? anfang_[last] : gesamt_;
    // The bytes of the lines at once: from the store as far as they lie there, then from memory.
    std::string stueck;
    std::string_view quelle;
    if (von >= ausgelagert_) {
        quelle = std::string_view(puffer_).substr(static_cast<std::size_t>(von - ausgelagert_), static_cast<std::size_t>(bis - von));
    } else {
        store_->Lesen(von, static_cast<std::size_t>(std::min(bis, ausgelagert_) - von), stueck);
        if (bis > ausgelagert_) stueck.append(puffer_, 0, static_cast<std::size_t>(bis - ausgelagert_));
        quelle = stueck;
    }
    // Laid out in place: a few million lines go through here.
    const std::size_t davor = text.size();
    text.resize(davor + static_cast<std::size_t>(bis - von) + (last - first) * ende.size());
    char* p = text.data() + davor;
    for (std::size_t i = first; i < last; ++i) {
        const std::uint64_t a = anfang_[i], b = i + 1 < anfang_.size() ? anfang_[i + 1] : gesamt_;
        std::memcpy(p, quelle.data() + (a - von), static_cast<std::size_t>(b - a));
        p += b - a;
        for (const char c : ende) *p++ = c;
    }
}

void TMemoLines::Auslagern(std::shared_ptr<IAuslagerung> store, std::size_t grenze) {
    const std::vector<std::string> bisher = *this;
    clear();
    store_ = std::move(store);
    grenze_ = grenze;
    if (store_) store_->Leeren();
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
