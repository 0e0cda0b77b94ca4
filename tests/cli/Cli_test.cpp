// zentrix-cli: commands on a freshly started window model, JSON output and exit codes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Hilfen.hpp"
#include "cli/Cli.hpp"

using namespace zentrix;
using nlohmann::json;

namespace {

struct Lauf {
    int rc;
    std::string out, err;
    json j() const { return json::parse(out); }
};

Lauf Cli(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = RunCli(args, in, out, err, ".");
    return {rc, out.str(), err.str()};
}

}  // namespace

TEST(CliTest, DemoJsonHoldsTheActivation) {
    const Lauf l = Cli({"demo", "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_EQ(j["report"][0], "Kugelzentrierung Punkt ");
    EXPECT_EQ(j["reflektorhoehe"], "3.642");
    EXPECT_EQ(j["grid"].size(), 6u);
    EXPECT_EQ(j["grid"][0], json({"Punkt", "X", "Y", "Z", "vZ"}));
    EXPECT_EQ(j["grid"][2][1], "  802192.254");
    EXPECT_TRUE(j["messages"].empty());
    EXPECT_TRUE(j["error"].is_null());
    ASSERT_EQ(j["punkte"].size(), 5u);
    // Doubles round-trip exactly.
    EXPECT_EQ(j["punkte"][1]["X"].get<double>(), 802192.254);
    EXPECT_EQ(j["punkte"][0]["Name"], "");
}

TEST(CliTest, RechneTwiceGivesTheDemonstrationReportAgain) {
    const Lauf demo = Cli({"demo", "--json"});
    const Lauf rechne = Cli({"rechne", "--radius", "3.642", "--json"},
                            "802192.254\t585697.677\t71.443\n802192.620\t585697.595\t71.435\n"
                            "802192.646\t585697.951\t71.484\n802192.316\t585697.904\t71.477\n");
    ASSERT_EQ(rechne.rc, CliOk) << rechne.err;
    EXPECT_EQ(rechne.j()["report"], demo.j()["report"]);
    EXPECT_EQ(rechne.j()["grid"], demo.j()["grid"]);
}

TEST(CliTest, RechneTextOutputAndErrors) {
    const Lauf ok = Cli({"rechne", "--radius", "2"}, "0\t0\t1.5\r\n1\t0\t1\n0\t1\t1\n-1\t0\t1\n");
    EXPECT_EQ(ok.rc, CliOk) << ok.err;
    EXPECT_NE(ok.out.find("Ausgleichung"), std::string::npos);
    EXPECT_NE(ok.out.find("Punkt  X"), std::string::npos);

    const Lauf bad = Cli({"rechne", "--radius", "2", "--json"}, "0\t0\t1,5\n1\t0\t1\n0\t1\t1\n");
    EXPECT_EQ(bad.rc, CliFehler);
    EXPECT_EQ(bad.j()["error"], "'1,5' ist kein gültiger Gleitkommawert.");
    EXPECT_TRUE(bad.j()["report"].empty());

    // A failure of the solver is said and ends with exit code 3.
    const Lauf zwei = Cli({"rechne", "--radius", "2", "--json"}, "0\t0\t1\n1\t0\t1\n");
    EXPECT_EQ(zwei.rc, CliMeldung);
    EXPECT_EQ(zwei.j()["messages"], json({"Kugelmittelnpunkt Fehler"}));

    // A missing cell is empty text.
    const Lauf missing = Cli({"rechne", "--radius", "2"}, "0\t0\n");
    EXPECT_EQ(missing.rc, CliFehler);
    EXPECT_NE(missing.err.find("'' ist kein gültiger Gleitkommawert."), std::string::npos);
}

TEST(CliTest, WrongUsageGivesGermanHelp) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"rechne"}, {"unbekannt"}, {"rechne-datei"}, {"rechne-datei", "x.kor", "--format", "8"}}) {
        const Lauf l = Cli(args);
        EXPECT_EQ(l.rc, CliAufruf);
        EXPECT_NE(l.err.find("Aufruf: zentrix-cli"), std::string::npos);
    }
    EXPECT_EQ(Cli({"--hilfe"}).rc, CliOk);
}

using TempDir = zentrix::test::TempFolder;

TEST(CliTest, RechneDateiSetsFieldAndFormat) {
    TempDir d;
    const std::string datei = d.Write("k.kor", "1 50 100 10 0.05\n2 50 50 10 0.05\n");
    const Lauf l = Cli({"rechne-datei", datei, "--format", "4", "--json"});
    EXPECT_EQ(l.rc, CliMeldung);
    const json j = l.j();
    EXPECT_EQ(j["messages"], json({"Kugelmittelnpunkt Fehler"}));
    EXPECT_EQ(j["reflektorhoehe"], "0.05");
    EXPECT_EQ(j["grid"][0], json({"Punkt", "S", "Ri", "Zd", "vdH"}));
    EXPECT_EQ(j["punkte"].size(), 3u);
    EXPECT_EQ(j["punkte"][2]["Name"], "2");
    EXPECT_TRUE(j["report"].empty());  // the memo was cleared and the solver wrote nothing

    const Lauf fehlt = Cli({"rechne-datei", d.Path().string() + "/fehlt.kor"});
    EXPECT_EQ(fehlt.rc, CliFehler);
    EXPECT_NE(fehlt.err.find("Fehler: Datei nicht gefunden."), std::string::npos);
}

TEST(CliTest, KonvertInAFolder) {
    TempDir d;
    d.Write("test2.beb", "1 50 100 10 0.05\r\n");
    const Lauf l = Cli({"konvert", "--dir", d.Path().string(), "--json"});
    EXPECT_EQ(l.rc, CliOk) << l.err;
    std::ifstream kor(d.Path().string() + "/test2.Kor", std::ios::binary);
    std::string inhalt((std::istreambuf_iterator<char>(kor)), std::istreambuf_iterator<char>());
    EXPECT_EQ(inhalt, "    1      107.071      107.071      100.000      0.050\r\n");
    EXPECT_EQ(Cli({"konvert", "--dir", d.Path().string() + "/fehlt"}).rc, CliFehler);
}

TEST(CliTest, PolarauswertungReportsMessages) {
    TempDir d;
    // One sphere whose last line lacks its radius: two messages, then the solver fails.
    const std::string datei = d.Write("mess.dat", "K1 0 10 100 0.05\nK1 10 10 100 0.05\nK1 5 10 90\n");
    const Lauf l = Cli({"polarauswertung", datei, "--json"});
    EXPECT_EQ(l.rc, CliMeldung) << l.err;
    const json j = l.j();
    ASSERT_EQ(j["messages"].size(), 3u);
    EXPECT_EQ(j["messages"][0], "Fehler:  ist kein gültiger Real Wert.");
    EXPECT_EQ(j["messages"][1], "-> ");
    EXPECT_EQ(j["messages"][2], "Kugelmittelnpunkt Fehler");
    EXPECT_TRUE(std::ifstream(d.Path().string() + "/mess.TXT").good());
    EXPECT_TRUE(std::ifstream(d.Path().string() + "/mess.LST").good());
}

// The converged solver through the batch tool: the least-squares centre of the demonstration, and
// its statistics in the JSON.
TEST(CliTest, DemoIterativ) {
    const Lauf l = Cli({"demo", "--iterativ", "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_EQ(j["ergebnis"], 0);
    EXPECT_NEAR(j["punkte"][0]["X"].get<double>(), 802192.5047, 1e-4);
    EXPECT_NEAR(j["punkte"][0]["Y"].get<double>(), 585698.2756, 1e-4);
    EXPECT_NEAR(j["punkte"][0]["Z"].get<double>(), 67.8591, 1e-4);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_LT(std::abs(j["punkte"][i]["vR"].get<double>()), 0.0003) << i;
        EXPECT_NEAR(std::abs(j["punkte"][i]["NV"].get<double>()), 1, 1e-6) << i;
        EXPECT_GT(j["punkte"][i]["r"].get<double>(), 0);
        EXPECT_EQ(j["punkte"][i]["ausreisser"], false);
    }
    EXPECT_NEAR(j["statistik"]["m0"].get<double>(), 0.000302, 1e-6);
    EXPECT_TRUE(j["statistik"]["radius_frei"].is_null());  // four points: no radius check
    EXPECT_FALSE(j["statistik"].contains("seitenwahl"));   // rectangular input: no station
    // The one-step method gives its result code too, and no statistics.
    const json ohne = Cli({"demo", "--json"}).j();
    EXPECT_EQ(ohne["ergebnis"], 0);
    EXPECT_FALSE(ohne.contains("statistik"));
    EXPECT_FALSE(ohne["punkte"][1].contains("NV"));
}

// "folge" runs commands on one window: "Rechne" computes what the grid shows, in the form the
// grid holds it, with the full values behind the cells; no name of an earlier command stays.
TEST(CliTest, FolgeRechneGivesTheResultAgain) {
    const std::string daten = ZENTRIX_TEST_DATA "/koordinaten/";
    auto zentrum = [](const json& j) {
        const json& p = j["punkte"][0];
        return std::vector<double>{p["X"].get<double>(), p["Y"].get<double>(), p["Z"].get<double>()};
    };
    struct Fall {
        std::string datei;
        int format;
    };
    for (const Fall& f : {Fall{"kugel_xyz.kor", 0}, Fall{"kugel_xyz.kor", 1}, Fall{"kugel_format2.kor", 2},
                          Fall{"kugel_format3.kor", 3}, Fall{"kugel_format4.kor", 4}, Fall{"kugel_format5.kor", 5},
                          Fall{"geneigt_format6.kor", 6}, Fall{"geneigt_format7.kor", 7}})
        for (const char* iterativ : {"", " --iterativ"}) {
            const std::string datei = "rechne-datei " + daten + f.datei + " --format " + std::to_string(f.format) + iterativ;
            SCOPED_TRACE(datei);
            const Lauf erst = Cli({"folge", datei, "--json"});
            const Lauf dann = Cli({"folge", datei, std::string("rechne") + iterativ, std::string("rechne") + iterativ, "--json"});
            ASSERT_EQ(erst.rc, CliOk) << erst.err;
            ASSERT_EQ(dann.rc, CliOk) << dann.err;
            const json j = dann.j();
            ASSERT_EQ(j["schritte"].size(), 3u);
            EXPECT_EQ(j["schritte"][2]["rc"], 0);
            const std::vector<double> a = zentrum(erst.j()), b = zentrum(j);
            for (int k = 0; k < 3; ++k) {
                if (f.format < 2) EXPECT_EQ(a[k], b[k]);  // rectangular: bit for bit
                else EXPECT_NEAR(a[k], b[k], 1e-9 * std::abs(a[k]));
            }
            for (std::size_t i = 1; i < j["punkte"].size(); ++i) {
                const double va = erst.j()["punkte"][i]["vR"].get<double>(), vb = j["punkte"][i]["vR"].get<double>();
                if (f.format < 2) EXPECT_EQ(va, vb) << i;
                else EXPECT_NEAR(va, vb, 1e-9) << i;  // metres
            }
            EXPECT_EQ(j["grid"][0], erst.j()["grid"][0]);  // the headers stay
        }
}

TEST(CliTest, FolgeStartsEveryComputationFromACleanList) {
    TempDir d;
    // The last sphere of the evaluation is K4.
    std::ifstream quelle(ZENTRIX_TEST_DATA "/beobachtungen/vier_kugeln.dat", std::ios::binary);
    const std::string beob = d.Write("m.dat", std::string(std::istreambuf_iterator<char>(quelle), {}));
    const std::string kor = d.Write("k.kor", "1 8 18 6 3\n2 8 21 7 3\n3 12 22 6 3\n");
    const Lauf l = Cli({"folge", "polarauswertung " + beob, "rechne-datei " + kor, "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_EQ(j["grid"][1][0], "");
    EXPECT_EQ(j["report"][0], "Kugelzentrierung Punkt ");
    EXPECT_EQ(j["punkte"][0]["Name"], "");
    // A step that fails before it computes leaves the grid and the point list as they stood;
    // the first failing step's exit code is the run's.
    const Lauf fehler = Cli({"folge", "rechne-datei " + kor, "rechne-datei " + d.Path().string() + "/fehlt.kor", "--json"});
    EXPECT_EQ(fehler.rc, CliFehler);
    const json k = fehler.j();
    EXPECT_EQ(k["schritte"][1]["error"], "Datei nicht gefunden.");
    EXPECT_EQ(k["schritte"][0]["rc"], 0);
    EXPECT_EQ(k["grid"][2][0], "1");
    EXPECT_EQ(k["punkte"].size(), 4u);
    EXPECT_EQ(Cli({"folge", "rechne --radius 1", "unsinn"}).rc, CliAufruf);
}

// A sphere shown from the evaluation is the whole sphere: its points, names and radius. "rechne"
// right after gives its centre with the method the evaluation used, whatever the radius field held.
TEST(CliTest, AShownSphereIsComputedAsTheEvaluationComputedIt) {
    TempDir d;
    std::ifstream quelle(ZENTRIX_TEST_DATA "/beobachtungen/vier_kugeln.dat", std::ios::binary);
    const std::string beob = d.Write("m.dat", std::string(std::istreambuf_iterator<char>(quelle), {}));
    for (const char* iterativ : {"", " --iterativ"})
        for (const char* kugel : {"K1", "K2", "3", "K4"}) {
            SCOPED_TRACE(std::string(kugel) + iterativ);
            const std::string auswertung = "polarauswertung " + beob + iterativ, zeige = std::string("zeige-kugel ") + kugel;
            const Lauf gezeigt = Cli({"folge", auswertung, zeige, "--json"});
            const Lauf gerechnet =
                Cli({"folge", "rechne --radius 0.5", auswertung, zeige, std::string("rechne") + iterativ, "--json"});
            ASSERT_EQ(gerechnet.rc, CliOk) << gerechnet.err;
            const json a = gezeigt.j(), b = gerechnet.j();
            EXPECT_EQ(b["reflektorhoehe"], "0.0725");
            EXPECT_TRUE(b["mittelpunkt_gueltig"]);
            for (const char* k : {"X", "Y", "Z"})
                EXPECT_NEAR(b["punkte"][0][k].get<double>(), a["punkte"][0][k].get<double>(),
                            1e-9 * std::abs(a["punkte"][0][k].get<double>()));
            EXPECT_EQ(b["grid"][2][0], a["grid"][2][0]);  // the names stay
        }
    // By name the first of that name, else by its number in the file; anything else is an error.
    EXPECT_EQ(Cli({"folge", "polarauswertung " + beob, "zeige-kugel 2", "--json"}).j()["grid"][1][0], "K2");
    const Lauf keine = Cli({"folge", "polarauswertung " + beob, "zeige-kugel K9", "--json"});
    EXPECT_EQ(keine.rc, CliFehler);
    EXPECT_EQ(keine.j()["schritte"][1]["error"], "Keine Kugel „K9“ in der letzten Polarauswertung (4 Kugeln)");
    EXPECT_EQ(Cli({"zeige-kugel", "K1"}).rc, CliAufruf);                    // only within a sequence
    EXPECT_EQ(Cli({"folge", "zeige-kugel 1", "--json"}).rc, CliFehler);     // and after an evaluation
    // A failed "rechne" leaves no result: the JSON says so, the grid keeps its zeros.
    const Lauf linie = Cli({"rechne", "--radius", "1", "--json"}, "1\t2\t3\n2\t4\t6\n3\t6\t9\n4\t8\t12\n");
    EXPECT_FALSE(linie.j()["mittelpunkt_gueltig"]);
    EXPECT_EQ(linie.j()["grid"][1][1], "       0.000");
    EXPECT_TRUE(Cli({"demo", "--json"}).j()["mittelpunkt_gueltig"]);
}

// A group of four in polar form (Ri in gon, S, dH in metres) with 1 mm noise, whose better fit lies
// in front of the points: the centre behind them is taken, and the report and the JSON say so.
TEST(CliTest, PolarGroupOfFourSaysWhichRuleChoseTheSide) {
    TempDir d;
    const std::string datei = d.Write("vier.kor",
                                      "1 44.5976540204 29.9517870058 -0.4480 0.0725\n"
                                      "2 44.4621597605 29.9475543464 -0.4850 0.0725\n"
                                      "3 44.4519621760 29.9682023969 -0.4608 0.0725\n"
                                      "4 44.4901250705 29.9772847379 -0.4404 0.0725\n");
    const Lauf l = Cli({"rechne-datei", datei, "--format", "2", "--iterativ", "--json"});
    ASSERT_EQ(l.rc, CliOk) << l.err;
    const json j = l.j();
    EXPECT_EQ(j["statistik"]["seitenwahl"], "standpunkt");
    const std::string zeile = "Ausgleichung iterativ, " + std::to_string(j["statistik"]["iterationen"].get<int>()) +
                              " Iterationen, Seite vom Standpunkt aus gewählt";
    EXPECT_NE(std::find(j["report"].begin(), j["report"].end(), zeile), j["report"].end());
    // The centre as horizontal distance, direction and elevation angle (gon), 0.2 mm from the true
    // one (30 m, 44.5635 gon, -1.0610 gon); the mirror image in front lies 124 mm from it.
    EXPECT_NEAR(j["punkte"][0]["X"].get<double>(), 30.0000, 2e-4);
    EXPECT_NEAR(j["punkte"][0]["Y"].get<double>(), 44.5635, 2e-4);
    EXPECT_NEAR(j["punkte"][0]["Z"].get<double>(), -1.0605, 2e-4);
}

// A day's file with known failures: every sphere in the JSON and the CSV with its name, lines and
// reason; each failure's place on the line after its message, the summary last.
TEST(CliTest, PolarauswertungListsEverySphereWithItsPlace) {
    TempDir d;
    std::ifstream quelle(ZENTRIX_TEST_DATA "/beobachtungen/vier_kugeln.dat", std::ios::binary);
    std::string inhalt(std::istreambuf_iterator<char>(quelle), {});
    // Two more: collinear pointings, and a last radius that cannot be read (no sphere computed).
    inhalt += "G1 10 10 100 0.05\r\nG1 10 20 100 0.05\r\nG1 10 30 100 0.05\r\nR1 1 10 100 0,0,5\r\n"
              "R1 2 10 100 0.05\r\nR1 3 10 100 x\r\n";
    const std::string datei = d.Write("tag.dat", inhalt);
    const std::string csv = d.Path().string() + "/tag.csv";
    const Lauf l = Cli({"polarauswertung", datei, "--json", "--kugeln", csv});
    ASSERT_EQ(l.rc, CliMeldung) << l.err;
    const json k = l.j()["kugeln"];
    ASSERT_EQ(k.size(), 6u);
    struct Erwartet {
        const char* name;
        int erste, letzte, punkte, ergebnis;
        const char* grund;
    };
    const Erwartet e[] = {{"K1", 2, 4, 3, 0, ""},   {"K2", 6, 9, 4, 0, ""},   {"K3", 10, 14, 5, 0, ""},
                          {"K4", 17, 24, 8, 0, ""}, {"G1", 25, 27, 3, -2, "die Punkte liegen im Grundriss auf einer Geraden"},
                          {"R1", 28, 30, 3, -9, "Zeile 30, Feld 5: „x“ ist keine Zahl"}};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(e[i].name);
        EXPECT_EQ(k[i]["name"], e[i].name);
        EXPECT_EQ(k[i]["zeilen"], json({e[i].erste, e[i].letzte}));
        EXPECT_EQ(k[i]["punkte"], e[i].punkte);
        EXPECT_EQ(k[i]["ergebnis"], e[i].ergebnis);
        EXPECT_EQ(k[i]["grund"], e[i].grund);
        EXPECT_EQ(k[i]["mittelpunkt"].is_null(), e[i].ergebnis != 0);
    }
    // R1's unreadable radius: the field's place in the sphere's entry.
    ASSERT_EQ(k[5]["meldungen"].size(), 4u);
    EXPECT_EQ(k[5]["meldungen"][0]["ort"], json({{"kugel", "R1"}, {"zeile", 28}, {"feld", 5}, {"text", "0,0,5"}}));
    EXPECT_EQ(k[5]["meldungen"][2]["ort"]["zeile"], 30);

    const std::string tabelle = zentrix::test::ReadBytes(csv);
    EXPECT_EQ(tabelle.rfind("\xEF\xBB\xBFName;Erste Zeile;Letzte Zeile;Zeigungen;Ergebnis;Ri [gon];", 0), 0u);
    EXPECT_NE(tabelle.find("\r\nK1;2;4;3;gerechnet;50,1234;12,500;99,1995;;"), std::string::npos);
    EXPECT_NE(tabelle.find("\r\nG1;25;27;3;die Punkte liegen im Grundriss auf einer Geraden;;;;;;\r\n"), std::string::npos);

    const Lauf text = Cli({"polarauswertung", datei});
    EXPECT_NE(text.err.find("Meldung: Kugelmittelnpunkt Fehler\n  Kugel G1, Zeilen 25–27: die Punkte liegen im "
                            "Grundriss auf einer Geraden\n"),
              std::string::npos);
    EXPECT_NE(text.err.find("Meldung: Fehler: x ist kein gültiger Real Wert.\n  Kugel R1, Zeile 30, Feld 5: „x“\n"),
              std::string::npos);
    const std::string letzte = "Polarauswertung: 6 Kugeln ausgewertet, 2 fehlgeschlagen – mit „Iterieren“ gelingen 0 davon\n";
    EXPECT_EQ(text.err.substr(text.err.size() - letzte.size()), letzte);
}

// A file the command writes besides its outputs never replaces its input, another of its
// outputs, a pipe or a folder; refused before any work, with nothing written.
TEST(CliTest, NoExtraOutputReplacesTheInputAnOutputOrAPipe) {
    TempDir d;
    std::ifstream quelle(ZENTRIX_TEST_DATA "/beobachtungen/vier_kugeln.dat", std::ios::binary);
    const std::string messung = d.Write("Messung.dat", std::string(std::istreambuf_iterator<char>(quelle), {}));
    const std::string kor = d.Write("k.png", "1 50 100 10 0.05\n2 50 50 10 0.05\n3 0 0 1 0.05\n");
    const std::string p = d.Path().string() + "/";
    ::mkfifo((p + "rohr").c_str(), 0600);
    ::symlink("Messung.dat", (p + "verweis.csv").c_str());
    const std::string aus = " ist eine Ausgabe dieser Auswertung.\n", ein = "Die Eingabedatei würde überschrieben.\n";
    std::vector<std::pair<std::vector<std::string>, std::string>> faelle = {
        {{"polarauswertung", messung, "--kugeln", messung}, ein},
        {{"polarauswertung", messung, "--kugeln", p + "verweis.csv"}, ein},
        {{"polarauswertung", messung, "--kugeln", p + "./Messung.TXT"}, p + "Messung.TXT" + aus},
        {{"polarauswertung", messung, "--kugeln", p + "Messung.LST", "--json"}, p + "Messung.LST" + aus},
        {{"polarauswertung", messung, "--kugeln", p + "rohr"}, "Keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket).\n"},
        {{"polarauswertung", messung, "--kugeln", d.Path().string()}, "Der Pfad bezeichnet einen Ordner.\n"},
    };
#ifdef ZENTRIX_MIT_GRAFIK
    faelle.push_back({{"folge", "rechne-datei " + kor + " --grafik " + p + "./k.png"}, ein});
#endif
    for (const auto& [args, grund] : faelle) {
        SCOPED_TRACE(args.back());
        const Lauf l = Cli(args);
        EXPECT_EQ(l.rc, CliFehler);
        EXPECT_TRUE(l.out.empty());
        EXPECT_EQ(l.err.substr(l.err.size() - std::min(l.err.size(), grund.size())), grund);
    }
    std::vector<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(d.Path())) namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"Messung.dat", "k.png", "rohr", "verweis.csv"}));
    EXPECT_EQ(zentrix::test::ReadBytes(messung).substr(0, 5), "STAND");
}

// Why a file could not be read, and where a computation ran over: the file it came from.
TEST(CliTest, ReasonsAndPlacesOfFailures) {
    TempDir d;
    const Lauf ordner = Cli({"rechne", "--radius", "1", d.Path().string()});
    EXPECT_NE(ordner.err.find("kann nicht gelesen werden. Der Pfad bezeichnet einen Ordner."), std::string::npos);
    const std::string gross = d.Write("g.kor", "1 1e308 0 0 0.5\n2 0 1e308 0 0.5\n3 0 0 1 0.5\n4 1 1 1 0.5\n");
    const Lauf ueber = Cli({"rechne-datei", gross, "--json"});
    EXPECT_EQ(ueber.j()["error"], "Gleitkommaüberlauf.");
    EXPECT_EQ(ueber.j()["ort"], json({{"datei", gross}, {"grund", "beim Rechnen mit ihren Werten"}}));
}
