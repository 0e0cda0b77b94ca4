#include "window/StringGrid.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <ostream>

#include "core/Fehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// A short text: up to seven bytes and its length in the eighth (the highest) byte.
constexpr std::size_t KurzMax = 7;
static_assert(std::endian::native == std::endian::little);

std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double AlsZahl(std::uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

std::size_t Zeichen(std::string_view s) {
    std::size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

TZelle& TZelle::operator=(std::string_view text) {
    grid_.SetCell(col_, row_, text);
    return *this;
}

std::string TZelle::Text() const { return static_cast<const TStringGrid&>(grid_).Cells(col_, row_); }

void PrintTo(const TZelle& z, std::ostream* out) { *out << '"' << z.Text() << '"'; }

TStringGrid::TStringGrid(int colCount, int rowCount) {
    SetColCount(colCount);
    SetRowCount(rowCount);
}

void TStringGrid::SetRowCount(int rows) {
    if (rows < 1) rows = 1;
    if (punkte_ && punkte_->High() + 1 >= rows) Loesen(1, rows);  // rows of the list go
    // The cells from the new end to the end of its block become empty; later blocks go.
    const auto n = static_cast<std::size_t>(rows);
    const std::size_t bloecke = (n + BlockZeilen - 1) / BlockZeilen;
    for (TSpalte& s : spalten_) {
        if (s.size() > bloecke) s.resize(bloecke);
        if (n < static_cast<std::size_t>(rowCount_) && bloecke > 0 && !s[bloecke - 1].art.empty())
            std::fill(s[bloecke - 1].art.begin() + static_cast<std::ptrdiff_t>(n - (bloecke - 1) * BlockZeilen),
                      s[bloecke - 1].art.end(), Leer);
    }
    rowCount_ = rows;
}

void TStringGrid::SetColCount(int cols) {
    if (cols < 1) cols = 1;
    if (punkte_ && cols < 5) Loesen(1, rowCount_);
    const auto alt = spalten_.size();
    spalten_.resize(static_cast<std::size_t>(cols));
    for (std::size_t c = alt; c < spalten_.size(); ++c) spalten_[c].clear();
    if (rowCount_ < 1) rowCount_ = 1;
}

void TStringGrid::Pruefe(int col, int row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= rowCount_) RaiseRangeError();
}

bool TStringGrid::Gezeigt(int col, int row) const {
    // Entry i in row i + 1; the centre (row 1) has no residual in column 4.
    return punkte_ && row >= 1 && row <= punkte_->High() + 1 && col <= 4 && (col < 4 || row >= 2);
}

TStringGrid::TInhalt TStringGrid::Inhalt(int col, int row) const {
    Pruefe(col, row);
    const TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    const std::size_t b = static_cast<std::size_t>(row) / BlockZeilen, k = static_cast<std::size_t>(row) % BlockZeilen;
    std::uint8_t art = Leer;
    if (b < s.size() && !s[b].art.empty()) {
        art = s[b].art[k];
        if (art != Bezug) return {art, s[b].wert[k], nullptr};
    } else if (Gezeigt(col, row)) {
        art = Bezug;
    }
    if (art == Leer || !punkte_) return {Leer, 0, nullptr};
    const TPunkt& p = (*punkte_)[row - 1];
    switch (col) {
        case 0:
            if (labelArt_ == TLabelArt::Name || (labelArt_ == TLabelArt::NameOderNummer && !p.Name.empty()))
                return TInhalt{Bezug, 0, &p.Name};
            return TInhalt{Nummer, static_cast<std::uint64_t>(row - 1), nullptr};
        case 1: return {static_cast<std::uint8_t>(Zahl + 3), Bits(p.X), nullptr};
        case 2: return {static_cast<std::uint8_t>(Zahl + 3), Bits(p.Y), nullptr};
        case 3: return {static_cast<std::uint8_t>(Zahl + 3), Bits(p.Z), nullptr};
        default: return {static_cast<std::uint8_t>(Zahl + 4), Bits(p.vR), nullptr};
    }
}

TStringGrid::TBlock& TStringGrid::Block(int col, int row, std::size_t& k) {
    Pruefe(col, row);
    TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    const std::size_t b = static_cast<std::size_t>(row) / BlockZeilen;
    k = static_cast<std::size_t>(row) % BlockZeilen;
    if (s.size() <= b) s.resize(b + 1);
    TBlock& block = s[b];
    if (block.art.empty()) {
        block.wert.assign(BlockZeilen, 0);
        block.art.assign(BlockZeilen, Leer);
        // The cells of the block that show a point go on showing it.
        for (std::size_t i = 0; i < BlockZeilen; ++i)
            if (Gezeigt(col, static_cast<int>(b * BlockZeilen + i))) block.art[i] = Bezug;
    }
    return block;
}

void TStringGrid::ZeigePunkte(std::shared_ptr<const TPunktArray> punkte, TLabelArt art) {
    if (punkte->High() + 1 >= rowCount_ || ColCount() < 5) RaiseRangeError();
    Loesen(static_cast<int>(punkte->High()) + 2, rowCount_);  // the rows below the new list keep their text
    punkte_ = std::move(punkte);
    labelArt_ = art;
    // Cells written before lose their text where they now show a point; blocks that hold nothing
    // else go.
    for (int c = 0; c < 5; ++c) {
        TSpalte& s = spalten_[static_cast<std::size_t>(c)];
        for (std::size_t b = 0; b < s.size(); ++b) {
            if (s[b].art.empty()) continue;
            bool nurGezeigt = true;
            for (std::size_t i = 0; i < BlockZeilen; ++i) {
                if (Gezeigt(c, static_cast<int>(b * BlockZeilen + i))) s[b].art[i] = Bezug;
                else nurGezeigt = nurGezeigt && s[b].art[i] == Leer;
            }
            if (nurGezeigt) s[b] = TBlock{};
        }
    }
}

void TStringGrid::Loesen(int von, int bis) {
    if (!punkte_) return;
    const long long zeilen = punkte_->High() + 1;
    for (int c = 0; c < 5 && c < ColCount(); ++c)
        for (long long r = von; r <= zeilen && r < bis; ++r) {
            if (!Gezeigt(c, static_cast<int>(r))) continue;
            const TInhalt z = Inhalt(c, static_cast<int>(r));
            if (z.art == Bezug) SetCell(c, static_cast<int>(r), z.name->view());
            else if (z.art == Nummer) SetNummer(c, static_cast<int>(r), static_cast<long long>(z.wert));
            else SetZahl(c, static_cast<int>(r), AlsZahl(z.wert), z.art - Zahl);
        }
    punkte_.reset();
}

TZelle TStringGrid::Cells(int col, int row) {
    Pruefe(col, row);
    return {*this, col, row};
}

std::string TStringGrid::Cells(int col, int row) const {
    std::string text;
    AppendText(col, row, text);
    return text;
}

void TStringGrid::SetCell(int col, int row, std::string_view text) {
    std::size_t k = 0;
    TBlock& b = Block(col, row, k);
    if (text.empty()) {
        b.art[k] = Leer;
    } else if (text.size() <= KurzMax) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data(), text.size());
        b.wert[k] = w | (static_cast<std::uint64_t>(text.size()) << 56);
        b.art[k] = Kurz;
    } else {
        // Where the text lies in the store (40 bits) and its length (24 bits).
        b.wert[k] = (static_cast<std::uint64_t>(texte_.size()) << 24) | text.size();
        texte_.append(text);
        b.art[k] = Lang;
    }
}

void TStringGrid::SetZahl(int col, int row, double value, int decimals) {
    std::size_t k = 0;
    TBlock& b = Block(col, row, k);
    b.wert[k] = Bits(value);
    b.art[k] = static_cast<std::uint8_t>(Zahl + decimals);
}

void TStringGrid::SetNummer(int col, int row, long long i) {
    std::size_t k = 0;
    TBlock& b = Block(col, row, k);
    b.wert[k] = static_cast<std::uint64_t>(i);
    b.art[k] = Nummer;
}

std::size_t TStringGrid::AppendText(int col, int row, std::string& out) const {
    const TInhalt z = Inhalt(col, row);
    const std::uint64_t w = z.wert;
    const std::size_t anfang = out.size();
    switch (z.art) {
        case Leer: return 0;
        case Kurz: {
            char text[8];
            std::memcpy(text, &w, sizeof text);
            out.append(text, static_cast<std::size_t>(w >> 56));
            return Zeichen(std::string_view(out).substr(anfang));
        }
        case Lang:
            out.append(texte_, static_cast<std::size_t>(w >> 24), static_cast<std::size_t>(w & 0xFFFFFF));
            return Zeichen(std::string_view(out).substr(anfang));
        case Bezug: out += z.name->view(); return Zeichen(z.name->view());
        case Nummer: AppendFormat(out, "P%2d", {static_cast<long long>(w)}); break;
        default: AppendFixedText(out, AlsZahl(w), z.art - Zahl, 12);  // "%12.<d>f"
    }
    return out.size() - anfang;  // digits, signs, points: a byte a character
}

std::optional<std::string> TStringGrid::Beschriftung(int row) const {
    const TInhalt z = Inhalt(0, row);
    if (z.art != Kurz && z.art != Lang && z.art != Bezug) return std::nullopt;
    std::string text = Cells(0, row);
    if (text.empty()) return std::nullopt;
    return text;
}

void TStringGrid::Nummeriere() {
    TSpalte& s = spalten_[0];
    for (std::size_t b = 0; b < s.size(); ++b)
        for (std::size_t i = 0; i < s[b].art.size(); ++i)
            if (s[b].art[i] == Nummer) s[b].wert[i] = b * BlockZeilen + i - 1;
}

void TStringGrid::ZeilenLoeschen(int von, int bis) {
    von = std::max(von, 1);
    bis = std::min(bis, rowCount_ - 1);
    if (von > bis) return;
    Loesen(1, rowCount_);  // the cells hold their texts and values themselves
    const int weg = bis - von + 1;
    for (int c = 0; c < ColCount(); ++c)
        for (int r = von; r + weg < rowCount_; ++r) {
            const TInhalt z = Inhalt(c, r + weg);
            std::size_t k = 0;
            TBlock& b = Block(c, r, k);
            b.art[k] = z.art;
            b.wert[k] = z.wert;
        }
    SetRowCount(rowCount_ - weg);
    Nummeriere();
}

void TStringGrid::ZeilenEinfuegen(int vor, int anzahl) {
    vor = std::clamp(vor, 1, rowCount_);
    if (anzahl <= 0) return;
    Loesen(1, rowCount_);
    const int alt = rowCount_;
    SetRowCount(rowCount_ + anzahl);
    for (int c = 0; c < ColCount(); ++c) {
        for (int r = alt - 1; r >= vor; --r) {
            const TInhalt z = Inhalt(c, r);
            std::size_t k = 0;
            TBlock& b = Block(c, r + anzahl, k);
            b.art[k] = z.art;
            b.wert[k] = z.wert;
        }
        // The new rows: a typed row's number label, empty values.
        for (int r = vor; r < vor + anzahl; ++r) {
            if (c == 0) SetNummer(0, r, r - 1);
            else SetCell(c, r, "");
        }
    }
    Nummeriere();
}

std::optional<double> TStringGrid::Wert(int col, int row) const {
    const TInhalt z = Inhalt(col, row);
    if (z.art < Zahl) return std::nullopt;
    return AlsZahl(z.wert);
}

std::size_t TStringGrid::Breite(int col, int row) const {
    const TInhalt z = Inhalt(col, row);
    if (z.art >= Zahl) {
        // A sign, 9 - d integer digits (with room for a carry of the rounding), the point and d
        // decimals fit the twelve characters of "%12.<d>f".
        static constexpr double kGrenze[] = {1e9, 1e8, 1e7, 1e6, 1e5, 1e4, 1e3, 1e2, 1e1, 1e0};
        const int decimals = z.art - Zahl;
        if (decimals <= 9 && std::fabs(AlsZahl(z.wert)) < kGrenze[decimals]) return 12;
    }
    if (z.art == Kurz) {
        char text[8];
        std::memcpy(text, &z.wert, sizeof text);
        return Zeichen(std::string_view(text, static_cast<std::size_t>(z.wert >> 56)));
    }
    if (z.art == Bezug) return Zeichen(z.name->view());
    std::string text;
    AppendText(col, row, text);
    return Zeichen(text);
}

}  // namespace zentrix
