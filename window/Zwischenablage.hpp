// The grid and a spreadsheet: cells copied as TAB-separated lines, a block of values pasted, cells
// typed into or cleared.
#pragma once

#include <string>
#include <string_view>

#include "window/StringGrid.hpp"

namespace zentrix {

// The cells in columns c0..c1 and rows r0..r1: one line a row, the cells separated by TAB, each
// line ended by LF. A number the program wrote goes out with all its digits (the shortest text that
// reads back to the same value, e.g. 802192.2541 where the grid shows 802192.254), any other cell
// as its text. Without ergebnisGueltig the result cells (ErgebnisZelle) go out empty.
std::string KopiereZellen(const TStringGrid& grid, int c0, int r0, int c1, int r1, bool ergebnisGueltig = true);

// The cells that hold a computation's result: the centre row's coordinates and residual column
// (row 1, columns 1 to 4) and every point's residual (column 4 from row 2 on). The window shows
// them empty, and a copy takes them empty, while they hold no result (TForm1::MittelpunktGueltig).
bool ErgebnisZelle(int col, int row);

// Pastes a block of values at column col, row row: a line of the text for each row (LF, CR LF or
// CR; a last empty line counts for nothing), its values separated by TABs where it has one, else
// by runs of blanks. A decimal comma becomes a point (a German spreadsheet copies "71,443"). Rows
// are added below the last one where the block needs them; values beyond the last column are
// dropped. The header row and the labels in column 0 are never written: a block begins at row 1
// and column 1 at the least. Returns the number of rows written.
int FuegeEin(TStringGrid& grid, int col, int row, std::string_view text);

// Writes a text the user typed or pasted into a cell; a text equal to the cell's leaves it as it is
// (with the full value behind a number). Where it changes a coordinate (columns 1 to 3), the row's
// residual (column 4), which belonged to the old point, is emptied. Returns whether the cell
// changed.
bool AendereZelle(TStringGrid& grid, int col, int row, std::string_view text);

// Empties the cells in columns c0..c1 and rows r0..r1 as the Delete key does, by the rule of
// AendereZelle; the header row and the labels in column 0 stay.
void LoescheZellen(TStringGrid& grid, int c0, int r0, int c1, int r1);

}  // namespace zentrix
