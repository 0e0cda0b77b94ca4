// The window model: activation, "Rechne", the grid fill and the error handling of a command.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Hilfen.hpp"
#include "numerics/Kugel.hpp"
#include "textio/NumText.hpp"
#include "window/Grafik.hpp"
#include "window/UnitBogenschnitt3D.hpp"

using namespace zentrix;
namespace fs = std::filesystem;

namespace {

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        DecimalSeparator = ',';  // as on a German desktop before the first activation
    }
    TRecordingDialoge dialoge;
    TForm1 form{dialoge, "."};

    std::vector<std::string> Row(int r) {
        std::vector<std::string> row;
        for (int c = 0; c < form.StringGrid1.ColCount(); ++c) row.push_back(form.StringGrid1.Cells(c, r));
        return row;
    }
};

using Zeilen = std::vector<std::string>;

}  // namespace

TEST_F(Form1Test, StartsAsDesigned) {
    EXPECT_EQ(form.Edit1.Text, "2.00");
    EXPECT_EQ(form.Edit2.Text, "");
    EXPECT_EQ(form.StringGrid1.RowCount(), 5);
    EXPECT_EQ(form.StringGrid1.ColCount(), 5);
    EXPECT_EQ(form.Memo1, Zeilen{""});
    ASSERT_EQ(form.RadioGroup1.Items.size(), 8u);
    EXPECT_EQ(form.RadioGroup1.Items[3], "Nr Ri S  Zd R");
    EXPECT_EQ(form.RadioGroup1.ItemIndex, 0);
}

TEST_F(Form1Test, ActivationShowsTheDemonstration) {
    ASSERT_TRUE(form.Dispatch(&TForm1::Startrechnung));
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(form.Edit1.Text, "3.642");
    EXPECT_EQ(form.StringGrid1.RowCount(), 6);
    EXPECT_EQ(form.StringGrid1.ColCount(), 5);
    EXPECT_EQ(Row(0), (Zeilen{"Punkt", "X", "Y", "Z", "vZ"}));
    EXPECT_EQ(Row(2)[0], "P 1");
    EXPECT_EQ(Row(2)[1], "  802192.254");
    EXPECT_EQ(Row(2)[2], "  585697.677");
    EXPECT_EQ(Row(2)[3], "      71.443");
    EXPECT_EQ(Row(5)[0], "P 4");
    EXPECT_EQ(Row(5)[3], "      71.477");
    for (int r = 2; r <= 5; ++r) {
        EXPECT_EQ(form.StringGrid1.Cells(4, r), FormatText("%12.4f", {form.Punkte[r - 1].vR}));
        EXPECT_EQ(form.StringGrid1.Cells(4, r).size(), 12u);
    }
    // Row 1: the centre, without a residual.
    EXPECT_EQ(Row(1)[0], "P 0");
    EXPECT_EQ(Row(1)[1], FormatText("%12.3f", {form.Punkte[0].X}));
    EXPECT_EQ(Row(1)[3], FormatText("%12.3f", {form.Punkte[0].Z}));
    EXPECT_EQ(Row(1)[4], "");
    // The report follows the memo's first, empty line.
    ASSERT_GT(form.Memo1.size(), 2u);
    EXPECT_EQ(form.Memo1[0], "");
    EXPECT_EQ(form.Memo1[1], "Kugelzentrierung Punkt ");
    EXPECT_TRUE(dialoge.Messages.empty());
    EXPECT_TRUE(dialoge.Errors.empty());
    // The demonstration sphere (radius 3.642 m) lies below its surface points.
    EXPECT_LT(form.Punkte[0].Z, 71.4);
    EXPECT_EQ(form.Punkte.Length(), 5u);
}

TEST_F(Form1Test, SecondActivationAppendsAnIdenticalReport) {
    form.Startrechnung();
    const Zeilen first = form.Memo1;
    const auto gridAfterFirst = std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)};
    form.Startrechnung();
    const std::size_t reportLength = first.size() - 1;
    ASSERT_EQ(form.Memo1.size(), first.size() + reportLength);
    EXPECT_EQ(Zeilen(form.Memo1.begin() + static_cast<long>(first.size()), form.Memo1.end()),
              Zeilen(first.begin() + 1, first.end()));
    EXPECT_EQ((std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)}), gridAfterFirst);
}

TEST_F(Form1Test, RechneAfterStartUpRepeatsTheDemonstration) {
    form.Startrechnung();
    const Zeilen first = form.Memo1;
    const auto gridBefore = std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)};
    ASSERT_TRUE(form.Dispatch(&TForm1::Rechne));
    EXPECT_EQ(Zeilen(form.Memo1.begin() + static_cast<long>(first.size()), form.Memo1.end()),
              Zeilen(first.begin() + 1, first.end()));
    EXPECT_EQ((std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)}), gridBefore);
    EXPECT_EQ(form.Punkte.Length(), 5u);
}

TEST_F(Form1Test, RechneUsesTheRadiusFieldAndLeavesItsText) {
    form.Startrechnung();
    form.Edit1.Text = " 2 ";
    form.Rechne();
    EXPECT_EQ(form.Edit1.Text, " 2 ");
    bool sawRadius2 = false;
    for (const auto& line : form.Memo1) sawRadius2 |= line.find(", R 2.000") != std::string::npos;
    EXPECT_TRUE(sawRadius2);
}

TEST_F(Form1Test, BadCellTextEndsRechneAndLeavesGridAndMemo) {
    form.Startrechnung();
    form.StringGrid1.Cells(2, 3) = "1,5";
    const Zeilen memo = form.Memo1;
    const auto grid = std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)};
    const double oldCentreX = form.Punkte[0].X;
    EXPECT_FALSE(form.Dispatch(&TForm1::Rechne));
    ASSERT_EQ(dialoge.Errors.size(), 1u);
    EXPECT_EQ(dialoge.Errors[0], "'1,5' ist kein gültiger Gleitkommawert.");
    EXPECT_EQ(form.Memo1, memo);
    EXPECT_EQ((std::vector<Zeilen>{Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)}), grid);
    // The values converted before the bad cell are in the point list; the solver has not run.
    EXPECT_EQ(form.Punkte[1].X, 802192.254);
    EXPECT_EQ(form.Punkte[2].X, 802192.620);
    EXPECT_EQ(form.Punkte[0].X, oldCentreX);
}

TEST_F(Form1Test, BadRadiusTextAndEmptyCell) {
    form.Startrechnung();
    form.Edit1.Text = "abc";
    EXPECT_FALSE(form.Dispatch(&TForm1::Rechne));
    form.Edit1.Text = "3.642";
    form.StringGrid1.Cells(1, 2) = "";
    EXPECT_FALSE(form.Dispatch(&TForm1::Rechne));
    EXPECT_EQ(dialoge.Errors, (Zeilen{"'abc' ist kein gültiger Gleitkommawert.", "'' ist kein gültiger Gleitkommawert."}));
    // Each names where it stands: the field, or the cell by its row's label and column's header.
    EXPECT_EQ(OrtText(dialoge.ErrorOrte[0]), "Feld Reflektorhöhe: „abc“");
    EXPECT_EQ(OrtText(dialoge.ErrorOrte[1]), "Zeile P 1, Spalte X: „“");
    EXPECT_EQ(form.LetzterFehlerOrt.GitterZeile, 2);
    EXPECT_EQ(form.LetzterFehlerOrt.GitterSpalte, 1);
    EXPECT_EQ(form.Edit1.Text, "3.642");
    // 1.5 surrounded by blanks is a number.
    form.StringGrid1.Cells(1, 2) = " 802192.254 ";
    EXPECT_TRUE(form.Dispatch(&TForm1::Rechne));
}

TEST_F(Form1Test, RechneSaysEveryFailureOnceAndFillsTheGrid) {
    struct Fall {
        const char* what;
        int rows;           // grid rows: points + 2
        bool collinear;     // the points on one line in plan
        const char* radius;
    };
    const Fall faelle[] = {
        {"two points", 4, false, "3.642"},  {"collinear", 6, true, "3.642"},  {"radius 0", 6, false, "0"},
        {"negative radius", 6, false, "-3.642"}, {"radius too small", 6, false, "0.1"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.what);
        TRecordingDialoge d;
        TForm1 fresh(d, ".");
        fresh.Startrechnung();
        const std::size_t memoSize = fresh.Memo1.size();
        fresh.StringGrid1.SetRowCount(f.rows);
        if (f.collinear)
            for (int r = 2; r <= 5; ++r) {
                fresh.StringGrid1.Cells(1, r) = std::to_string(r);
                fresh.StringGrid1.Cells(2, r) = std::to_string(2 * r);
            }
        fresh.Edit1.Text = f.radius;
        ASSERT_TRUE(fresh.Dispatch(&TForm1::Rechne));
        EXPECT_EQ(d.Messages, Zeilen{"Kugelmittelnpunkt Fehler"});
        EXPECT_EQ(fresh.Memo1.size(), memoSize);  // every one fails before the report
        // No centre of the demonstration stays: the command computes from a clean list.
        EXPECT_EQ(fresh.StringGrid1.Cells(0, 1), "P 0");
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(fresh.StringGrid1.Cells(c, 1), "       0.000");
        EXPECT_EQ(fresh.StringGrid1.Cells(0, 2), "P 1");
        for (int r = 2; r < f.rows; ++r) EXPECT_EQ(fresh.StringGrid1.Cells(4, r), "      0.0000");
    }
    // The start-up demonstration says nothing.
    EXPECT_TRUE(dialoge.Messages.empty());
}

TEST_F(Form1Test, LabelsWidenButAreNeverCut) {
    form.Punkte.SetLength(124);
    TStringGrid grid(5, 125);
    FillGrid(grid, form.Punkte, TLabelArt::Nummer);
    EXPECT_EQ(grid.Cells(0, 1), "P 0");
    EXPECT_EQ(grid.Cells(0, 10), "P 9");
    EXPECT_EQ(grid.Cells(0, 11), "P10");
    EXPECT_EQ(grid.Cells(0, 124), "P123");
    form.Punkte[5].Name = "Kugel 17";
    FillGrid(grid, form.Punkte, TLabelArt::Name);
    EXPECT_EQ(grid.Cells(0, 6), "Kugel 17");
    EXPECT_EQ(grid.Cells(0, 1), "");
}

TEST_F(Form1Test, CentreResidualCellSurvivesEveryFill) {
    form.Startrechnung();
    form.StringGrid1.Cells(4, 1) = "Notiz";
    form.Rechne();
    EXPECT_EQ(form.StringGrid1.Cells(4, 1), "Notiz");
    form.Startrechnung();
    EXPECT_EQ(form.StringGrid1.Cells(4, 1), "Notiz");
    // Text typed into the centre row is never read.
    form.StringGrid1.Cells(1, 1) = "kein Wert";
    EXPECT_TRUE(form.Dispatch(&TForm1::Rechne));
}

TEST_F(Form1Test, FileSelection) {
    form.Edit2.Text = "eigene.kor";
    dialoge.FileAnswers = {std::nullopt, std::string("/daten/kugel.kor")};
    form.Dispatch(&TForm1::DateiWaehlen);
    EXPECT_EQ(form.Edit2.Text, "eigene.kor");
    form.Dispatch(&TForm1::DateiWaehlen);
    EXPECT_EQ(form.Edit2.Text, "/daten/kugel.kor");
    EXPECT_EQ(dialoge.OpenFileCalls, 2);
}

TEST_F(Form1Test, GridCellsOutsideRaiseRangeError) {
    EXPECT_THROW(form.StringGrid1.Cells(5, 0), ERangeError);
    form.StringGrid1.Cells(3, 4) = "x";
    form.StringGrid1.SetRowCount(8);
    EXPECT_EQ(form.StringGrid1.Cells(3, 4), "x");
    EXPECT_EQ(form.StringGrid1.Cells(3, 7), "");
}

// With "Iterieren" a failure says its reason and shows no centre.
TEST_F(Form1Test, IterierenSaysTheReasonAndShowsNoCentre) {
    form.Iterieren = true;
    ASSERT_TRUE(form.Dispatch(&TForm1::Startrechnung));
    EXPECT_TRUE(dialoge.Messages.empty());
    EXPECT_EQ(Row(1)[1], "  802192.505");  // the least-squares centre of the demonstration
    for (int r = 2; r <= 5; ++r) {
        form.StringGrid1.Cells(1, r) = std::to_string(r);
        form.StringGrid1.Cells(2, r) = std::to_string(2 * r);
        form.StringGrid1.Cells(3, r) = std::to_string(3 * r);
    }
    ASSERT_TRUE(form.Dispatch(&TForm1::Rechne));
    ASSERT_EQ(dialoge.Messages.size(), 1u);
    EXPECT_TRUE(dialoge.Messages[0].starts_with("Kugelmittelnpunkt Fehler: Die Normalgleichungen sind singulär"));
    EXPECT_EQ(Row(1), (Zeilen{"P 0", "", "", "", ""}));
    EXPECT_EQ(form.Memo1.back(), "Ausgleichung nicht möglich: " + form.LetzteLoesung->Fehlertext);
}

// "Rechne" keeps the names a file gave its points (grid and picture); typed rows are "P n". Rows
// removed or added leave no result standing: the centre and residuals shown are no longer valid.
TEST_F(Form1Test, NamesStayWithTheirPointsAndRowsComeAndGo) {
    ASSERT_TRUE(form.Dispatch(&TForm1::Startrechnung));
    form.Edit2.Text = ZENTRIX_TEST_DATA "/koordinaten/vierzig_punkte.kor";
    ASSERT_TRUE(form.Dispatch(&TForm1::RechneDatei));
    EXPECT_TRUE(form.MittelpunktGueltig);
    form.GewaehlteZeilen = {3, 4};  // points 2 and 3
    ASSERT_TRUE(form.Dispatch(&TForm1::ZeilenLoeschen));
    EXPECT_EQ(form.Statuszeile, "Zeilen löschen: 2 Zeilen gelöscht");
    EXPECT_FALSE(form.MittelpunktGueltig);
    form.GewaehlteZeilen = {2, 2};
    ASSERT_TRUE(form.Dispatch(&TForm1::ZeilenEinfuegen));
    EXPECT_EQ(Row(2)[0], "P 1");
    EXPECT_EQ(Row(3)[0], "1");
    EXPECT_EQ(Row(4)[0], "4");
    form.StringGrid1.Cells(1, 2) = "1000";  // the top of the sphere (radius 0.1)
    form.StringGrid1.Cells(2, 2) = "2000";
    form.StringGrid1.Cells(3, 2) = "300.1";
    ASSERT_TRUE(form.Dispatch(&TForm1::Rechne));
    EXPECT_TRUE(form.MittelpunktGueltig) << form.Statuszeile;
    EXPECT_EQ(form.StringGrid1.RowCount(), 41);
    EXPECT_EQ(Row(1)[0], "P 0");
    EXPECT_EQ(Row(2)[0], "P 1");
    EXPECT_EQ(Row(3)[0], "1");
    EXPECT_EQ(Row(40)[0], "40");
    EXPECT_EQ(GrafikAus(form).Punkte[1].Name, "1");
    // The centre row is never removed.
    form.GewaehlteZeilen = {1, 1};
    ASSERT_TRUE(form.Dispatch(&TForm1::ZeilenLoeschen));
    EXPECT_EQ(form.Statuszeile, "Zeilen löschen: keine Punktzeile gewählt");
    EXPECT_EQ(form.StringGrid1.RowCount(), 41);
}

// A sphere shown from the overview whose value could not be read names the line and field of the
// file, as the evaluation did.
TEST(Form1KugelZeigen, ASphereThatCouldNotBeReadNamesItsLineInTheFile) {
    test::TempFolder ordner;
    const std::string datei = ordner.File("m.dat");
    std::ofstream(datei) << "K1 37.50941 12.4689 95.76694 0.0725\nK1 37.30359 12.4561 95.43280 0.0725\n"
                            "K1 37.09941 12.4415 95.60486 0.07x5\nK2 268.99111 41.2874 96.66902 0.0725\n"
                            "K2 268.9x828 41.2849 96.56929 0.0725\nK2 268.94725 41.2624 96.62077 0.0725\n";
    TRecordingDialoge dialoge;
    TForm1 form(dialoge, ordner.Path().string());
    form.Edit2.Text = datei;
    ASSERT_TRUE(form.Dispatch(&TForm1::Polarauswertung));
    for (const std::size_t k : {0u, 1u}) {
        form.GewaehlteKugel = k;
        ASSERT_TRUE(form.Dispatch(&TForm1::KugelZeigen));
        const std::string ort = k == 0 ? "Zeile 3, Feld 5" : "Zeile 5, Feld 2";
        EXPECT_NE(form.Statuszeile.find(ort), std::string::npos) << form.Statuszeile;
        EXPECT_FALSE(form.MittelpunktGueltig);
    }
}

// Every command leaves one line for the status bar: what it did, or the error that ended it.
TEST(Form1Statuszeile, EveryCommandSaysWhatItDid) {
    test::TempFolder ordner;
    const std::string daten = ZENTRIX_TEST_DATA;
    // Konvert and the polar evaluation write beside their input: copies in a folder of their own.
    fs::copy_file(daten + "/konvert/test2.beb", ordner.Path() / "test2.beb");
    fs::copy_file(daten + "/beobachtungen/vier_kugeln.dat", ordner.Path() / "vier_kugeln.dat");
    struct Fall {
        void (TForm1::*befehl)();
        std::string edit2, edit1;  // the file field and the reflector height ("": as they stand)
        int zeilen;                // the grid's rows before the command (0: as they stand)
        const char* statuszeile;
    };
    const Fall faelle[] = {
        {&TForm1::Startrechnung, "", "", 0, "Startrechnung: 4 Punkte, m0 254.0 mm"},
        {&TForm1::Rechne, "", "", 0, "Rechne: 4 Punkte, m0 254.0 mm"},
        {&TForm1::Rechne, "", "3,642", 0, "Rechne: '3,642' ist kein gültiger Gleitkommawert"},
        {&TForm1::Rechne, "", "", 4,
         "Rechne: 2 Punkte, Kugelmittelpunkt nicht berechnet – zu wenig Punkte: eine Kugel braucht mindestens drei"},
        {&TForm1::RechneDatei, daten + "/koordinaten/vierzig_punkte.kor", "", 0,
         "Rechne Datei: vierzig_punkte.kor, 40 Punkte, m0 0.3 mm"},
        {&TForm1::RechneDatei, daten + "/koordinaten/drei_punkte.kor", "", 0,
         "Rechne Datei: drei_punkte.kor, 3 Punkte, ohne Überbestimmung"},
        {&TForm1::RechneDatei, ordner.File("fehlt.kor"), "", 0, "Rechne Datei: Datei nicht gefunden"},
        {&TForm1::Konvert, "", "", 0, "Konvert: test2.Kor mit 5 Punkten geschrieben"},
        {&TForm1::Polarauswertung, ordner.File("vier_kugeln.dat"), "", 0,
         "Polarauswertung: 4 Kugeln ausgewertet, 0 fehlgeschlagen"},
        {&TForm1::Polarauswertung, " ", "", 0,
         "Polarauswertung: Kein Dateiname angegeben: bitte eine Beobachtungsdatei wählen (Doppelklick in das Dateifeld)"},
        {&TForm1::DateiWaehlen, "", "", 0, "Datei gewählt: kugel.kor"},
        {&TForm1::DateiWaehlen, "", "", 0, "Dateiwahl abgebrochen"},
    };
    TRecordingDialoge dialoge;
    dialoge.FileAnswers = {std::string("/daten/kugel.kor"), std::nullopt};
    TForm1 form(dialoge, ordner.Path().string());
    for (const Fall& f : faelle) {
        if (!f.edit2.empty()) form.Edit2.Text = f.edit2 == " " ? "" : f.edit2;
        if (!f.edit1.empty()) form.Edit1.Text = f.edit1;
        if (f.zeilen > 0) form.StringGrid1.SetRowCount(f.zeilen);
        form.Dispatch(f.befehl);
        EXPECT_EQ(form.Statuszeile, f.statuszeile);
        form.Edit1.Text = "3.642";
        form.StringGrid1.SetRowCount(6);
    }
    // Konvert in a folder without its input.
    fs::create_directory(ordner.Path() / "leer");
    TForm1 leer(dialoge, (ordner.Path() / "leer").string());
    leer.Dispatch(&TForm1::Konvert);
    EXPECT_EQ(leer.Statuszeile, "Konvert: Datei nicht gefunden");
}
