// SPDX-License-Identifier: GPL-3.0-or-later
// The report memo: a list of text lines, appended to line by line.
//
// The list keeps where each line begins, a few bytes a line; the lines' text goes to a sink: kept
// in memory, kept with its older part moved out to a store the caller provides (a temporary file,
// so that a day's report does not stay in memory), or handed on as it comes and not kept at all
// (a report that is read once as it grows).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

// Where a memo's older text goes: bytes appended at the end and read back by position.
class IAuslagerung {
public:
    virtual ~IAuslagerung() = default;
    virtual void Anhaengen(std::string_view text) = 0;
    virtual void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const = 0;
    virtual void Leeren() = 0;
};

// Where the text of a memo's lines goes (positions count the bytes of the lines, without line
// ends, from the first line on).
class IZeilenSenke {
public:
    virtual ~IZeilenSenke() = default;
    // Takes lines given one after the other in text, with their lengths.
    virtual void Aufnehmen(std::string_view text, const std::vector<std::size_t>& laengen) = 0;
    // Whether the lines are kept, to be read back.
    virtual bool Behaelt() const = 0;
    // The kept bytes [pos, pos + laenge): as a view where they lie in memory, else nothing.
    virtual std::optional<std::string_view> Sicht(std::uint64_t pos, std::size_t laenge) const = 0;
    // The same copied into out, from wherever they lie.
    virtual void Lesen(std::uint64_t pos, std::size_t laenge, std::string& out) const = 0;
    // Forgets the text; frei: gives the memory back too.
    virtual void Leeren(bool frei) = 0;
    // Hands on what a sink that passes lines on has collected (the others keep theirs).
    virtual void Weiter() {}
};

class TMemoLines {
public:
    TMemoLines() = default;
    TMemoLines(std::initializer_list<std::string_view> lines);
    TMemoLines(const std::vector<std::string>& lines);
    // A copy holds every line in memory.
    TMemoLines(const TMemoLines& other);
    TMemoLines& operator=(const TMemoLines& other);
    TMemoLines(TMemoLines&&) noexcept = default;
    TMemoLines& operator=(TMemoLines&&) noexcept = default;

    void push_back(std::string_view line);
    // Appends every line of another memo.
    void Anhaengen(const TMemoLines& other);
    // Appends lines given one after the other in text, with their lengths.
    void Anhaengen(std::string_view text, const std::vector<std::size_t>& laengen);
    // Removes every line and gives the memory back.
    void clear();
    // Removes every line and keeps the memory for the next ones.
    void Leeren();
    std::size_t size() const { return anfang_.size(); }
    // The length (bytes) of the longest line: how wide a view of the memo must be.
    std::size_t LaengsteZeile() const { return laengste_; }
    bool empty() const { return anfang_.empty(); }
    std::string operator[](std::size_t i) const;
    std::string at(std::size_t i) const;
    std::string front() const { return (*this)[0]; }
    std::string back() const { return (*this)[size() - 1]; }
    operator std::vector<std::string>() const;

    // Every line from first on, in order; older lines are read back from the store in large
    // pieces.
    void ForEach(const std::function<void(std::string_view)>& f, std::size_t first = 0) const;

    // The lines [first, last), each followed by `ende`: the report as one text, for a file or the
    // screen. Older lines are read back from the store in one piece.
    std::string Text(std::size_t first, std::size_t last, std::string_view ende) const;
    // The same appended to text (no new string where text has room).
    void TextAnhaengen(std::string& text, std::size_t first, std::size_t last, std::string_view ende) const;

    // From now on lines are not kept but handed to f as they come, each ended by a line feed, a
    // megabyte at a time, until Weitergeben(nullptr) (or another f), which hands on the rest: a
    // report that is read once as it grows (the batch tool's output) need not be kept, nor moved
    // out to the store and read back.
    void Weitergeben(std::function<void(std::string_view zeilen)> f);

    // From now on text beyond `grenze` bytes in memory goes to the store.
    void Auslagern(std::shared_ptr<IAuslagerung> store, std::size_t grenze);

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string;
        const_iterator() = default;
        const_iterator(const TMemoLines* m, std::size_t i) : m_(m), i_(i) {}
        std::string operator*() const { return (*m_)[i_]; }
        std::string operator[](difference_type k) const { return (*m_)[i_ + static_cast<std::size_t>(k)]; }
        const_iterator& operator++() { ++i_; return *this; }
        const_iterator operator++(int) { auto t = *this; ++i_; return t; }
        const_iterator& operator--() { --i_; return *this; }
        const_iterator operator--(int) { auto t = *this; --i_; return t; }
        const_iterator& operator+=(difference_type k) { i_ += static_cast<std::size_t>(k); return *this; }
        const_iterator& operator-=(difference_type k) { i_ -= static_cast<std::size_t>(k); return *this; }
        friend const_iterator operator+(const_iterator a, difference_type k) { return a += k; }
        friend const_iterator operator+(difference_type k, const_iterator a) { return a += k; }
        friend const_iterator operator-(const_iterator a, difference_type k) { return a -= k; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.i_ == b.i_; }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) { return a.i_ <=> b.i_; }

    private:
        const TMemoLines* m_ = nullptr;
        std::size_t i_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    friend bool operator==(const TMemoLines& a, const TMemoLines& b);
    friend bool operator==(const TMemoLines& a, const std::vector<std::string>& b) { return a == TMemoLines(b); }

private:
    // Appends lines given one after the other in text, with their lengths, to the sink.
    void Aufnehmen(std::string_view text, const std::vector<std::size_t>& laengen);
    // Line i's bytes in the sink's text, and the line as a view (read into buf where it is not
    // in memory).
    std::uint64_t Ende(std::size_t i) const { return i + 1 < anfang_.size() ? anfang_[i + 1] : gesamt_; }
    std::string_view Zeile(std::size_t i, std::string& buf) const;

    // Line starts in blocks of 65536, not in one array: a day's report has millions of lines, and
    // a doubling array would for a moment hold their starts twice. The first block grows as an
    // array does (a sphere's report has a handful of lines).
    class TAnfaenge {
    public:
        void push_back(std::uint64_t a) {
            if (bloecke_.empty() || bloecke_.back().size() == Block) {
                bloecke_.emplace_back();
                if (bloecke_.size() > 1) bloecke_.back().reserve(Block);
            }
            bloecke_.back().push_back(a);
            ++n_;
        }
        std::uint64_t operator[](std::size_t i) const { return bloecke_[i / Block][i % Block]; }
        std::size_t size() const { return n_; }
        bool empty() const { return n_ == 0; }
        // Keeps the first block's memory for the next lines.
        void clear() {
            if (bloecke_.size() > 1) bloecke_.resize(1);
            if (!bloecke_.empty()) bloecke_[0].clear();
            n_ = 0;
        }
        void shrink_to_fit() {
            if (n_ == 0) std::vector<std::vector<std::uint64_t>>().swap(bloecke_);
        }

    private:
        static constexpr std::size_t Block = 1u << 16;
        std::vector<std::vector<std::uint64_t>> bloecke_;
        std::size_t n_ = 0;
    };
    TAnfaenge anfang_;        // where line i begins in the sink's text
    std::uint64_t gesamt_ = 0;  // length of the whole text
    std::size_t laengste_ = 0;  // the longest line
    std::shared_ptr<IZeilenSenke> senke_;    // where the lines' text goes (kept in memory when none is set)
    std::shared_ptr<IZeilenSenke> behalten_;  // while lines are handed on: the sink that keeps them
    std::vector<std::size_t> eine_;          // the length of a single line appended
};

std::ostream& operator<<(std::ostream& out, const TMemoLines& memo);

}  // namespace zentrix
