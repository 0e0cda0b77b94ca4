// The picture's plain values: what the last computation gives, the views and the magnification.
#include "window/Grafik.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "window/UnitBogenschnitt3D.hpp"

using namespace zentrix;

TEST(Grafik, TheDemonstrationsPointsCentreAndResiduals) {
    TRecordingDialoge d;
    TForm1 form(d, ".");
    EXPECT_FALSE(GrafikAus(form).Gerechnet);
    form.Dispatch(&TForm1::Startrechnung);
    const TGrafik g = GrafikAus(form);
    ASSERT_TRUE(g.Erfolg);
    EXPECT_FALSE(g.Standpunkt);
    ASSERT_EQ(g.Punkte.size(), 4u);
    EXPECT_EQ(g.Punkte[0].Name, "P 1");  // as the grid calls them
    EXPECT_EQ(g.Punkte[2].P.X, 802192.646);
    EXPECT_EQ(g.Punkte[3].vR, form.Punkte[4].vR);
    EXPECT_EQ(g.Zentrum.Z, form.Punkte[0].Z);
    EXPECT_EQ(g.R, 3.642);
    // A command that ends with an input error before it computes changes nothing of it.
    form.StringGrid1.Cells(2, 3) = "x";
    form.Edit1.Text = "0.5";
    EXPECT_FALSE(form.Dispatch(&TForm1::Rechne));
    const TGrafik danach = GrafikAus(form);
    ASSERT_EQ(danach.Punkte.size(), 4u);
    EXPECT_EQ(danach.Punkte[1].P.Y, g.Punkte[1].P.Y);
    EXPECT_EQ(danach.Zentrum.Z, g.Zentrum.Z);
}

TEST(Grafik, APolarFormatIsDrawnInSpaceFromTheStation) {
    // Five points of a sphere of 0.5 m around (30, 40, 2), as direction (gon), horizontal distance
    // and height difference (data format 2, "Nr Ri S dH R"); the picture has them back in X, Y, Z.
    const double kPi = 3.14159265358979323846;
    const double xyz[5][3] = {{30.4, 40, 2.3}, {30, 40.5, 2}, {29.6, 40, 1.7}, {30, 39.6, 2.3}, {30.3, 40.4, 1.8}};
    std::string text;
    for (int i = 0; i < 5; ++i) {
        const double s = std::hypot(xyz[i][0], xyz[i][1]), t = std::atan2(xyz[i][1], xyz[i][0]) * 200 / kPi;
        const double dz = xyz[i][2];
        char zeile[128];
        std::snprintf(zeile, sizeof zeile, "%d %.10f %.10f %.10f 0.5\n", i + 1, t, s, dz);
        text += zeile;
    }
    const std::string datei = testing::TempDir() + "grafik_polar.kor";
    FILE* f = std::fopen(datei.c_str(), "wb");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    TRecordingDialoge d;
    TForm1 form(d, ".");
    form.Dispatch(&TForm1::Startrechnung);
    form.Edit2.Text = datei;
    form.RadioGroup1.ItemIndex = 2;
    ASSERT_TRUE(form.Dispatch(&TForm1::RechneDatei));
    const TGrafik g = GrafikAus(form);
    ASSERT_TRUE(g.Erfolg);
    EXPECT_TRUE(g.Standpunkt);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(g.Punkte[static_cast<std::size_t>(i)].P.X, xyz[i][0], 1e-5);
        EXPECT_NEAR(g.Punkte[static_cast<std::size_t>(i)].P.Y, xyz[i][1], 1e-5);
        EXPECT_NEAR(g.Punkte[static_cast<std::size_t>(i)].P.Z, xyz[i][2], 1e-5);
    }
    // The section looks along the line from the station: the centre lies at its distance.
    EXPECT_NEAR(Projektion(g, TAnsicht::Schnitt, g.Zentrum).u, std::hypot(g.Zentrum.X, g.Zentrum.Y), 1e-9);
    EXPECT_EQ(Projektion(g, TAnsicht::Grundriss, {1, 2, 3}).u, 2);  // Y to the right
    std::remove(datei.c_str());
}

TEST(Grafik, AFailedComputationSaysWhy) {
    TRecordingDialoge d;
    TForm1 form(d, ".");
    form.Dispatch(&TForm1::Startrechnung);
    form.StringGrid1.SetRowCount(4);  // two points only
    form.Dispatch(&TForm1::Rechne);
    const TGrafik g = GrafikAus(form);
    EXPECT_TRUE(g.Gerechnet);
    EXPECT_FALSE(g.Erfolg);
    // The one-step method's message says no more; the picture gives the reason too.
    EXPECT_EQ(d.Messages.back(), "Kugelmittelnpunkt Fehler");
    EXPECT_EQ(g.Fehler, "Kugelmittelnpunkt Fehler: zu wenig Punkte: eine Kugel braucht mindestens drei");
    EXPECT_EQ(g.Punkte.size(), 2u);
}

TEST(Grafik, MagnificationAndScaleAreRoundNumbers) {
    EXPECT_EQ(Vergroesserung(0.001, 0.5), 100);   // 1 mm on a 0.5 m sphere: 125 mm wanted
    EXPECT_EQ(Vergroesserung(0.0003, 0.0725), 50);
    EXPECT_EQ(Vergroesserung(0.2, 0.1), 1);        // never below 1
    EXPECT_EQ(Vergroesserung(0, 0.1), 1);
    EXPECT_EQ(Vergroesserung(1e-9, 1), 100000);     // never above 100 000
    EXPECT_EQ(Massstabslaenge(1.0), 0.2);
    EXPECT_EQ(Massstabslaenge(0.3), 0.05);
}

TEST(Grafik, NamesOfNearPointsGoWhereNoOtherNameIs) {
    // Names 20 × 10 pixels at marks placed in turn; where each lands (x, y of its box).
    const double faelle[][4] = {
        {100, 100, 106, 84},  // above right
        {104, 102, 110, 108}, // above right is taken: below right
        {102, 98, 76, 82},    // both right ones taken: above left
        {101, 101, 75, 107},  // below left
        {103, 100, 109, 72},  // all four taken: above right, a line further out
        {200, 100, 206, 84},  // far off: above right again
    };
    std::vector<TFeld> belegt;
    for (const auto& f : faelle) {
        const auto feld = NamenFeld(f[0], f[1], 20, 10, belegt);
        ASSERT_TRUE(feld.has_value()) << f[0];
        EXPECT_EQ(std::pair(feld->x, feld->y), std::pair(f[2], f[3])) << f[0];
    }
    EXPECT_EQ(belegt.size(), 6u);
    // Where every place is taken the name is left out.
    belegt = {TFeld{0, 0, 1000, 1000}};
    EXPECT_FALSE(NamenFeld(500, 500, 20, 10, belegt).has_value());
    EXPECT_EQ(belegt.size(), 1u);
}

TEST(Grafik, PointingsOfOneSphereGetTheirNumbers) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> faelle = {
        {{"F50", "F50", "F50"}, {"F50/1", "F50/2", "F50/3"}},  // a polar sphere's pointings
        {{"K1", "K2", "K1", "7"}, {"K1/1", "K2", "K1/3", "7"}},  // only names that repeat
    };
    for (const auto& [namen, erwartet] : faelle) {
        std::vector<TGrafikPunkt> punkte;
        for (std::size_t i = 0; i < namen.size(); ++i) punkte.push_back({namen[i], {}, 0, false, static_cast<int>(i) + 1});
        UnterscheideNamen(punkte);
        std::vector<std::string> namenDanach;
        for (const TGrafikPunkt& p : punkte) namenDanach.push_back(p.Name);
        EXPECT_EQ(namenDanach, erwartet);
    }
}

TEST(Grafik, TheLegendsPiecesNeverOverlap) {
    using W = TLegendenWunsch;
    struct TFall {
        double links, rechts;
        std::vector<TLegendenTeil> teile;
        std::vector<std::pair<double, int>> orte;  // left edge and line of each piece
    };
    const TFall faelle[] = {
        // The saved picture: both scales on one line, the note on thinned points below.
        {12, 988, {{140, W::Folgend}, {340, W::AbMitte}, {190, W::Rechts}}, {{12, 0}, {500, 0}, {798, 1}}},
        // A shorter note fits flush right on the first line.
        {12, 988, {{140, W::Folgend}, {300, W::AbMitte}, {100, W::Rechts}}, {{12, 0}, {500, 0}, {888, 0}}},
        // A narrow window: one piece a line; one too wide for the line from the middle starts left.
        {12, 300, {{80, W::Folgend}, {296, W::AbMitte}, {190, W::Rechts}}, {{12, 0}, {12, 1}, {110, 2}}},
        // A long metric text pushes the residuals' scale right of the middle.
        {12, 988, {{600, W::Folgend}, {300, W::AbMitte}}, {{12, 0}, {636, 0}}},
        // Wider than the whole line: at its start.
        {12, 300, {{400, W::Folgend}}, {{12, 0}}},
    };
    for (const TFall& f : faelle) {
        const std::vector<TLegendenOrt> orte = LegeLegende(f.teile, f.links, f.rechts, 24);
        ASSERT_EQ(orte.size(), f.orte.size());
        for (std::size_t i = 0; i < orte.size(); ++i)
            EXPECT_EQ(std::pair(orte[i].x, orte[i].Zeile), f.orte[i]) << f.rechts << " piece " << i;
    }
}
