// SPDX-License-Identifier: GPL-3.0-or-later
// What a scan gives out: the overview's cells and CSV, the report line, the centres as observation
// lines and a sphere's points as a coordinate file, on spheres made by hand.

#include <gtest/gtest.h>

#include <algorithm>

#include "scan/ScanAusgabe.hpp"
#include "scan/ScanTabelle.hpp"

using namespace zentrix;

namespace {

TScanKugel Kugel(const std::string& name, double x, int punkte, bool abweichend) {
    TScanKugel k;
    k.Name = name;
    k.Mittelpunkt = {x, -2.5, 0.125};
    k.Polar = {12.34567, 15.2345, 99.87654};
    k.m = {0.00012, 0.00023, 0.00034};
    k.m0 = 0.00151;
    k.Punkte = punkte;
    k.Ausreisser = 7;
    k.Radius = TRadiusPruefung{0.07251, 0.0001, 0.0003, abweichend};
    k.Kappe = 83.44;
    k.Seitenwahl = TSeitenwahl::Standpunkt;
    k.Punktliste = {{1.5, -2.000004, 0.1}, {1000000.123456, 5.0, -0.000005}};
    return k;
}

}  // namespace

TEST(ScanAusgabe, TheOverviewsCellsAndItsCsvForAGermanSpreadsheet) {
    const std::vector<TScanKugel> kugeln = {Kugel("K1", 1.5, 500, false), Kugel("K10", -3, 80, true)};
    EXPECT_EQ(ScanZelle(kugeln[0], TScanSpalte::X), "1.5000");
    EXPECT_EQ(ScanZelle(kugeln[0], TScanSpalte::Strecke, ','), "15,235");
    EXPECT_EQ(ScanZelle(kugeln[0], TScanSpalte::M0), "1.51");
    EXPECT_EQ(ScanZelle(kugeln[1], TScanSpalte::Radius, ','), "weicht ab, frei 0,0725 m");
    EXPECT_EQ(ScanZelle(kugeln[0], TScanSpalte::Seite), "hinten (Standpunkt)");
    // K10 after K2, not after K1; numbers by value.
    EXPECT_TRUE(ScanVor(Kugel("K2", 0, 1, false), kugeln[1], TScanSpalte::Name));
    EXPECT_TRUE(ScanVor(kugeln[1], kugeln[0], TScanSpalte::X));
    EXPECT_TRUE(ScanVor(kugeln[0], kugeln[1], TScanSpalte::Radius));
    const std::string csv = ScanKugelnCsv(kugeln);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, csv.find("\r\n") - 3),
              "Name;Punkte;Ausreißer;X [m];Y [m];Z [m];Ri [gon];S [m];Zd [gon];mX [mm];mY [mm];mZ [mm];m0 [mm];"
              "Radiusprüfung;Kappe [gon];Seite");
    EXPECT_NE(csv.find("\r\nK1;500;7;1,5000;-2,5000;0,1250;12,3457;15,235;99,8765;0,12;0,23;0,34;1,51;passt, frei 0,0725 m;"
                       "83,4;hinten (Standpunkt)\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
}

TEST(ScanAusgabe, CentresAsObservationLinesAndPointsAsACoordinateFile) {
    const TScanKugel k = Kugel("K1", 1.5, 2, false);
    EXPECT_EQ(ScanBeobachtungen({k}), std::vector<std::string>{"K1     12.3457      15.235     99.8765     0.00 "});
    EXPECT_EQ(ScanKoordinaten(k, 0.0725), "1 1.50000 -2.00000 0.10000 0.0725\r\n2 1000000.12346 5.00000 -0.00001 0.0725\r\n");
}

TEST(ScanAusgabe, TheReportHasALineASphere) {
    TScanErgebnis e;
    e.Datei = "/daten/scan.ply";
    e.Format = TWolkenformat::Ply;
    e.Gelesen = 1234567;
    e.Ungueltig = 12;
    e.R = 0.0725;
    e.Kugeln = {Kugel("K1", 1.5, 500, false), Kugel("K2", 2.5, 80, true)};
    const std::vector<std::string> b = ScanBericht(e);
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(b[0], "Scan /daten/scan.ply: 1 234 567 Punkte (PLY), 12 ohne Koordinaten übergangen, Radius 0.0725 m, "
                    "Standpunkt 0.000 0.000 0.000 (Ursprung der Wolke)");
    EXPECT_EQ(b[2], "K1          500      7         1.5000        -2.5000      0.1250    12.3457     15.235    99.8765   0.12   "
                    "0.23   0.34   1.51   0.0725   83.4");
    EXPECT_NE(b[3].find("Radius weicht ab"), std::string::npos);
    EXPECT_EQ(b[4], "2 Kugeln gefunden, 0 Kandidaten geprüft und verworfen");
}
