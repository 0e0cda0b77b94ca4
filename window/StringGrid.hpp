// The input grid of the window model: a table of cell texts, Cells(col, row).
//
// A grid can hold a scanned sphere of a million points, so its cells are kept compactly: a number
// written by the grid fill is kept as its value and laid out ("%12.3f") only when its text is
// asked for, a short text (a point number, a label) lies in the cell itself, a longer one in one
// shared character store. Nine bytes a cell, whatever it shows.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

class TStringGrid;

// A cell of a grid, to read or to assign a text as to a string.
class TZelle {
public:
    TZelle(TStringGrid& grid, int col, int row) : grid_(grid), col_(col), row_(row) {}
    TZelle& operator=(std::string_view text);
    TZelle& operator=(const TZelle& other) { return *this = std::string_view(other.Text()); }
    operator std::string() const { return Text(); }
    std::string Text() const;
    std::size_t size() const { return Text().size(); }
    bool empty() const { return Text().empty(); }
    void clear() { *this = std::string_view(); }
    std::size_t find(std::string_view s) const { return Text().find(s); }
    friend bool operator==(const TZelle& a, std::string_view b) { return a.Text() == b; }
    friend bool operator==(const TZelle& a, const TZelle& b) { return a.Text() == b.Text(); }
    friend void PrintTo(const TZelle& z, std::ostream* out);

private:
    TStringGrid& grid_;
    int col_, row_;
};

class TStringGrid {
public:
    TStringGrid(int colCount, int rowCount);
    int RowCount() const { return rowCount_; }
    int ColCount() const { return static_cast<int>(spalten_.size()); }
    // Changing the counts keeps the cells that remain; new cells are empty.
    void SetRowCount(int rows);
    void SetColCount(int cols);

    // The cell at column col, row row; outside the grid raises "Fehler bei Bereichsprüfung".
    TZelle Cells(int col, int row);
    std::string Cells(int col, int row) const;
    void SetCell(int col, int row, std::string_view text);
    // A number shown as "%12.<decimals>f", laid out when its text is asked for.
    void SetZahl(int col, int row, double value, int decimals);
    // The label "P%2d" of entry i.
    void SetNummer(int col, int row, long long i);
    // Appends the cell's text to out.
    void AppendText(int col, int row, std::string& out) const;
    // The width of the cell's text in characters (an umlaut is one).
    std::size_t Breite(int col, int row) const;

private:
    enum TArt : std::uint8_t { Leer, Kurz, Lang, Nummer, Zahl };  // Zahl + decimals
    struct TSpalte {
        std::vector<std::uint64_t> wert;  // a number's bits, a short text, or where a long one lies
        std::vector<std::uint8_t> art;
    };
    void Pruefe(int col, int row) const;

    std::vector<TSpalte> spalten_;
    int rowCount_ = 0;
    std::string texte_;  // the longer texts
};

}  // namespace zentrix
