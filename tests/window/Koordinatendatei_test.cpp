// SPDX-License-Identifier: GPL-3.0-or-later
// "Rechne Datei": the coordinate file in its eight data formats, and the state each error leaves.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "Hilfen.hpp"
#include "numerics/Kugel.hpp"
#include "window/Koordinatendatei.hpp"
#include "textio/NumText.hpp"
#include "window/UnitBogenschnitt3D.hpp"

using namespace zentrix;
namespace fs = std::filesystem;

namespace {

constexpr double kRho = 63.661977236758134305;  // gon per radian

class KoordinatendateiTest : public ::testing::Test {
protected:
    void SetUp() override { form.Startrechnung(); }

    // Writes a file and chooses it in the file-name field.
    std::string Datei(const std::string& inhalt, const std::string& name = "kugel.kor") {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << inhalt;
        form.Edit2.Text = p.string();
        return p.string();
    }
    bool Rechne(int format) {
        form.RadioGroup1.ItemIndex = format;
        return form.Dispatch(&TForm1::RechneDatei);
    }
    std::vector<std::string> Row(int r) {
        std::vector<std::string> row;
        for (int c = 0; c < form.StringGrid1.ColCount(); ++c) row.push_back(form.StringGrid1.Cells(c, r));
        return row;
    }
    std::vector<std::vector<std::string>> Grid() {
        std::vector<std::vector<std::string>> g;
        for (int r = 0; r < form.StringGrid1.RowCount(); ++r) g.push_back(Row(r));
        return g;
    }

    test::TempFolder folder;
    fs::path dir = folder.Path();
    TRecordingDialoge dialoge;
    TForm1 form{dialoge, "."};
};

using Zeilen = std::vector<std::string>;

// Six points (metres) on a sphere, spread over its upper half.
struct Kugelpunkt {
    double x, y, z;
};
std::vector<Kugelpunkt> Kugelpunkte(double cx, double cy, double cz, double r) {
    std::vector<Kugelpunkt> p;
    for (const auto& q : test::SpherePoints(cx, cy, cz, r)) p.push_back({q[0], q[1], q[2]});
    return p;
}

std::string Zahl(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12f", v);
    return buf;
}

}  // namespace

TEST(LeseKoordinatendatei, OneTableOverTheEightFormats) {
    // Two records in each format, the second spread over two lines with text after its radius:
    // which field lands where, and how a zenith angle (50 gon: cot = 1, sin = cos = sqrt 1/2;
    // 150 gon: cot = -1) or a slope distance becomes the height difference. Radius: the last
    // record's.
    struct Fall {
        int format;
        const char* text;
        std::array<double, 3> erster, zweiter;  // X, Y, Z after reading
    };
    const double w = std::sqrt(2.0);
    const Fall faelle[] = {
        {0, "7 1.5 2.5 3.5 0.25\n8 -1\n 2 3 0.5 Rest\n", {1.5, 2.5, 3.5}, {-1, 2, 3}},
        {1, "7 1.5 2.5 3.5 0.25\n8 -1\n 2 3 0.5 Rest\n", {2.5, 1.5, 3.5}, {2, -1, 3}},
        {2, "7 123.4 2 -0.5 0.25\n8 300\n 4 0.5 0.5 Rest\n", {2, 123.4, -0.5}, {4, 300, 0.5}},
        {3, "7 123.4 2 50 0.25\n8 300\n 4 150 0.5 Rest\n", {2, 123.4, 2}, {4, 300, -4}},
        {4, "7 123.4 50 2 0.25\n8 300\n 150 4 0.5 Rest\n", {2, 123.4, 2}, {4, 300, -4}},
        {5, "7 123.4 2 -0.5 0.25\n8 300\n 4 0.5 0.5 Rest\n", {2, 123.4, -0.5}, {4, 300, 0.5}},
        {6, "7 123.4 2 50 0.25\n8 300\n 4 150 0.5 Rest\n", {w, 123.4, w}, {2 * w, 300, -2 * w}},
        {7, "7 123.4 50 2 0.25\n8 300\n 150 4 0.5 Rest\n", {w, 123.4, w}, {2 * w, 300, -2 * w}},
    };
    test::TempFolder folder;
    for (const Fall& f : faelle) {
        const fs::path p = folder.Path() / ("f" + std::to_string(f.format) + ".kor");
        std::ofstream(p, std::ios::binary) << f.text;
        const TKoordinaten k = LeseKoordinatendatei(p.string(), f.format);
        ASSERT_EQ(k.Punkte.High(), 2) << f.format;
        EXPECT_EQ(k.R, 0.5) << f.format;
        EXPECT_EQ(k.Punkte[0].Name, "") << f.format;
        for (int i = 1; i <= 2; ++i) {
            const auto& soll = i == 1 ? f.erster : f.zweiter;
            const TPunkt& q = k.Punkte[i];
            EXPECT_EQ(q.Name, i == 1 ? "7" : "8") << f.format;
            EXPECT_NEAR(q.X, soll[0], 1e-14) << f.format << " " << i;
            EXPECT_NEAR(q.Y, soll[1], 1e-14) << f.format << " " << i;
            EXPECT_NEAR(q.Z, soll[2], 1e-14) << f.format << " " << i;
        }
    }
    // Outside the eight formats: no file is opened.
    EXPECT_THROW(LeseKoordinatendatei((folder.Path() / "f0.kor").string(), 8), ERangeError);
}

TEST(LeseKoordinatendatei, AFileOfManyMegabytesReadInTwoHalves) {
    // 150 000 records (some 5 MB: read in two halves at once), exact binary values, the last
    // radius 0.75. Each record on one line, or on two lines with and without a line of blanks in front
    // (one of the two splits inside a record, where the second half's guess is wrong), or with one
    // field broken in the first or in the second half: the error names its line either way. A
    // Ctrl-Z behind a record of either half ends the data there.
    constexpr int kSaetze = 150000;
    struct Fall {
        bool zweizeilig, vorspann;
        int kaputt;     // the record (1..kSaetze) whose Z is no number; 0: none
        int ende = 0;   // the record a Ctrl-Z follows; 0: none
    };
    test::TempFolder folder;
    for (const Fall f : {Fall{false, false, 0}, Fall{true, false, 0}, Fall{true, true, 0}, Fall{false, false, 1000},
                         Fall{false, false, 140000}, Fall{true, true, 140000}, Fall{false, false, 0, 1000},
                         Fall{true, false, 0, 140000}}) {
        // A line of blanks in front moves the middle of the text by about one line of a record.
        std::string text = f.vorspann ? std::string(41, ' ') + "\n" : "";
        long long zeile = f.vorspann ? 1 : 0, kaputteZeile = 0;
        char buf[96];
        for (int i = 1; i <= kSaetze; ++i) {
            std::snprintf(buf, sizeof buf, "%d %.1f %.2f%s", i, i + 0.5, 2.0 * i + 0.25, f.zweizeilig ? "\n" : " ");
            text += buf;
            zeile += f.zweizeilig ? 2 : 1;
            if (i == f.kaputt) kaputteZeile = zeile;
            std::snprintf(buf, sizeof buf, "%s %s\n", i == f.kaputt ? "x1" : std::to_string(-i - 0.125).c_str(),
                          i == kSaetze ? "0.75" : "0.5");
            text += buf;
            if (i == f.ende) text += '\x1a';
        }
        ASSERT_GT(text.size(), 4u << 20);
        const fs::path p = folder.Path() / "gross.kor";
        std::ofstream(p, std::ios::binary) << text;
        if (f.kaputt != 0) {
            try {
                LeseKoordinatendatei(p.string(), 0);
                ADD_FAILURE() << "kein Fehler " << f.kaputt;
            } catch (const EInOutError& e) {
                EXPECT_EQ(e.Code, 106);
                EXPECT_EQ(e.Ort.Zeile, kaputteZeile) << f.kaputt << " " << f.zweizeilig << f.vorspann;
                EXPECT_EQ(e.Ort.Text, "x1");
            }
            continue;
        }
        const TKoordinaten k = LeseKoordinatendatei(p.string(), 0);
        const int n = f.ende != 0 ? f.ende : kSaetze;
        ASSERT_EQ(k.Punkte.High(), n) << f.ende;
        EXPECT_EQ(k.R, f.ende != 0 ? 0.5 : 0.75);
        bool gleich = true;
        for (int i = 1; i <= n && gleich; ++i) {
            const TPunkt& q = k.Punkte[i];
            gleich = q.Name == std::to_string(i) && q.X == i + 0.5 && q.Y == 2.0 * i + 0.25 && q.Z == -i - 0.125;
            EXPECT_TRUE(gleich) << "Satz " << i << " " << f.zweizeilig << f.vorspann;
        }
    }
}

TEST_F(KoordinatendateiTest, RectangularFormatsZeroAndOne) {
    std::string text;
    const auto pkt = Kugelpunkte(10, 20, 5, 0.5);
    for (std::size_t i = 0; i < pkt.size(); ++i)
        text += std::to_string(i + 1) + " " + Zahl(pkt[i].x) + " " + Zahl(pkt[i].y) + " " + Zahl(pkt[i].z) + " 0.5\r\n";
    Datei(text);
    ASSERT_TRUE(Rechne(0));
    EXPECT_TRUE(dialoge.Messages.empty());
    EXPECT_EQ(form.Edit1.Text, "0.5");
    EXPECT_EQ(form.Memo1[0], "Kugelzentrierung Punkt ");
    EXPECT_EQ(Row(0), (Zeilen{"Punkt", "X", "Y", "Höhe", "vdH"}));
    EXPECT_EQ(form.StringGrid1.RowCount(), 8);
    EXPECT_EQ(Row(1), (Zeilen{"", "      10.000", "      20.000", "       5.000", ""}));
    EXPECT_EQ(Row(2)[0], "1");
    EXPECT_EQ(Row(7)[0], "6");
    EXPECT_EQ(Row(7)[4], "      0.0000");
    EXPECT_NEAR(form.Punkte[0].X, 10, 1e-9);
    EXPECT_NEAR(form.Punkte[0].Z, 5, 1e-9);

    // Format 1 takes the first value as Y: the same file gives the mirrored centre.
    ASSERT_TRUE(Rechne(1));
    EXPECT_EQ(Row(0), (Zeilen{"Punkt", "Y", "X", "Höhe", "vdH"}));
    EXPECT_EQ(Row(1), (Zeilen{"", "      20.000", "      10.000", "       5.000", ""}));
    EXPECT_EQ(form.Punkte[1].Y, std::stod(Zahl(pkt[0].x)));
}

// A sphere observed in polar form from a station at the origin: its centre at 25 m, direction
// 40 gon, 1.2 m above the instrument horizon.
TEST_F(KoordinatendateiTest, PolarFormatsFindAKnownCentre) {
    const double richtung = 40 / kRho, weite = 25;
    const double cx = weite * std::cos(richtung), cy = weite * std::sin(richtung), cz = 1.2;
    const auto pkt = Kugelpunkte(cx, cy, cz, 0.0725);
    struct Fall {
        int format;
        const char* kopf[3];
    };
    for (const Fall fall : {Fall{2, {"S", "Ri", "dH"}}, Fall{3, {"S", "Ri", "Zd"}}, Fall{4, {"S", "Ri", "Zd"}},
                            Fall{5, {"D", "Ri", "dH"}}, Fall{6, {"D", "Ri", "Zd"}}, Fall{7, {"D", "Ri", "Zd"}}}) {
        SCOPED_TRACE(fall.format);
        std::string text;
        for (std::size_t i = 0; i < pkt.size(); ++i) {
            // S of formats 2 to 5 is the horizontal distance, D of formats 6 and 7 the slope
            // distance; the third value is the height difference, or a zenith angle (gon) that
            // gives it by the format's rule.
            double d = std::hypot(pkt[i].x, pkt[i].y);
            const double ri = std::atan2(pkt[i].y, pkt[i].x) * kRho;
            double drittes = pkt[i].z;
            if (fall.format == 3 || fall.format == 4) drittes = std::atan2(d, pkt[i].z) * kRho;  // d * cot(Zd) = dH
            if (fall.format == 6 || fall.format == 7) {
                drittes = std::atan2(d, pkt[i].z) * kRho;
                d = std::hypot(d, pkt[i].z);
            }
            std::string werte[3] = {Zahl(ri), Zahl(d), Zahl(drittes)};
            if (fall.format == 4 || fall.format == 7) std::swap(werte[1], werte[2]);
            text += std::to_string(100 + i) + "\t" + werte[0] + "\t" + werte[1] + "\t" + werte[2] + "\t0.0725\n";
        }
        Datei(text);
        ASSERT_TRUE(Rechne(fall.format));
        EXPECT_TRUE(dialoge.Messages.empty());
        EXPECT_EQ(Row(0), (Zeilen{"Punkt", fall.kopf[0], fall.kopf[1], fall.kopf[2], "vdH"}));
        // The centre comes back in polar form: horizontal distance, direction, elevation angle.
        EXPECT_NEAR(form.Punkte[0].X, weite, 1e-7);
        EXPECT_NEAR(form.Punkte[0].Y, 40, 1e-7);
        EXPECT_NEAR(form.Punkte[0].Z, std::atan(cz / weite) * kRho, 1e-7);
        EXPECT_EQ(Row(1)[1], "      25.000");
        EXPECT_EQ(Row(1)[2], "      40.000");
        EXPECT_EQ(Row(2)[0], "100");
        for (int r = 2; r <= 7; ++r) EXPECT_EQ(Row(r)[4], "      0.0000");
    }
}

// Formats 6 and 7 carry slope distances: on inclined sights the reflector's centre and the
// four-point radius come out right only when the distance is reduced to the horizontal.
TEST_F(KoordinatendateiTest, SlopeDistancesOfFormatsSixAndSevenAreReduced) {
    for (const double weite : {30.0, 80.0})
        for (const double neigung : {5.0, 10.0, -7.5}) {  // degrees above the horizon
            const double n = neigung * std::numbers::pi / 180, t = 123.4 / kRho;
            const double h = weite * std::cos(n), cx = h * std::cos(t), cy = h * std::sin(t), cz = weite * std::sin(n);
            for (const int format : {6, 7}) {
                SCOPED_TRACE(testing::Message() << weite << " m, " << neigung << " deg, format " << format);
                std::string text;
                int nr = 0;
                for (const auto& q : test::SpherePoints(cx, cy, cz, 0.0725)) {
                    const double s = std::hypot(q[0], q[1]);
                    const std::string ri = Zahl(std::atan2(q[1], q[0]) * kRho), zd = Zahl(std::atan2(s, q[2]) * kRho),
                                      d = Zahl(std::hypot(s, q[2]));
                    text += std::to_string(++nr) + " " + ri + " " + (format == 6 ? d + " " + zd : zd + " " + d) + " 0.0725\n";
                }
                TKoordinaten k = LeseKoordinatendatei(Datei(text), format);
                const TKugelLoesung L = LoeseKugelEinstufig(k.Punkte, nr, true, k.R);
                ASSERT_TRUE(L.Ausgleichung && L.VierPunkt);
                EXPECT_NEAR(L.VierPunkt->R, 0.0725, 1e-4);
                EXPECT_NEAR(L.Ausgleichung->Zentrum.X, cx, 1e-4);
                EXPECT_NEAR(L.Ausgleichung->Zentrum.Y, cy, 1e-4);
                EXPECT_NEAR(L.Ausgleichung->Zentrum.Z, cz, 1e-4);
            }
        }
}

TEST_F(KoordinatendateiTest, FormatsThreeToSevenPrepareTheHeight) {
    // Format 4 with Ri = 50, Zd = 100, S = 10: height difference 10 * cot(100 gon) = 0.
    Datei("1 50 100 10 0.05\n2 50 50 10 0.05\n");
    ASSERT_TRUE(Rechne(4));
    EXPECT_EQ(dialoge.Messages, Zeilen{"Kugelmittelnpunkt Fehler"});  // two points only
    EXPECT_NEAR(form.Punkte[1].Z, 0, 1e-12);
    EXPECT_NEAR(form.Punkte[2].Z, 10, 1e-12);
    EXPECT_EQ(form.Punkte[1].X, 10);
    // Format 7 with ZD = 0 and D = 2: a slope distance straight up, height 2, horizontal 0.
    Datei("1 0 0 2 0.05\n");
    ASSERT_TRUE(Rechne(7));
    EXPECT_EQ(form.Punkte[1].Z, 2);
    EXPECT_EQ(form.Punkte[1].X, 0);
}

TEST_F(KoordinatendateiTest, TokenRulesOfTheFile) {
    // Split record, extra fields, tabs, a Ctrl-Z ending the data, trailing blank lines.
    Datei("1 0 0\n 1.5 2 ignoriert\n2\t1\t0\t1\t2 7 8 9\r\n3 0 1 1 2\r\n  \r\n\n");
    ASSERT_TRUE(Rechne(0));
    ASSERT_EQ(form.Punkte.High(), 3);
    EXPECT_EQ(form.Punkte[1].Z, 1.5);
    EXPECT_EQ(form.Punkte[2].X, 1);
    EXPECT_EQ(form.Punkte[3].Name, "3");
    EXPECT_EQ(form.Edit1.Text, "2");
    EXPECT_TRUE(dialoge.Messages.empty());

    Datei(std::string("1 0 0 1.5 2\n2 1 0 1 2\n3 0 1 1 2\n\x1a") + "4 x y z\n");
    ASSERT_TRUE(Rechne(0));
    EXPECT_EQ(form.Punkte.High(), 3);
}

TEST_F(KoordinatendateiTest, PointNumbers) {
    Datei("-1 0 0 1.5 2\n007 1 0 1 2\n+17 0 1 1 2\n0x1F 1 1 1 2\n");
    ASSERT_TRUE(Rechne(0));
    EXPECT_EQ(form.Punkte[1].Name, "4294967295");
    EXPECT_EQ(form.Punkte[2].Name, "7");
    EXPECT_EQ(form.Punkte[3].Name, "17");
    EXPECT_EQ(form.Punkte[4].Name, "31");
    EXPECT_EQ(Row(2)[0], "4294967295");
}

TEST_F(KoordinatendateiTest, EmptyFileAndThreePoints) {
    Datei("");
    ASSERT_TRUE(Rechne(0));
    EXPECT_EQ(form.Edit1.Text, "0");
    EXPECT_EQ(dialoge.Messages, Zeilen{"Kugelmittelnpunkt Fehler"});
    EXPECT_EQ(form.StringGrid1.RowCount(), 2);
    EXPECT_EQ(Row(0)[3], "Höhe");
    EXPECT_EQ(Row(1)[1], "       0.000");  // no centre of an earlier command
    EXPECT_TRUE(form.Memo1.empty());

    Datei("1 1 0 0 2\n2 0 1 0 2\n3 -1 0 0 2\n");
    dialoge.Messages.clear();
    ASSERT_TRUE(Rechne(0));
    EXPECT_TRUE(dialoge.Messages.empty());
    EXPECT_EQ(Row(1), (Zeilen{"", "       0.000", "       0.000", "      -1.732", ""}));
    for (const auto& line : form.Memo1) EXPECT_EQ(line.find("Analytische"), std::string::npos);
}

TEST_F(KoordinatendateiTest, OpenErrorsChangeNothing) {
    const auto grid = Grid();
    const Zeilen memo = form.Memo1;
    const std::size_t punkte = form.Punkte.Length();
    form.Edit2.Text = (dir / "fehlt.kor").string();
    EXPECT_FALSE(Rechne(0));
    form.Edit2.Text = (dir / "kein_ordner" / "x.kor").string();
    EXPECT_FALSE(Rechne(0));
    form.Edit2.Text = dir.string();  // a folder
    EXPECT_FALSE(Rechne(0));
    form.Edit2.Text = "";
    EXPECT_FALSE(Rechne(0));
    ASSERT_EQ(dialoge.Errors.size(), 4u);
    EXPECT_EQ(dialoge.Errors[0], "Datei nicht gefunden.");
    EXPECT_EQ(dialoge.Errors[1], "Ungültiger Dateiname.");
    EXPECT_EQ(dialoge.Errors[2], "Der Pfad bezeichnet einen Ordner.");
    EXPECT_NE(dialoge.Errors[3].find("Kein Dateiname"), std::string::npos);
    EXPECT_EQ(Grid(), grid);
    EXPECT_EQ(form.Memo1, memo);
    EXPECT_EQ(form.Punkte.Length(), punkte);
    EXPECT_EQ(form.Edit1.Text, "3.642");
}

TEST_F(KoordinatendateiTest, ReadErrorsLeaveThePointListAsItStood) {
    const auto grid = Grid();
    const double x1 = form.Punkte[1].X;
    struct Fall {
        const char* inhalt;
        const char* fehler;
    };
    for (const Fall& f : {Fall{"1 0 0 1 2\n2 1,5 0 1 2\n3 0 1 1 2\n", "Ungültige numerische Eingabe."},
                          Fall{"1 0 0 1 2\nP2 1 0 1 2\n", "Ungültige numerische Eingabe."},
                          Fall{"1 0 0 1 2\n2 1 0", "Versuch hinter dem Dateiende zu lesen."},
                          Fall{"1 0 0 1 2\n2 x 0", "Ungültige numerische Eingabe."}}) {
        SCOPED_TRACE(f.inhalt);
        dialoge.Errors.clear();
        Datei(f.inhalt);
        EXPECT_FALSE(Rechne(0));
        EXPECT_EQ(dialoge.Errors, Zeilen{f.fehler});
        EXPECT_EQ(form.Punkte.Length(), 5u);  // the demonstration's points
        EXPECT_EQ(form.Punkte[1].X, x1);
        EXPECT_EQ(form.Punkte[1].Name, "");
        EXPECT_TRUE(form.Memo1.empty());
        EXPECT_EQ(Grid(), grid);
        EXPECT_EQ(form.Edit1.Text, "3.642");
    }
}

TEST_F(KoordinatendateiTest, AReadingErrorNamesFileLineFieldAndText) {
    // In every data format the field is counted from Nr; the error box's text stays as it was.
    for (int format = 0; format <= 7; ++format) {
        SCOPED_TRACE(format);
        const int feld = 2 + format % 4;  // a value or the radius
        std::string zeile2 = "2 10 20 30 0.5";
        std::vector<std::string> felder = {"2", "10", "20", "30", "0.5"};
        felder[static_cast<std::size_t>(feld - 1)] = "1,5";
        zeile2 = felder[0] + " " + felder[1] + " " + felder[2] + " " + felder[3] + " " + felder[4];
        Datei("1 10 20 30 0.5\r\n" + zeile2 + "\r\n3 10 20 30 0.5\r\n");
        dialoge.Errors.clear();
        dialoge.ErrorOrte.clear();
        EXPECT_FALSE(Rechne(format));
        ASSERT_EQ(dialoge.Errors, Zeilen{"Ungültige numerische Eingabe."});
        const TOrt& ort = dialoge.ErrorOrte.back();
        EXPECT_EQ(ort.Datei, fs::absolute(dir / "kugel.kor").lexically_normal().string());
        EXPECT_EQ(ort.Zeile, 2);
        EXPECT_EQ(ort.Feld, feld);
        EXPECT_EQ(ort.Text, "1,5");
        EXPECT_EQ(OrtText(ort), "Datei " + ort.Datei + ", Zeile 2, Feld " + std::to_string(feld) + ": „1,5“");
    }
}

TEST_F(KoordinatendateiTest, ZenithAngleZeroDividesByZero) {
    const auto grid = Grid();
    Datei("1 0 10 0 2\n2 100 10 50 2\n3 200 10 50 2\n");
    EXPECT_FALSE(Rechne(3));
    EXPECT_EQ(dialoge.Errors, Zeilen{"Gleitkommadivision durch Null."});
    EXPECT_EQ(form.Punkte.High(), 4);  // the demonstration's points as they stood
    EXPECT_TRUE(form.Memo1.empty());
    EXPECT_EQ(Grid(), grid);
    EXPECT_EQ(form.Edit1.Text, "3.642");
}

TEST_F(KoordinatendateiTest, SolverFailureStillFillsTheGrid) {
    // Radius 0: the solver fails after reading, the polar points stay rectangular.
    Datei("1 0 10 1 0\n2 100 10 1 0\n3 200 10 2 0\n");
    ASSERT_TRUE(Rechne(2));
    EXPECT_EQ(dialoge.Messages, Zeilen{"Kugelmittelnpunkt Fehler"});
    EXPECT_EQ(form.Edit1.Text, "0");
    EXPECT_EQ(Row(1), (Zeilen{"", "       0.000", "       0.000", "       0.000", ""}));
    EXPECT_EQ(Row(3), (Zeilen{"2", "       0.000", "      10.000", "       1.000", "      0.0000"}));
}

TEST_F(KoordinatendateiTest, CentreNameFromAnEarlierEvaluationIsGone) {
    form.Punkte[0].Name = "K1";
    Datei("1 1 0 0 2\n2 0 1 0 2\n3 -1 0 0 2\n");
    ASSERT_TRUE(Rechne(0));
    EXPECT_EQ(Row(1)[0], "");
    EXPECT_EQ(form.Memo1[0], "Kugelzentrierung Punkt ");
}

// "Konvert" writes test2.Kor in the test folder; "Rechne Datei" reads it back, one point per line.
TEST_F(KoordinatendateiTest, KonvertThenRechneDatei) {
    TForm1 konverter(dialoge, dir.string());
    std::ofstream(dir / "test2.beb", std::ios::binary)
        << "1 50 100 10 0.05\r\n2 150 100 10.1 0.05\r\n3 100 95 9.9 0.05\r\n4 250 105 10 0.05\r\n";
    ASSERT_TRUE(konverter.Dispatch(&TForm1::Konvert));
    form.Edit2.Text = (dir / "test2.Kor").string();
    ASSERT_TRUE(Rechne(0));
    ASSERT_EQ(form.Punkte.High(), 4);
    EXPECT_EQ(form.Punkte[1].Name, "1");
    EXPECT_EQ(form.Punkte[4].Name, "4");
    EXPECT_EQ(form.Punkte[1].Z, 100);
    EXPECT_EQ(form.Edit1.Text, "0.05");
    EXPECT_EQ(Row(2)[1], "     107.071");

    // A missing input is the error box's "Datei nicht gefunden."
    fs::remove(dir / "test2.beb");
    EXPECT_FALSE(konverter.Dispatch(&TForm1::Konvert));
    EXPECT_EQ(dialoge.Errors, Zeilen{"Datei nicht gefunden."});
}
