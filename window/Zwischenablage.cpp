#include "window/Zwischenablage.hpp"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>
#include <vector>

namespace zentrix {

namespace {

std::vector<std::string_view> Zeilen(std::string_view text) {
    std::vector<std::string_view> zeilen;
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        const std::size_t ende = text.find_first_of("\r\n", anfang);
        if (ende == std::string_view::npos) {
            zeilen.push_back(text.substr(anfang));
            break;
        }
        zeilen.push_back(text.substr(anfang, ende - anfang));
        anfang = ende + (text[ende] == '\r' && ende + 1 < text.size() && text[ende + 1] == '\n' ? 2 : 1);
    }
    return zeilen;
}

std::vector<std::string> Werte(std::string_view zeile) {
    std::vector<std::string> werte;
    if (zeile.find('\t') != std::string_view::npos) {
        // TAB-separated: an empty value stays (an empty cell of the spreadsheet).
        std::size_t anfang = 0;
        for (;;) {
            const std::size_t tab = zeile.find('\t', anfang);
            werte.emplace_back(zeile.substr(anfang, tab == std::string_view::npos ? std::string_view::npos : tab - anfang));
            if (tab == std::string_view::npos) break;
            anfang = tab + 1;
        }
    } else {
        std::size_t i = 0;
        while (i < zeile.size()) {
            while (i < zeile.size() && zeile[i] == ' ') ++i;
            const std::size_t anfang = i;
            while (i < zeile.size() && zeile[i] != ' ') ++i;
            if (i > anfang) werte.emplace_back(zeile.substr(anfang, i - anfang));
        }
    }
    for (std::string& w : werte) std::replace(w.begin(), w.end(), ',', '.');
    return werte;
}

}  // namespace

bool ErgebnisZelle(int col, int row) { return (row == 1 && col >= 1 && col <= 4) || (row >= 2 && col == 4); }

std::string KopiereZellen(const TStringGrid& grid, int c0, int r0, int c1, int r1, bool ergebnisGueltig) {
    std::string text;
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (c > c0) text += '\t';
            // What a failed computation left behind is no result: it goes out empty.
            if (!ergebnisGueltig && ErgebnisZelle(c, r)) continue;
            // A number the program wrote goes out in full: the shortest text that reads back to the
            // same double, with a decimal point and no padding. Texts go out as they stand.
            if (const std::optional<double> wert = grid.Wert(c, r)) {
                char zahl[32];
                const auto [ende, fehler] = std::to_chars(zahl, zahl + sizeof zahl, *wert);
                text.append(zahl, fehler == std::errc() ? ende : zahl);
            } else {
                grid.AppendText(c, r, text);
            }
        }
        text += '\n';
    }
    return text;
}

int FuegeEin(TStringGrid& grid, int col, int row, std::string_view text) {
    const std::vector<std::string_view> zeilen = Zeilen(text);
    col = std::max(col, 1);
    row = std::max(row, 1);
    const int anzahl = static_cast<int>(zeilen.size());
    if (row + anzahl > grid.RowCount()) grid.SetRowCount(row + anzahl);
    for (int k = 0; k < anzahl; ++k) {
        const std::vector<std::string> werte = Werte(zeilen[static_cast<std::size_t>(k)]);
        for (std::size_t j = 0; j < werte.size() && col + static_cast<int>(j) < grid.ColCount(); ++j)
            AendereZelle(grid, col + static_cast<int>(j), row + k, werte[j]);
    }
    return anzahl;
}

bool AendereZelle(TStringGrid& grid, int col, int row, std::string_view text) {
    if (grid.Cells(col, row) == text) return false;
    grid.SetCell(col, row, text);
    // The residual (metres) was the old point's distance from the sphere: it says nothing of the new one.
    if (col >= 1 && col <= 3 && grid.ColCount() > 4) grid.SetCell(4, row, "");
    return true;
}

void LoescheZellen(TStringGrid& grid, int c0, int r0, int c1, int r1) {
    for (int r = std::max(r0, 1); r <= r1; ++r)
        for (int c = std::max(c0, 1); c <= c1; ++c) AendereZelle(grid, c, r, "");
}

}  // namespace zentrix
