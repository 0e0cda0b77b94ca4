#include "window/StringGrid.hpp"

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

double Wert(std::uint64_t b) {
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
    rowCount_ = rows;
    for (TSpalte& s : spalten_) {
        s.wert.resize(static_cast<std::size_t>(rows), 0);
        s.art.resize(static_cast<std::size_t>(rows), Leer);
    }
}

void TStringGrid::SetColCount(int cols) {
    if (cols < 1) cols = 1;
    spalten_.resize(static_cast<std::size_t>(cols));
    SetRowCount(rowCount_ < 1 ? 1 : rowCount_);
}

void TStringGrid::Pruefe(int col, int row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= rowCount_) RaiseRangeError();
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
    Pruefe(col, row);
    TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    const auto r = static_cast<std::size_t>(row);
    if (text.empty()) {
        s.art[r] = Leer;
    } else if (text.size() <= KurzMax) {
        std::uint64_t b = 0;
        std::memcpy(&b, text.data(), text.size());
        s.wert[r] = b | (static_cast<std::uint64_t>(text.size()) << 56);
        s.art[r] = Kurz;
    } else {
        // Where the text lies in the store (40 bits) and its length (24 bits).
        s.wert[r] = (static_cast<std::uint64_t>(texte_.size()) << 24) | text.size();
        texte_.append(text);
        s.art[r] = Lang;
    }
}

void TStringGrid::SetZahl(int col, int row, double value, int decimals) {
    Pruefe(col, row);
    TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    s.wert[static_cast<std::size_t>(row)] = Bits(value);
    s.art[static_cast<std::size_t>(row)] = static_cast<std::uint8_t>(Zahl + decimals);
}

void TStringGrid::SetNummer(int col, int row, long long i) {
    Pruefe(col, row);
    TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    s.wert[static_cast<std::size_t>(row)] = static_cast<std::uint64_t>(i);
    s.art[static_cast<std::size_t>(row)] = Nummer;
}

void TStringGrid::AppendText(int col, int row, std::string& out) const {
    Pruefe(col, row);
    const TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    const std::uint64_t w = s.wert[static_cast<std::size_t>(row)];
    const std::uint8_t art = s.art[static_cast<std::size_t>(row)];
    switch (art) {
        case Leer: return;
        case Kurz: {
            char text[8];
            std::memcpy(text, &w, sizeof text);
            out.append(text, static_cast<std::size_t>(w >> 56));
            return;
        }
        case Lang: out.append(texte_, static_cast<std::size_t>(w >> 24), static_cast<std::size_t>(w & 0xFFFFFF)); return;
        case Nummer: out += FormatText("P%2d", {static_cast<long long>(w)}); return;
        default: {
            // "%12.<d>f": right-aligned in twelve characters, never cut.
            const std::size_t anfang = out.size();
            AppendFixedText(out, Wert(w), art - Zahl);
            const std::size_t laenge = out.size() - anfang;
            if (laenge < 12) out.insert(anfang, 12 - laenge, ' ');
        }
    }
}

std::size_t TStringGrid::Breite(int col, int row) const {
    Pruefe(col, row);
    const TSpalte& s = spalten_[static_cast<std::size_t>(col)];
    const std::uint8_t art = s.art[static_cast<std::size_t>(row)];
    if (art >= Zahl) {
        // A sign, 9 - d integer digits (with room for a carry of the rounding), the point and d
        // decimals fit the twelve characters of "%12.<d>f".
        const double v = Wert(s.wert[static_cast<std::size_t>(row)]);
        static constexpr double kGrenze[] = {1e9, 1e8, 1e7, 1e6, 1e5, 1e4, 1e3, 1e2, 1e1, 1e0};
        const int decimals = art - Zahl;
        if (decimals <= 9 && std::fabs(v) < kGrenze[decimals]) return 12;
    }
    std::string text;
    AppendText(col, row, text);
    return Zeichen(text);
}

}  // namespace zentrix
