// Spreadsheet copy and paste on the grid: what lands where, and what is never touched.
#include "window/Zwischenablage.hpp"

#include <gtest/gtest.h>

using namespace zentrix;

namespace {

// A grid of the window's shape: header row, centre row and two point rows, five columns; point 1
// with a residual.
TStringGrid Gitter() {
    TStringGrid g(5, 4);
    g.SetCell(0, 0, "Punkt");
    g.SetCell(1, 0, "X");
    g.SetCell(0, 2, "P 1");
    g.SetZahl(4, 2, 0.0012, 4);
    return g;
}

}  // namespace

TEST(Zwischenablage, PastedBlocksLandAsASpreadsheetCopiedThem) {
    struct Fall {
        const char* was;
        int col, row;
        const char* text;
        int zeilen;        // grid rows afterwards
        int c, r;          // a cell to look at
        const char* wert;  // its text
    };
    const Fall faelle[] = {
        {"TABs, decimal commas", 1, 2, "71,443\t585697,5\t10\r\n", 4, 2, 2, "585697.5"},
        {"runs of blanks", 1, 2, "  1.5   2,25  3 \n", 4, 2, 2, "2.25"},
        {"an empty spreadsheet cell stays empty", 1, 2, "1\t\t3", 4, 2, 2, ""},
        {"more rows than the grid has", 1, 2, "1 2 3\n4 5 6\n7 8 9\n", 5, 3, 4, "9"},
        {"CR alone ends a line too", 1, 2, "1 2 3\r4 5 6", 4, 1, 3, "4"},
        {"values beyond the last column are dropped", 3, 2, "1 2 3 4", 4, 4, 2, "2"},
        {"column 0 is never written", 0, 2, "9 8", 4, 0, 2, "P 1"},
        {"a block at column 0 begins at column 1", 0, 2, "9 8", 4, 1, 2, "9"},
        {"the header row is never written", 1, 0, "9", 4, 1, 0, "X"},
        {"a block at the header begins at row 1", 1, 0, "9", 4, 1, 1, "9"},
        {"a changed coordinate empties the residual", 3, 2, "9", 4, 4, 2, ""},
        {"empty cells on empty ones change nothing", 1, 2, "\t\n", 4, 4, 2, "      0.0012"},
        {"a residual pasted with its point stands", 3, 2, "9\t0.5", 4, 4, 2, "0.5"},
    };
    for (const Fall& f : faelle) {
        TStringGrid g = Gitter();
        FuegeEin(g, f.col, f.row, f.text);
        EXPECT_EQ(g.RowCount(), f.zeilen) << f.was;
        EXPECT_EQ(g.Cells(f.c, f.r), f.wert) << f.was;
    }
}

TEST(Zwischenablage, CopiedCellsAreTabSeparatedLines) {
    TStringGrid g = Gitter();
    FuegeEin(g, 1, 2, "1,5\t2\t3\n4\t5\t6");
    EXPECT_EQ(KopiereZellen(g, 0, 2, 2, 3), "P 1\t1.5\t2\n\t4\t5\n");
    // What is copied pastes back the same.
    TStringGrid h = Gitter();
    FuegeEin(h, 1, 2, KopiereZellen(g, 1, 2, 3, 3));
    EXPECT_EQ(KopiereZellen(h, 1, 2, 3, 3), KopiereZellen(g, 1, 2, 3, 3));
    // Numbers the program wrote go out in full, whatever the grid shows of them.
    g.SetZahl(1, 2, 802192.25412345, 3);
    g.SetZahl(2, 2, -0.1, 3);
    g.SetZahl(3, 2, 1e-7, 4);
    EXPECT_EQ(g.Cells(1, 2), "  802192.254");
    EXPECT_EQ(KopiereZellen(g, 1, 2, 3, 2), "802192.25412345\t-0.1\t1e-07\n");
}

// What a failed computation left in the result cells (the centre row, the residuals) goes out
// empty; the points' coordinates and labels go out as they are.
TEST(Zwischenablage, AFailureCopiesNoResult) {
    TStringGrid g = Gitter();
    g.SetCell(0, 1, "P 0");
    for (int c = 1; c <= 3; ++c) g.SetZahl(c, 1, 0.0, 3);
    g.SetZahl(1, 2, 802192.2541, 3);
    EXPECT_EQ(KopiereZellen(g, 0, 1, 4, 2, true), "P 0\t0\t0\t0\t\nP 1\t802192.2541\t\t\t0.0012\n");
    EXPECT_EQ(KopiereZellen(g, 0, 1, 4, 2, false), "P 0\t\t\t\t\nP 1\t802192.2541\t\t\t\n");
}
