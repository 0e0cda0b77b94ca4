// SPDX-License-Identifier: GPL-3.0-or-later
// The search for spheres on small simulated scans with clutter, the entry point's control, and what
// it gives out.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>

#include "Hilfen.hpp"
#include "bench/Szene.hpp"
#include "core/Fehler.hpp"
#include "numerics/KugelIterativ.hpp"
#include "scan/Scan.hpp"
#include "scan/ScanAusgabe.hpp"
#include "scan/ScanTabelle.hpp"
#include "window/Koordinatendatei.hpp"

using namespace zentrix;

namespace {

constexpr double R = 0.1;

// A scan of a corner of a room from the origin: the floor 1.5 m below, a wall 12 m ahead, the
// target of radius R at 6 m, and beside it what must not be taken for one: an upright pipe and a
// pipe across of radius R, a sphere of 2R. Every coordinate moved by versatz (a station away from
// the cloud's origin).
struct TSzene {
    szene::TSzene s;
    std::string datei;
    double ziel[3] = {6, -0.8, 0};
};

TSzene Raum(const test::TempFolder& ordner, double rauschen, const double* versatz = nullptr) {
    TSzene t;
    szene::TParameter p;
    p.rauschen = rauschen;
    p.schritt = 0.001;
    p.azimut = 0.35;
    p.hoehe = 0.2;
    const double boden[3] = {0, 0, -1}, wand[3] = {1, 0, 0};
    const double rohrUnten[3] = {7, 1, -1.5}, rohrOben[3] = {7, 1, 2}, querA[3] = {9, -2, 0.8}, querB[3] = {9, 2, 0.8};
    const double gross[3] = {8, 0.3, 0.3};
    std::vector<szene::TKoerper> k = {szene::Ebene(boden, 1.5), szene::Ebene(wand, 12), szene::Kugel(t.s, t.ziel, R),
                                      szene::Rohr(rohrUnten, rohrOben, R), szene::Rohr(querA, querB, R),
                                      szene::Kugel(t.s, gross, 2 * R)};
    szene::Scanne(k, p, t.s);
    if (versatz != nullptr) {
        for (TWolkenpunkt& q : t.s.punkte) q = {q.X + versatz[0], q.Y + versatz[1], q.Z + versatz[2]};
        for (int a = 0; a < 3; ++a) t.ziel[a] += versatz[a];
    }
    t.datei = ordner.File("raum.ply");
    szene::SchreibePly(t.datei, t.s, true);
    return t;
}

double Abstand(const TXYZ& a, const double* b) { return std::hypot(a.X - b[0], a.Y - b[1], a.Z - b[2]); }

}  // namespace

TEST(Kugelsuche, OnlyTheTargetAmongPipesPlanesAndALargerSphere) {
    test::TempFolder ordner;
    const TSzene t = Raum(ordner, 0.001);
    const TScanErgebnis e = WerteScanAus(t.datei, R, std::nullopt);
    ASSERT_EQ(e.Kugeln.size(), 1u) << ScanBericht(e).back();
    const TScanKugel& k = e.Kugeln[0];
    EXPECT_EQ(k.Name, "K1");
    EXPECT_LT(Abstand(k.Mittelpunkt, t.ziel), 0.001);
    // Nearly every point the beams put on it, none of another object.
    EXPECT_GE(k.Punkte, 0.97 * static_cast<double>(t.s.kugeln[0].punkte.size()));
    EXPECT_LE(k.Punkte, t.s.kugeln[0].punkte.size() + 5);
    EXPECT_TRUE(k.Hinter);
    ASSERT_TRUE(k.Radius.has_value());
    EXPECT_NEAR(k.Radius->RFrei, R, 0.002);
    EXPECT_GT(k.Kappe, 80);
    EXPECT_NEAR(k.m0, 0.0007, 0.0003);  // 1 mm along the beam, less across the cap's rim
    EXPECT_TRUE(e.Meldungen.empty());
    EXPECT_GT(e.Verworfen.size(), 0u);  // the pipes and the larger sphere were looked at
}

TEST(Kugelsuche, WithoutNoiseTheCentreIsExactAndTheStationMovesWithTheCloud) {
    test::TempFolder ordner;
    const double versatz[3] = {5000.25, -1200.5, 310.75};
    const TSzene t = Raum(ordner, 0, versatz);
    const TScanErgebnis e = WerteScanAus(t.datei, R, TXYZ{versatz[0], versatz[1], versatz[2]});
    ASSERT_EQ(e.Kugeln.size(), 1u);
    EXPECT_LT(Abstand(e.Kugeln[0].Mittelpunkt, t.ziel), 2e-5);
    EXPECT_LT(e.Kugeln[0].m0, 1e-4);
    // Its polar form is taken from the station given.
    const TPolar soll = Polar({6, -0.8, 0});
    EXPECT_NEAR(e.Kugeln[0].Polar.Ri, soll.Ri, 1e-4);
    EXPECT_NEAR(e.Kugeln[0].Polar.S, soll.S, 1e-5);
    EXPECT_NEAR(e.Kugeln[0].Polar.Zd, soll.Zd, 1e-4);
}

TEST(Kugelsuche, ACloudInNoOrderGivesTheSameSphere) {
    // Read in pieces, a cloud in scan order holds only the cells of its last columns; one whose
    // points lie in no order is gone through again as a whole.
    test::TempFolder ordner;
    TSzene t = Raum(ordner, 0.001);
    const TScanErgebnis geordnet = WerteScanAus(t.datei, R, std::nullopt);
    std::mt19937 rng(3);
    std::shuffle(t.s.punkte.begin(), t.s.punkte.end(), rng);
    szene::SchreibePly(t.datei, t.s, true);
    const TScanErgebnis gemischt = WerteScanAus(t.datei, R, std::nullopt);
    ASSERT_EQ(geordnet.Kugeln.size(), 1u);
    ASSERT_EQ(gemischt.Kugeln.size(), 1u);
    const double c[3] = {geordnet.Kugeln[0].Mittelpunkt.X, geordnet.Kugeln[0].Mittelpunkt.Y, geordnet.Kugeln[0].Mittelpunkt.Z};
    EXPECT_LT(Abstand(gemischt.Kugeln[0].Mittelpunkt, c), 1e-9);
    EXPECT_EQ(gemischt.Kugeln[0].Punkte, geordnet.Kugeln[0].Punkte);
}

TEST(Kugelsuche, ACloudWithoutSpheresSaysSo) {
    test::TempFolder ordner;
    const std::string datei = ordner.Write("ebene.txt", "0 0 0\n1 0 0\n0 1 0\n1 1 0\n");
    const TScanErgebnis e = WerteScanAus(datei, R, std::nullopt);
    EXPECT_TRUE(e.Kugeln.empty());
    EXPECT_EQ(e.Meldungen, std::vector<std::string>{"Keine Kugel mit Radius 0.1 m gefunden"});
    EXPECT_THROW(WerteScanAus(datei, 0, std::nullopt), EZentrixError);
    EXPECT_THROW(WerteScanAus(datei, std::nan(""), std::nullopt), EZentrixError);
}

TEST(Kugelsuche, TheCallerSeesTheProgressAndCanStopIt) {
    test::TempFolder ordner;
    const TSzene t = Raum(ordner, 0.001);
    std::vector<double> anteile;
    TScanSteuerung s;
    s.Fortschritt = [&anteile](const std::string&, double anteil) {
        anteile.push_back(anteil);
        return true;
    };
    EXPECT_FALSE(WerteScanAus(t.datei, R, std::nullopt, s).Abgebrochen);
    ASSERT_FALSE(anteile.empty());
    EXPECT_TRUE(std::is_sorted(anteile.begin(), anteile.end()));
    EXPECT_EQ(anteile.back(), 1.0);
    // Stopped by the callback in the search, or by the flag before it.
    s.Fortschritt = [](const std::string& schritt, double) { return schritt != "Stimmen"; };
    const TScanErgebnis gestoppt = WerteScanAus(t.datei, R, std::nullopt, s);
    EXPECT_TRUE(gestoppt.Abgebrochen);
    EXPECT_TRUE(gestoppt.Kugeln.empty());
    std::atomic<bool> abbrechen = true;
    EXPECT_TRUE(WerteScanAus(t.datei, R, std::nullopt, {{}, &abbrechen}).Abgebrochen);
}

TEST(Kugelsuche, ItsPointsAsACoordinateFileGiveTheSameCentreInRechneDatei) {
    // The coordinate file in data format 0 knows no station: the sphere's cap is large enough for
    // one clear minimum, which the converged solver finds without it.
    test::TempFolder ordner;
    const TSzene t = Raum(ordner, 0.002);
    const TScanErgebnis e = WerteScanAus(t.datei, R, std::nullopt);
    ASSERT_EQ(e.Kugeln.size(), 1u);
    std::string datei, grund;
    ASSERT_EQ(SchreibePunktdateien(e.Kugeln, R, ordner.File("punkte"), datei, grund), 0) << grund;
    TKoordinaten k = LeseKoordinatendatei(ordner.File("punkte/K1.kor"), 0);
    ASSERT_EQ(k.Punkte.High(), e.Kugeln[0].Punkte);
    EXPECT_EQ(k.R, R);
    const TKugelLoesung L = LoeseKugelIterativ(k.Punkte, static_cast<int>(k.Punkte.High()), false, k.R, false);
    ASSERT_EQ(L.Ergebnis, KugelErgebnis::Ok);
    const TXYZ& c = L.Ausgleichung->Zentrum;
    const double mitte[3] = {e.Kugeln[0].Mittelpunkt.X, e.Kugeln[0].Mittelpunkt.Y, e.Kugeln[0].Mittelpunkt.Z};
    EXPECT_LT(Abstand(c, mitte), 0.00005);
}

TEST(Kugelsuche, TheGridShowsAtMostTheThinnedPointsWithTheirNumbers) {
    test::TempFolder ordner;
    const TScanErgebnis e = WerteScanAus(Raum(ordner, 0.001).datei, R, std::nullopt);
    ASSERT_EQ(e.Kugeln.size(), 1u);
    const TScanKugel& k = e.Kugeln[0];
    const TPunktArray p = GitterPunkte(k, {}, 100);
    ASSERT_LE(p.High(), 100);
    ASSERT_GE(p.High(), 50);
    EXPECT_EQ(p[0].Name, "K1");
    EXPECT_NEAR(p[0].X, k.Mittelpunkt.X, 1e-12);
    const std::size_t schritt = std::stoul(p[2].Name.str()) - 1;
    EXPECT_EQ(p[1].Name, "1");
    EXPECT_EQ(p[2].X, k.Punktliste[schritt].X);
    const TWolkenpunkt& q = k.Punktliste[schritt];
    const double weg = std::hypot(q.X - k.Mittelpunkt.X, q.Y - k.Mittelpunkt.Y, q.Z - k.Mittelpunkt.Z);
    EXPECT_NEAR(p[2].vR, weg - R, 1e-9);
    // Reduced to a station elsewhere, the points keep their residuals.
    const TPunktArray von = GitterPunkte(k, {1, 2, 3}, 100);
    EXPECT_NEAR(von[2].X, p[2].X - 1, 1e-12);
    EXPECT_NEAR(von[2].vR, p[2].vR, 1e-9);
    EXPECT_EQ(GitterPunkte(k, {}).High(), static_cast<long long>(k.Punktliste.size()));
}
