// SPDX-License-Identifier: GPL-3.0-or-later
// "Scan auswerten" in the window model: the cloud chosen, its spheres in the overview, one shown
// in the grid as "Rechne" takes it, the fields' errors, and a stop that changes nothing.

#include <gtest/gtest.h>

#include "window/UnitBogenschnitt3D.hpp"

using namespace zentrix;

namespace {

// A sphere of radius 0.1 m at 6 m in front of a pipe of its radius (3 500 points).
const std::string Wolke = ZENTRIX_TEST_DATA "/../scan/daten/kugel_vor_rohr.txt";

class ScanFenster : public ::testing::Test {
protected:
    void SetUp() override {
        form.Dispatch(&TForm1::Startrechnung);
        dialoge.FileAnswers = {std::nullopt, Wolke};
        form.Edit1.Text = "0.1";
    }
    TRecordingDialoge dialoge;
    TForm1 form{dialoge, "."};
};

}  // namespace

TEST_F(ScanFenster, TheSpheresGoToTheOverviewAndOneToTheGridAsRechneTakesIt) {
    // A cancelled choice changes nothing; a chosen cloud goes into the file field.
    ASSERT_TRUE(form.Dispatch(&TForm1::ScanWaehlen));
    EXPECT_FALSE(form.ScanGewaehlt);
    EXPECT_EQ(form.Statuszeile, "Scan auswerten: Dateiwahl abgebrochen");
    ASSERT_TRUE(form.Dispatch(&TForm1::ScanWaehlen));
    ASSERT_TRUE(form.ScanGewaehlt);
    EXPECT_EQ(form.Edit2.Text, Wolke);
    const std::string demo = form.StringGrid1.Cells(1, 1);

    ASSERT_TRUE(form.Dispatch(&TForm1::ScanAuswerten));
    EXPECT_EQ(form.Uebersicht, TForm1::TUebersicht::Scan);
    ASSERT_EQ(form.Scan->Kugeln.size(), 1u);
    EXPECT_EQ(form.Statuszeile,
              "Scan auswerten: kugel_vor_rohr.txt, 3 500 Punkte, 1 Kugel gefunden, 0 Kandidaten verworfen");
    EXPECT_EQ(form.Memo1.size(), 4u);
    EXPECT_EQ(form.StringGrid1.Cells(1, 1), demo);  // the grid keeps what it showed

    // Shown: its centre and points reduced to the station, the grid's record says so, and "Rechne"
    // right after computes the same centre.
    form.Iterieren = true;
    form.GewaehlteKugel = 0;
    ASSERT_TRUE(form.Dispatch(&TForm1::KugelZeigen));
    const TScanKugel& k = form.Scan->Kugeln[0];
    EXPECT_EQ(form.StringGrid1.Cells(0, 1), "K1");
    EXPECT_EQ(form.StringGrid1.RowCount(), k.Punkte + 2);
    EXPECT_EQ(form.GitterLage.Form, TPunktForm::Rechtwinklig);
    EXPECT_TRUE(form.GitterLage.Standpunkt);
    EXPECT_TRUE(form.MittelpunktGueltig);
    EXPECT_EQ(form.Edit1.Text, "0.1");
    EXPECT_EQ(form.Memo1[0].rfind("Kugel K1 aus ", 0), 0u);
    ASSERT_TRUE(form.Dispatch(&TForm1::Rechne));
    ASSERT_TRUE(form.LetzteLoesung && form.LetzteLoesung->Ausgleichung);
    EXPECT_NEAR(form.LetzteLoesung->Ausgleichung->Zentrum.X, k.Mittelpunkt.X, 1e-7);
    EXPECT_NEAR(form.LetzteLoesung->Ausgleichung->Zentrum.Y, k.Mittelpunkt.Y, 1e-7);
    EXPECT_NEAR(form.LetzteLoesung->Ausgleichung->Zentrum.Z, k.Mittelpunkt.Z, 1e-7);

    // From a station 1 m along X, the same sphere 1 m nearer (the new scan replaces the old one).
    const double x = k.Mittelpunkt.X;
    form.Standpunkt.Text = "1 0 0";
    ASSERT_TRUE(form.Dispatch(&TForm1::ScanAuswerten));
    ASSERT_TRUE(form.Dispatch(&TForm1::KugelZeigen));
    EXPECT_NEAR(form.Punkte[0].X, x - 1, 1e-3);
}

TEST_F(ScanFenster, TheFieldsErrorsNameTheFieldAndAStopChangesNothing) {
    form.Edit2.Text = Wolke;
    struct TFall {
        const char* radius;
        const char* standpunkt;
        const char* feld;
    };
    for (const TFall& f : {TFall{"0,1", "0 0 0", "Feld Reflektorhöhe"}, TFall{"0.1", "0 0", "Feld Standpunkt"},
                           TFall{"0.1", "0 x 0", "Feld Standpunkt"}}) {
        form.Edit1.Text = f.radius;
        form.Standpunkt.Text = f.standpunkt;
        EXPECT_FALSE(form.Dispatch(&TForm1::ScanAuswerten)) << f.standpunkt;
        EXPECT_EQ(form.LetzterFehlerOrt.Zelle, f.feld);
    }
    EXPECT_EQ(form.Uebersicht, TForm1::TUebersicht::Polar);

    form.Edit1.Text = "0.1";
    form.Standpunkt.Text = "0 0 0";
    const std::size_t bericht = form.Memo1.size();
    form.Fortschritt = [this](const std::string&, int) { form.ScanAbbrechen = true; };
    ASSERT_TRUE(form.Dispatch(&TForm1::ScanAuswerten));
    EXPECT_EQ(form.Statuszeile, "Scan auswerten: abgebrochen, nichts geändert");
    EXPECT_EQ(form.Uebersicht, TForm1::TUebersicht::Polar);
    EXPECT_TRUE(form.Scan->Kugeln.empty());
    EXPECT_EQ(form.Memo1.size(), bericht);
    EXPECT_FALSE(form.ScanAbbrechen);  // the next run is not stopped before it begins
}
