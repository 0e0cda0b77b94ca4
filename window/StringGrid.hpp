// The input grid of the window model: a table of cell texts, Cells(col, row).
//
// A grid can hold a scanned sphere of a million points, so its cells are kept compactly. A grid
// that shows a point list (label, X, Y, Z, vR) keeps the list itself, shared with the window
// model, and lays out a cell's text only when it is asked for. Cells written one by one lie in
// blocks of rows that exist only where something was written: a number as its value, a short
// text (a point number, a label) in the cell itself, a longer one in one shared character store;
// nine bytes a cell.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numerics/Punkt.hpp"

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

// How a grid showing points labels column 0: "P%2d" with the entry's index, the entry's Name, or
// the Name where the entry has one and "P%2d" where not (the names of a file kept among typed rows).
enum class TLabelArt { Nummer, Name, NameOderNummer };

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
    // Appends the cell's text to out; returns its width in characters (an umlaut is one).
    std::size_t AppendText(int col, int row, std::string& out) const;
    // The width of the cell's text in characters (an umlaut is one).
    std::size_t Breite(int col, int row) const;
    // The full value behind a number the program wrote (a computation, a file, the demonstration),
    // which the cell shows rounded; nothing for a text the user typed or pasted since, a label or
    // an empty cell.
    std::optional<double> Wert(int col, int row) const;

    // The name in row row's label (column 0), where it holds one: a text that came with the point
    // (a file's point number, a sphere's name). A typed row's "P%2d" or an empty label is none.
    std::optional<std::string> Beschriftung(int row) const;

    // Removes rows von..bis (from 1) and moves the rows below up; inserts anzahl empty rows in
    // front of row vor (from 1; RowCount() appends them). Every label "P%2d" then shows its new
    // row's number (row - 1), every name stays with its row's values.
    void ZeilenLoeschen(int von, int bis);
    void ZeilenEinfuegen(int vor, int anzahl);

    // Shows entries 0..n of punkte in rows 1..n+1: the label in column 0, X, Y, Z as "%12.3f" in
    // columns 1 to 3 and, from entry 1 on, vR as "%12.4f" in column 4; the centre row's column 4
    // keeps what it holds. The grid keeps the list (it must not change while shown). Every row
    // must exist (else "Fehler bei Bereichsprüfung", nothing changed) and column 4 too.
    void ZeigePunkte(std::shared_ptr<const TPunktArray> punkte, TLabelArt art);

private:
    enum TArt : std::uint8_t { Leer, Kurz, Lang, Nummer, Bezug, Zahl };  // Zahl + decimals
    // Rows are kept in blocks of this many; a block is made when a cell of it is written.
    static constexpr std::size_t BlockZeilen = 1024;
    struct TBlock {
        std::vector<std::uint64_t> wert;  // a number's bits, a short text, or where a long one lies
        std::vector<std::uint8_t> art;
    };
    using TSpalte = std::vector<TBlock>;
    // A cell as it is: its kind and value; a cell showing a point is given as what it shows.
    struct TInhalt {
        std::uint8_t art;
        std::uint64_t wert;
        const TName* name;  // a point's Name (art Bezug)
    };
    void Pruefe(int col, int row) const;
    bool Gezeigt(int col, int row) const;  // the cell shows an entry of punkte_
    TInhalt Inhalt(int col, int row) const;
    // The cell's block, made when missing; returns the cell's index in it.
    TBlock& Block(int col, int row, std::size_t& k);
    // Writes the cells of rows [von, bis) that show a point into the cells themselves and lets go
    // of the list.
    void Loesen(int von, int bis);
    // Every label "P%2d" of column 0 numbered by its row anew.
    void Nummeriere();

    std::vector<TSpalte> spalten_;
    int rowCount_ = 0;
    std::string texte_;  // the longer texts
    std::shared_ptr<const TPunktArray> punkte_;  // the points shown in rows 1..punkte_->Length()
    TLabelArt labelArt_ = TLabelArt::Nummer;
};

}  // namespace zentrix
