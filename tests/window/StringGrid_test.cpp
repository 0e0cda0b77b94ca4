// The grid that shows a point list without copying it: what it shows, what an edit or a change of
// its size does, and that a later command's points do not reach it.
#include "window/StringGrid.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/PunktListe.hpp"

using namespace zentrix;

namespace {

TPunktListe Liste(int n) {
    TPunktListe p;
    p.SetLength(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) p[i] = {std::string("N").append(std::to_string(i)), 1000.0 + i, 2000.5 + i, 300.25, 0.00015 * i};
    return p;
}

}  // namespace

TEST(StringGrid, ShowsThePointsAsTheFillWould) {
    TStringGrid g(5, 5);
    g.SetCell(4, 1, "alt");  // the centre row's residual cell keeps its text
    g.SetCell(2, 4, "weg");  // a cell below the list keeps it too
    const TPunktListe p = Liste(2);
    g.ZeigePunkte(p.Teilen(), TLabelArt::Nummer);
    EXPECT_EQ(g.Cells(0, 1), "P 0");
    EXPECT_EQ(g.Cells(1, 2), "    1001.000");
    EXPECT_EQ(g.Cells(3, 3), "     300.250");
    EXPECT_EQ(g.Cells(4, 3), "      0.0003");
    EXPECT_EQ(g.Cells(4, 1), "alt");
    EXPECT_EQ(g.Cells(2, 4), "weg");
    g.ZeigePunkte(p.Teilen(), TLabelArt::Name);
    EXPECT_EQ(g.Cells(0, 2), "N1");
    EXPECT_EQ(g.Breite(1, 2), 12u);
}

TEST(StringGrid, EditsAndSizeChangesKeepEveryOtherCell) {
    struct Fall {
        const char* was;
        void (*tu)(TStringGrid&);
        int spalte, zeile;
        const char* erwartet;
    };
    const Fall faelle[] = {
        {"an edited cell", [](TStringGrid& g) { g.SetCell(2, 2, "7,5"); }, 2, 2, "7,5"},
        {"beside an edited cell", [](TStringGrid& g) { g.SetCell(2, 2, "7,5"); }, 2, 3, "    2002.500"},
        {"fewer rows, then more", [](TStringGrid& g) { g.SetRowCount(3); g.SetRowCount(5); }, 1, 3, ""},
        {"fewer rows keep the rest", [](TStringGrid& g) { g.SetRowCount(3); }, 0, 2, "P 1"},
        {"fewer columns, then more", [](TStringGrid& g) { g.SetColCount(3); g.SetColCount(5); }, 3, 2, ""},
        {"fewer columns keep the rest", [](TStringGrid& g) { g.SetColCount(3); }, 1, 2, "    1001.000"},
        {"a shorter list leaves the row below", [](TStringGrid& g) {
             static const TPunktListe kurz = Liste(1);
             g.ZeigePunkte(kurz.Teilen(), TLabelArt::Name);
         }, 1, 3, "    1002.000"},
    };
    for (const Fall& f : faelle) {
        TStringGrid g(5, 5);
        const TPunktListe p = Liste(2);
        g.ZeigePunkte(p.Teilen(), TLabelArt::Nummer);
        f.tu(g);
        EXPECT_EQ(g.Cells(f.spalte, f.zeile), f.erwartet) << f.was;
    }
}

TEST(StringGrid, ALaterCommandWorksOnItsOwnList) {
    TStringGrid g(5, 4);
    TPunktListe p = Liste(2);
    g.ZeigePunkte(p.Teilen(), TLabelArt::Nummer);
    p.Aendern(1).SetLength(1);  // a command starts anew
    p[0].X = 5;
    EXPECT_EQ(g.Cells(1, 1), "    1000.000");
    EXPECT_EQ(g.Cells(1, 3), "    1002.000");
    EXPECT_EQ(p.Length(), 1u);
    TStringGrid kopie = g;  // a copy shows the same and goes its own way
    kopie.SetCell(1, 3, "x");
    EXPECT_EQ(g.Cells(1, 3), "    1002.000");
}

// Rows removed and added: the values move with their rows, a name (of a file, an evaluation) stays
// with its row, a typed row's "P n" shows its new number; the centre row is never touched.
TEST(StringGrid, RowsRemovedAndAddedKeepNamesAndRenumberTypedRows) {
    struct Fall {
        const char* was;
        void (*tu)(TStringGrid&);
        std::vector<std::string> labels;  // column 0 from row 1 on
        std::vector<std::string> x;       // column 1 from row 2 on
    };
    const Fall faelle[] = {
        {"one row removed", [](TStringGrid& g) { g.ZeilenLoeschen(3, 3); },
         {"N0", "N1", "P 2", "N4"}, {"    1001.000", "7", "    1004.000"}},
        {"two rows removed", [](TStringGrid& g) { g.ZeilenLoeschen(2, 3); }, {"N0", "P 1", "N4"}, {"7", "    1004.000"}},
        {"a row added in front of a typed one", [](TStringGrid& g) { g.ZeilenEinfuegen(4, 1); },
         {"N0", "N1", "N2", "P 3", "P 4", "N4"}, {"    1001.000", "    1002.000", "", "7", "    1004.000"}},
        {"two rows added at the end", [](TStringGrid& g) { g.ZeilenEinfuegen(6, 2); },
         {"N0", "N1", "N2", "P 3", "N4", "P 5", "P 6"},
         {"    1001.000", "    1002.000", "7", "    1004.000", "", ""}},
    };
    for (const Fall& f : faelle) {
        TStringGrid g(5, 6);
        const TPunktListe p = Liste(4);
        g.ZeigePunkte(p.Teilen(), TLabelArt::Name);
        g.SetNummer(0, 4, 3);  // row 4 was typed: "P 3", its X too
        g.SetCell(1, 4, "7");
        f.tu(g);
        ASSERT_EQ(g.RowCount(), static_cast<int>(f.labels.size()) + 1) << f.was;
        for (std::size_t i = 0; i < f.labels.size(); ++i) EXPECT_EQ(g.Cells(0, static_cast<int>(i) + 1), f.labels[i]) << f.was;
        for (std::size_t i = 0; i < f.x.size(); ++i) EXPECT_EQ(g.Cells(1, static_cast<int>(i) + 2), f.x[i]) << f.was;
        EXPECT_EQ(g.Beschriftung(1), std::optional<std::string>("N0")) << f.was;
        // The full value behind a named point's rounded text moves with it.
        for (int r = 2; r < g.RowCount(); ++r) {
            const std::string label = std::as_const(g).Cells(0, r);
            if (label[0] != 'N') continue;
            EXPECT_EQ(g.Wert(1, r), 1000.0 + std::stoi(label.substr(1))) << f.was;
        }
    }
    // A typed label is no name; a label the file gave is.
    TStringGrid g(5, 4);
    g.SetNummer(0, 2, 1);
    g.SetCell(0, 3, "101");
    EXPECT_EQ(g.Beschriftung(2), std::nullopt);
    EXPECT_EQ(g.Beschriftung(3), std::optional<std::string>("101"));
}
