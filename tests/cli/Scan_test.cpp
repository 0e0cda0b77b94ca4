// SPDX-License-Identifier: GPL-3.0-or-later
// zentrix-cli scan: JSON, the files it writes, its errors with their places, and wrong usage.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Hilfen.hpp"
#include "cli/Cli.hpp"

using namespace zentrix;
using nlohmann::json;

namespace {

const std::string Wolke = ZENTRIX_TEST_DATA "/../scan/daten/kugel_vor_rohr.txt";

struct Lauf {
    int rc;
    std::string out, err;
    json j() const { return json::parse(out); }
};

Lauf Cli(std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int rc = RunCli(args, in, out, err, ".");
    return {rc, out.str(), err.str()};
}

}  // namespace

TEST(CliScan, JsonHoldsEverySphereWithItsStatisticsButNoPoints) {
    const Lauf l = Cli({"scan", Wolke, "--radius", "0.1", "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_TRUE(j["error"].is_null());
    EXPECT_TRUE(j["ort"].is_null());
    EXPECT_TRUE(j["messages"].empty());
    EXPECT_EQ(j["format"], "Text");
    EXPECT_EQ(j["punkte_gelesen"], 3500);
    EXPECT_EQ(j["standpunkt"]["gegeben"], false);
    ASSERT_EQ(j["kugeln"].size(), 1u);
    const json& k = j["kugeln"][0];
    EXPECT_EQ(k["name"], "K1");
    EXPECT_NEAR(k["mittelpunkt"]["X"].get<double>(), 6, 0.001);
    EXPECT_NEAR(k["mittelpunkt"]["S"].get<double>(), std::hypot(6, 0.12, 0.04), 0.001);
    for (const char* feld : {"mX", "mY", "mZ", "m0", "punkte", "ausreisser", "radius_frei", "m_radius_frei", "radius_abweichend",
                             "kappe", "hinter_flaeche", "seitenwahl", "pruefung"})
        EXPECT_TRUE(k.contains(feld)) << feld;
    EXPECT_FALSE(k.contains("punktliste"));
    EXPECT_EQ(j["report"].size(), 4u);
    EXPECT_EQ(j["report"][2].get<std::string>().substr(0, 2), "K1");
}

TEST(CliScan, WritesTheOverviewThePointsAndTheObservations) {
    test::TempFolder ordner;
    const Lauf l = Cli({"scan", Wolke, "--radius", "0.1", "--kugeln", ordner.File("k.csv"), "--punkte", ordner.File("p/q"),
                        "--beobachtungen", ordner.File("b.dat")});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    EXPECT_EQ(test::ReadBytes(ordner.File("k.csv")).substr(0, 8), "\xEF\xBB\xBFName;");
    const std::string punkte = test::ReadBytes(ordner.File("p/q/K1.kor"));
    EXPECT_EQ(std::count(punkte.begin(), punkte.end(), '\n'), 201);
    EXPECT_EQ(punkte.substr(0, 2), "1 ");
    // "Rechne Datei" with "Iterieren" on that file: the same centre within 0.05 mm.
    const json c = Cli({"scan", Wolke, "--radius", "0.1", "--json"}).j()["kugeln"][0]["mittelpunkt"];
    const Lauf rd = Cli({"rechne-datei", ordner.File("p/q/K1.kor"), "--iterativ", "--json"});
    ASSERT_EQ(rd.rc, CliOk) << rd.err;
    const json p0 = rd.j()["punkte"][0];
    EXPECT_LT(std::hypot(p0["X"].get<double>() - c["X"].get<double>(), p0["Y"].get<double>() - c["Y"].get<double>(),
                         p0["Z"].get<double>() - c["Z"].get<double>()),
              0.00005);
    const std::string b = test::ReadBytes(ordner.File("b.dat"));
    EXPECT_EQ(b.substr(0, 4), "K1  ");
    EXPECT_EQ(b.substr(b.size() - 7), "0.00 \r\n");
    // A file that cannot be written fails the run after the report.
    const Lauf fehl = Cli({"scan", Wolke, "--radius", "0.1", "--kugeln", ordner.File("fehlt/k.csv")});
    EXPECT_EQ(fehl.rc, CliFehler);
    EXPECT_NE(fehl.out.find("K1"), std::string::npos);
    EXPECT_NE(fehl.err.find("Fehler: Datei " + ordner.File("fehlt/k.csv") + " kann nicht geschrieben werden."), std::string::npos);
}

TEST(CliScan, ErrorsAndMessagesWithTheirPlaces) {
    test::TempFolder ordner;
    const Lauf fehlt = Cli({"scan", ordner.File("fehlt.ply"), "--radius", "0.1", "--json"});
    EXPECT_EQ(fehlt.rc, CliFehler);
    EXPECT_EQ(fehlt.j()["error"], "Datei nicht gefunden.");
    EXPECT_EQ(fehlt.j()["ort"]["datei"], ordner.File("fehlt.ply"));
    const Lauf las = Cli({"scan", ordner.Write("x.las", std::string("LASF") + std::string(300, '\0')), "--radius", "0.1", "--json"});
    EXPECT_EQ(las.rc, CliFehler);
    EXPECT_EQ(las.j()["ort"]["byte"], 24);
    EXPECT_EQ(las.j()["ort"]["feldname"], "Version");
    const Lauf text = Cli({"scan", ordner.Write("w.txt", "1 2 3\n4 x 6\n"), "--radius", "0.1"});
    EXPECT_EQ(text.rc, CliFehler);
    EXPECT_EQ(text.err, "Fehler: Ungültige numerische Eingabe.\n  Datei " + ordner.File("w.txt") + ", Zeile 2, Feld 2: „x“\n");
    const Lauf keine = Cli({"scan", ordner.Write("e.txt", "1 2 3\n4 5 6\n"), "--radius", "0.1"});
    EXPECT_EQ(keine.rc, CliMeldung);
    EXPECT_EQ(keine.err, "Meldung: Keine Kugel mit Radius 0.1 m gefunden\n");
}

TEST(CliScan, WrongUsage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"scan", Wolke},
             {"scan", Wolke, "--radius", "0"},
             {"scan", Wolke, "--radius", "0,1"},
             {"scan", Wolke, "--radius", "0.1", "--standpunkt", "1", "2"},
             {"scan", Wolke, "--radius", "0.1", "--standpunkt", "1", "zwei", "3"},
             {"folge", "scan " + Wolke + " --radius 0.1 --punkte p"}})
        EXPECT_EQ(Cli(args).rc, CliAufruf) << args.back();
    EXPECT_EQ(Cli({"scan", Wolke, "--radius", "0.1", "--standpunkt", "-1.5", "2", "0"}).rc, CliOk);
    // Neither the overview nor the observations replace the cloud or each other.
    test::TempFolder ordner;
    const Lauf ueber = Cli({"scan", Wolke, "--radius", "0.1", "--kugeln", Wolke});
    EXPECT_EQ(ueber.rc, CliFehler);
    EXPECT_NE(ueber.err.find("Die Eingabedatei würde überschrieben"), std::string::npos) << ueber.err;
    const std::string k = ordner.File("k.csv");
    const Lauf beide = Cli({"scan", Wolke, "--radius", "0.1", "--kugeln", k, "--beobachtungen", k});
    EXPECT_EQ(beide.rc, CliFehler);
    EXPECT_NE(beide.err.find(k + " ist eine Ausgabe dieser Auswertung"), std::string::npos) << beide.err;
}

TEST(CliScan, AStepOfFolgeShowsASphereAsTheWindowDoes) {
    const Lauf l = Cli({"folge", "scan " + Wolke + " --radius 0.1", "zeige-kugel K1", "rechne", "--iterativ", "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_EQ(j["schritte"].size(), 3u);
    EXPECT_EQ(j["grid"][1][0], "K1");
    EXPECT_EQ(j["reflektorhoehe"], "0.1");
    // "Rechne" right after gives the centre of the scan (the station at the cloud's origin).
    const json scan = Cli({"scan", Wolke, "--radius", "0.1", "--json"}).j()["kugeln"][0]["mittelpunkt"];
    EXPECT_NEAR(j["punkte"][0]["X"].get<double>(), scan["X"].get<double>(), 1e-7);
    const Lauf fehlt = Cli({"folge", "scan " + Wolke + " --radius 0.1", "zeige-kugel K9"});
    EXPECT_EQ(fehlt.rc, CliFehler);
    EXPECT_NE(fehlt.err.find("Keine Kugel „K9“ in der letzten Scanauswertung (1 Kugel)"), std::string::npos) << fehlt.err;
}
