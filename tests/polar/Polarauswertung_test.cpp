// Polar evaluation of observation files: grouping, marking, centre lines, output files, faults.

#include "polar/Polarauswertung.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "polar/KugelTabelle.hpp"
#include "numerics/Polar.hpp"
#include "Hilfen.hpp"
#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {
namespace {

namespace fs = std::filesystem;

constexpr long double kPi = 3.1415926535897932385L;
constexpr long double kRho = 200.0L / kPi;  // gon per radian
constexpr double kRadius = 0.0725;          // reflector sphere radius (metres)

struct Vec {
    long double x, y, z;
};

Vec FromPolar(long double riGon, long double s, long double zdGon) {
    const long double ri = riGon / kRho, zd = zdGon / kRho;
    return {s * std::sin(zd) * std::cos(ri), s * std::sin(zd) * std::sin(ri), s * std::cos(zd)};
}

// One pointing as the instrument records it: direction and zenith distance (gon), slope distance.
struct Pointing {
    long double ri, s, zd;
};

Pointing ToPolar(const Vec& p) {
    long double ri = std::atan2(p.y, p.x) * kRho;
    if (ri < 0) ri += 400;
    const long double h = std::sqrt(p.x * p.x + p.y * p.y);
    return {ri, std::sqrt(h * h + p.z * p.z), std::atan2(h, p.z) * kRho};
}

Vec Unit(const Vec& v) {
    const long double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}

// Pointings at the side of a sphere (centre given as a polar observation) that faces the station.
// The first three lie 5 degrees above the centre's height, to the left, to the right and in front,
// so that their plan circle is the sphere's circle at that height; the others are spread over
// directions up to 50 degrees off the line of sight and heights from 20 to 60 degrees above the
// centre.
std::vector<Pointing> SpherePointings(long double ri0, long double s0, long double zd0, int m, double radius = kRadius) {
    const Vec c = FromPolar(ri0, s0, zd0);
    const Vec front = Unit({-c.x, -c.y, 0});  // horizontal, towards the station
    const Vec side = {-front.y, front.x, 0};
    const long double deg = kPi / 180;
    std::vector<std::pair<long double, long double>> dirs = {{-75, 5}, {75, 5}, {0, 5}};
    for (int k = 3; k < m; ++k) {
        const long double t = m > 4 ? static_cast<long double>(k - 3) / (m - 4) : 0.5L;
        dirs.push_back({-50 + 100 * t, 20 + 40 * std::fmod(0.618033988749895L * k, 1.0L)});
    }
    std::vector<Pointing> result;
    for (int k = 0; k < m; ++k) {
        const long double a = dirs[k].first * deg, b = dirs[k].second * deg;
        const long double cf = std::cos(a) * std::cos(b), cs = std::sin(a) * std::cos(b), cz = std::sin(b);
        const Vec p = {c.x + radius * (cf * front.x + cs * side.x), c.y + radius * (cf * front.y + cs * side.y),
                       c.z + radius * cz};
        result.push_back(ToPolar(p));
    }
    return result;
}

std::string Fmt(const char* format, long double a, long double b, long double c) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

// Observation lines "Nr Ri S Zd R[ codes]" written with full precision.
std::vector<std::string> SphereLines(const std::string& name, long double ri0, long double s0, long double zd0, int m,
                                     const std::string& codes = "") {
    std::vector<std::string> lines;
    for (const Pointing& p : SpherePointings(ri0, s0, zd0, m))
        lines.push_back(name + " " + Fmt("%.10Lf %.10Lf %.10Lf", p.ri, p.s, p.zd) + " 0.0725");
    if (!codes.empty()) lines.front() += " " + codes;
    return lines;
}

using test::ReadBytes;

std::string WithEnds(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + end;
    return s;
}

std::vector<std::string> Marked(std::vector<std::string> lines) {
    for (auto& l : lines) l = "*" + l;
    return lines;
}

template <class... V>
std::vector<std::string> Concat(const V&... parts) {
    std::vector<std::string> all;
    (all.insert(all.end(), parts.begin(), parts.end()), ...);
    return all;
}

class PolarauswertungTest : public ::testing::Test {
protected:
    void SetUp() override { DecimalSeparator = '.'; }

    // Writes the input file and runs the evaluation on it.
    void Run(const std::vector<std::string>& lines, const std::string& end = "\r\n", const std::string& name = "obs.dat") {
        input = dir / name;
        std::ofstream(input, std::ios::binary) << WithEnds(lines, end);
        Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
    }
    fs::path Out(const char* ext) const {
        const std::string s = input.string();
        return s.substr(0, s.size() - 3) + ext;
    }
    std::vector<std::string> CentreLines() const {
        std::vector<std::string> c;
        for (std::size_t i = 0; i + 1 < Memo.size(); ++i)
            if (Memo[i] == "Polarkoordinaten des Kugelmittelpunktes") c.push_back(Memo[i + 1]);
        return c;
    }

    test::TempFolder folder;
    fs::path dir = folder.Path(), input;
    TPunktArray Punkte;
    TMemoLines Memo;
    std::vector<std::string> messages;
    std::vector<TOrt> orte;  // the place of each message
    TMeldungMitOrt meldung = [this](const std::string& text, const TOrt& ort) {
        messages.push_back(text);
        orte.push_back(ort);
    };
};

// ---------------------------------------------------------------------------------------------
// Grouping, marking and the output files

TEST_F(PolarauswertungTest, SpheresOfThreeFourAndFivePointingsAreEvaluatedAndMarked) {
    const auto k1 = SphereLines("K1", 50, 10, 95, 3);
    const auto k2 = SphereLines("K2", 150, 20, 98.5L, 4, "CODE7 Mauer");
    auto k3 = SphereLines("K3", 325.25L, 35.5L, 101.25L, 5);
    // Only the last pointing's radius counts; the others would give another sphere.
    for (std::size_t i = 0; i + 1 < k3.size(); ++i) k3[i].replace(k3[i].size() - 6, 6, "9.9");
    const std::vector<std::string> stand = {"STAND 0 0 100 0 Instrument"};
    const std::vector<std::string> p7 = {"P7 12.5 30.1 99.5 0.0725"};
    const std::vector<std::string> p8 = {"P8 1 2 3 4", "P8 1 2 3 4"};

    Run(Concat(stand, k1, p7, k2, p8, k3), "\n");

    const std::vector<std::string> c1 = {"K1     50.0000      10.000     95.0000     0.00 "};
    const std::vector<std::string> c2 = {"K2    150.0000      20.000     98.5000     0.00 CODE7 Mauer"};
    const std::vector<std::string> c3 = {"K3    325.2500      35.500    101.2500     0.00 "};
    EXPECT_EQ(ReadBytes(Out("TXT")),
              WithEnds(Concat(stand, c1, Marked(k1), p7, c2, Marked(k2), p8, c3, Marked(k3))));
    EXPECT_TRUE(messages.empty());

    // The listing is the memo: each sphere's solver report, then its polar centre.
    EXPECT_EQ(ReadBytes(Out("LST")), WithEnds(Memo));
    EXPECT_EQ(CentreLines(), Concat(c1, c2, c3));
    std::vector<std::size_t> order;
    for (const char* line : {"Kugelzentrierung Punkt K1", "Polarkoordinaten des Kugelmittelpunktes",
                             "Kugelzentrierung Punkt K2", "Kugelzentrierung Punkt K3"}) {
        const auto from = order.empty() ? Memo.begin() : Memo.begin() + static_cast<long>(order.back()) + 1;
        const auto it = std::find(from, Memo.end(), line);
        ASSERT_NE(it, Memo.end()) << line;
        order.push_back(static_cast<std::size_t>(it - Memo.begin()));
    }
    EXPECT_EQ(Memo.back(), c3[0]);

    // The point list keeps the last sphere: centre slot named after its first point.
    ASSERT_EQ(Punkte.Length(), 6u);
    EXPECT_EQ(Punkte[0].Name, "K3");
    EXPECT_EQ(Punkte[5].Name, "K3");
    const Vec c = FromPolar(325.25L, 35.5L, 101.25L);
    EXPECT_NEAR(Punkte[0].X, static_cast<double>(c.x), 1e-8);
    EXPECT_NEAR(Punkte[0].Y, static_cast<double>(c.y), 1e-8);
    EXPECT_NEAR(Punkte[0].Z, static_cast<double>(c.z), 1e-8);
}

TEST_F(PolarauswertungTest, SphereOnTheLastLinesOfTheFileIsEvaluated) {
    const auto k1 = SphereLines("K1", 120, 15, 99, 4);
    const std::vector<std::string> before = {"A 1 2 3 4", "B 1 2 3 4", "C 1 2 3 4"};

    Run(Concat(before, k1));
    ASSERT_EQ(CentreLines().size(), 1u);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(before, CentreLines(), Marked(k1))));

    // A file that is one sphere of three pointings and nothing else, without a final line end.
    const auto k2 = SphereLines("K2", 20, 12, 97, 3);
    input = dir / "short.dat";
    std::ofstream(input, std::ios::binary) << k2[0] << "\r" << k2[1] << "\r" << k2[2];
    Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
    EXPECT_EQ(CentreLines(), std::vector<std::string>{"K2     20.0000      12.000     97.0000     0.00 "});
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(CentreLines(), Marked(k2))));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PolarauswertungTest, SameNameInTwoRunsGivesTwoSpheres) {
    const auto first = SphereLines("K1", 10, 11, 99, 3);
    const auto second = SphereLines("K1", 210, 22, 101, 4);
    const std::vector<std::string> between = {"X 1 2 3 4"};

    Run(Concat(first, between, second));
    const std::vector<std::string> centres = {"K1     10.0000      11.000     99.0000     0.00 ",
                                              "K1    210.0000      22.000    101.0000     0.00 "};
    EXPECT_EQ(CentreLines(), centres);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(std::vector{centres[0]}, Marked(first), between,
                                                     std::vector{centres[1]}, Marked(second))));
}

TEST_F(PolarauswertungTest, ScanGoesOnFromTheMarkedLastLineOfASphere) {
    // After a sphere the scan looks again at its last line, now marked: with two following lines
    // named "*K1" it starts a further group (here one the solver rejects).
    const auto k1 = SphereLines("K1", 70, 16, 99, 3);
    const std::vector<std::string> starred = {"*K1 1 2 3 4", "*K1 1 2 3 4"};

    Run(Concat(k1, starred));
    EXPECT_EQ(messages, std::vector<std::string>{"Kugelmittelnpunkt Fehler"});
    const std::vector<std::string> centre = {"K1     70.0000      16.000     99.0000     0.00 "};
    EXPECT_EQ(CentreLines(), centre);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(centre, Marked(k1), starred)));
}

TEST_F(PolarauswertungTest, NamesAreComparedWithLetterCaseAndFromTheFirstColumn) {
    const auto k1 = SphereLines("K1", 80, 25, 100, 3);
    // "k1" differs from "K1"; a line beginning with a blank has the empty name and ends the run.
    const std::vector<std::string> lower = {"k1 1 2 3 4"};
    std::vector<std::string> broken = SphereLines("K1", 80, 25, 100, 3);
    broken[1] = " " + broken[1];

    Run(Concat(lower, k1, lower, broken));
    ASSERT_EQ(CentreLines().size(), 1u);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(lower, CentreLines(), Marked(k1), lower, broken)));
}

TEST_F(PolarauswertungTest, LinesBeginningWithABlankFormAGroupOfTheEmptyName) {
    // The group name is empty, but the fields are read after the leading blanks: the centre is
    // named after the point, and its codes start with the fifth field of the marked line.
    std::vector<std::string> k = SphereLines("K9", 60, 18, 96, 3, "C1");
    for (auto& l : k) l = "  " + l;

    Run(k);
    const std::vector<std::string> centre = {"K9     60.0000      18.000     96.0000     0.00 0.0725 C1"};
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(centre, Marked(k))));
}

TEST_F(PolarauswertungTest, TooFewLinesOrShortRunsGiveNoSphere) {
    const std::vector<std::vector<std::string>> files = {
        {},
        {"K1 1 2 3 0.0725"},
        {"K1 1 2 3 0.0725", "K1 1 2 3 0.0725"},
        {"K1 1 2 3 0.0725", "K1 1 2 3 0.0725", "K2 1 2 3 0.0725", "K2 1 2 3 0.0725"},
    };
    for (const auto& lines : files) {
        Run(lines);
        EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(lines));
        EXPECT_EQ(ReadBytes(Out("LST")), "");
        EXPECT_TRUE(Memo.empty());
        EXPECT_EQ(Punkte.Length(), 0u);  // no sphere, no last sphere's points
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PolarauswertungTest, PointingsAreReducedToTheStationSystem) {
    // Not a sphere of this radius: the solver fails, the points stay as reduced.
    const std::vector<std::string> lines = {"E 50 10 100 0.0725", "E 150 20 50 0.0725", "E 0 5 100 0.0725"};
    Run(lines);
    EXPECT_EQ(messages, std::vector<std::string>{"Kugelmittelnpunkt Fehler"});
    ASSERT_EQ(Punkte.Length(), 4u);
    const double h = 10 * std::cos(kPi / 4);
    EXPECT_NEAR(Punkte[1].X, h, 1e-12);
    EXPECT_NEAR(Punkte[1].Y, h, 1e-12);
    EXPECT_NEAR(Punkte[1].Z, 0, 1e-12);
    EXPECT_NEAR(Punkte[2].X, -10, 1e-12);
    EXPECT_NEAR(Punkte[2].Y, 10, 1e-12);
    EXPECT_NEAR(Punkte[2].Z, 2 * h, 1e-12);
    EXPECT_EQ(Punkte[0].Name, "E");
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(lines));
}

// ---------------------------------------------------------------------------------------------
// Bad fields and failed spheres

TEST_F(PolarauswertungTest, BadRadiusFieldOfAnInnerLineShowsTwoMessagesAndIsNotUsed) {
    auto k = SphereLines("K1", 30, 14, 98, 4);
    k[0].replace(k[0].size() - 6, 6, "0,07a5 CODE");

    Run(k);
    EXPECT_EQ(messages, (std::vector<std::string>{"Fehler: 0.07a5 ist kein gültiger Real Wert.", "-> CODE"}));
    const std::vector<std::string> centre = {"K1     30.0000      14.000     98.0000     0.00 CODE"};
    EXPECT_EQ(CentreLines(), centre);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(centre, Marked(k))));
}

TEST_F(PolarauswertungTest, MissingRadiusOnTheLastLineFailsTheSphereAndLeavesItUnmarked) {
    auto bad = SphereLines("K1", 30, 14, 98, 3);
    bad[2].resize(bad[2].size() - 7);  // " 0.0725" gone
    const auto good = SphereLines("K2", 230, 24, 102, 4);

    Run(Concat(bad, good));
    EXPECT_EQ(messages, (std::vector<std::string>{"Fehler:  ist kein gültiger Real Wert.", "-> ",
                                                  "Kugelmittelnpunkt Fehler"}));
    const std::vector<std::string> centre = {"K2    230.0000      24.000    102.0000     0.00 "};
    EXPECT_EQ(CentreLines(), centre);
    EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(bad, centre, Marked(good))));
    EXPECT_EQ(std::count(Memo.begin(), Memo.end(), "Polarkoordinaten des Kugelmittelpunktes"), 1);
}

TEST_F(PolarauswertungTest, AValueThatCouldNotBeReadFailsItsSphereWithEitherSolver) {
    // A direction, distance or zenith distance of any line, or the radius of the last line: the
    // sphere is not computed from a 0 in its place.
    struct Fall {
        int zeile, feld;  // in the sphere (from 1), in the line (Nr is 1)
    };
    const auto gut = SphereLines("K2", 230, 24, 102, 4);
    for (const bool iterativ : {false, true}) {
        for (const Fall f : {Fall{1, 2}, Fall{2, 3}, Fall{4, 4}, Fall{4, 5}}) {
            SCOPED_TRACE(testing::Message() << iterativ << " line " << f.zeile << " field " << f.feld);
            auto k = SphereLines("K1", 30, 14, 98, 4);
            std::istringstream felder(k[f.zeile - 1]);
            std::vector<std::string> w{std::istream_iterator<std::string>(felder), {}};
            w[f.feld - 1] = "350.5x4939";
            std::string zeile = w[0];
            for (std::size_t i = 1; i < w.size(); ++i) zeile += " " + w[i];
            k[f.zeile - 1] = zeile;
            messages.clear();
            orte.clear();
            input = dir / "obs.dat";
            std::ofstream(input, std::ios::binary) << WithEnds(Concat(k, gut));
            const TKugelsuche s = Polarauswertung(input.string(), Memo, meldung, iterativ);

            const std::string grund = "Zeile " + std::to_string(f.zeile) + ", Feld " + std::to_string(f.feld) +
                                      ": „350.5x4939“ ist keine Zahl";
            EXPECT_EQ(s.Ergebnisse, (std::vector<KugelErgebnis>{KugelErgebnis::Lesefehler, KugelErgebnis::Ok}));
            EXPECT_EQ(Code(KugelErgebnis::Lesefehler), -9);
            EXPECT_EQ(s.Kugeln[0].Grund, grund);
            EXPECT_FALSE(s.Kugeln[0].MitIterieren);
            ASSERT_EQ(messages.size(), 3u);
            EXPECT_EQ(messages[0], "Fehler: 350.5x4939 ist kein gültiger Real Wert.");
            EXPECT_EQ(messages[2], iterativ ? "Kugelmittelnpunkt Fehler: " + grund : "Kugelmittelnpunkt Fehler");
            EXPECT_EQ(orte[2].Grund, grund);
            EXPECT_EQ(std::count(Memo.begin(), Memo.end(), "Kugelzentrierung Punkt K1"), 0);
            const std::vector<std::string> c2 = {"K2    230.0000      24.000    102.0000     0.00 "};
            EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(k, c2, Marked(gut))));
        }
    }
}

TEST_F(PolarauswertungTest, ArithmeticFaultFailsOnlyItsSphere) {
    // A distance beyond the range of a double, or a radius whose square is: the sphere fails like
    // any other (one message, unmarked), the spheres before and after it are evaluated and saved.
    const auto vorher = SphereLines("K1", 30, 14, 98, 3);
    const auto nachher = SphereLines("K3", 230, 24, 102, 4);
    const std::vector<std::vector<std::string>> faelle = {
        {"K2 1 1e999 100 0.0725", "K2 2 10 100 0.0725", "K2 3 10 100 0.0725"},
        {"K2 1 10 100 0.0725", "K2 2 10 100 0.0725", "K2 3 10.01 99 1e308"},
    };
    for (const auto& bad : faelle) {
        messages.clear();
        Memo.clear();
        Run(Concat(vorher, bad, nachher));
        EXPECT_EQ(messages, std::vector<std::string>{"Kugelmittelnpunkt Fehler"}) << bad[0];
        const std::vector<std::string> c1 = {"K1     30.0000      14.000     98.0000     0.00 "};
        const std::vector<std::string> c3 = {"K3    230.0000      24.000    102.0000     0.00 "};
        EXPECT_EQ(CentreLines(), Concat(c1, c3));
        EXPECT_EQ(ReadBytes(Out("TXT")), WithEnds(Concat(c1, Marked(vorher), bad, c3, Marked(nachher))));
    }
}

// ---------------------------------------------------------------------------------------------
// The centre as an observation line

TEST(KugelmittelpunktZeile, StatesDirectionDistanceAndZenithDistanceOfTheCentre) {
    DecimalSeparator = '.';
    struct Case {
        double x, y, z;
        const char* first;
        const char* line;
    } cases[] = {
        {3, 4, 12, "*K1 1 2 3 4", "K1     59.0334      13.000     25.1332     0.00 "},
        {-3, -4, -12, "*K1 1 2 3 4 CODE7  Mauer", "K1    259.0334      13.000    174.8668     0.00 CODE7  Mauer"},
        {10, 0, 0, "*K1 1 2 3", "K1      0.0000      10.000    100.0000     0.00 "},
        {0, -2, -1e-9, "*K1", "K1    300.0000       2.000    100.0000     0.00 "},
        {1, -1e-3, 0, "*K1 1 2 3 4 x", "K1    399.9363       1.000    100.0000     0.00 x"},
        {1, -1e-7, 0, "*K1 1 2 3 4 x", "K1    400.0000       1.000    100.0000     0.00 x"},  // just below 400 gon
    };
    for (const auto& c : cases) {
        TPunkt centre;
        centre.Name = "K1";
        centre.X = c.x;
        centre.Y = c.y;
        centre.Z = c.z;
        EXPECT_EQ(KugelmittelpunktZeile(centre, c.first), c.line) << c.x << " " << c.y << " " << c.z;
    }
}

TEST(KugelmittelpunktZeile, IsCutTo255Characters) {
    DecimalSeparator = '.';
    TPunkt centre{"K1", 3, 4, 12, 0};
    const std::string line = KugelmittelpunktZeile(centre, "*K1 1 2 3 4 " + std::string(300, 'c'));
    EXPECT_EQ(line, "K1     59.0334      13.000     25.1332     0.00 " + std::string(255 - 48, 'c'));
}

TEST(KugelmittelpunktZeile, CentreStraightAboveOrAtTheStationIsAnArithmeticFault) {
    DecimalSeparator = '.';
    struct Case {
        double z;
        const char* text;
    } cases[] = {{5, "Gleitkommadivision durch Null"}, {-5, "Gleitkommadivision durch Null"},
                 {0, "Ungültige Gleitkommaoperation"}};
    for (const auto& c : cases) {
        try {
            KugelmittelpunktZeile(TPunkt{"K1", 0, 0, c.z, 0}, "*K1 1 2 3 4");
            ADD_FAILURE() << "no error for Z = " << c.z;
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Files that cannot be read or written

TEST_F(PolarauswertungTest, InputThatCannotBeOpenedIsReportedWithItsFullPathAndReason) {
    fs::create_directories(dir / "folder.dat");
    struct Case {
        fs::path name;
        int err;
    } cases[] = {{dir / "missing.dat", ENOENT}, {dir / "folder.dat", EISDIR}};
    for (const auto& c : cases) {
        Memo = {"old"};
        try {
            Punkte = Polarauswertung(c.name.string(), Memo, meldung).Punkte;
            ADD_FAILURE() << "no error for " << c.name;
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Datei " + c.name.string() + " kann nicht geöffnet werden. " + SystemReasonText(c.err));
            EXPECT_NE(e.Code, 0);
        }
        EXPECT_TRUE(Memo.empty());
    }
    // A relative name is shown with its full path.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    try {
        Punkte = Polarauswertung("sub/../nothing.dat", Memo, meldung).Punkte;
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 6 + dir.string().size() + 13),
                  "Datei " + dir.string() + "/nothing.dat ");
    }
    fs::current_path(cwd);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PolarauswertungTest, InputIsNeverOverwritten) {
    const auto k = SphereLines("K1", 30, 14, 98, 3);
    for (const char* name : {"obs.TXT", "obs.LST"}) {
        input = dir / name;
        const std::string content = WithEnds(k);
        std::ofstream(input, std::ios::binary) << content;
        const fs::path other = Out(std::string(name).ends_with("TXT") ? "LST" : "TXT");
        try {
            Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
            ADD_FAILURE() << "input " << name << " overwritten";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Datei \"" + input.string() + "\" kann nicht erstellt werden. Die Eingabedatei würde überschrieben");
            EXPECT_EQ(ErrorBoxText(e.what()).back(), '.');
        }
        EXPECT_EQ(ReadBytes(input), content);
        EXPECT_FALSE(fs::exists(other)) << other;
        EXPECT_TRUE(messages.empty());
        fs::remove(input);
    }
    // The same file reached by another spelling of its path.
    fs::create_directories(dir / "sub");
    input = dir / "obs.TXT";
    std::ofstream(input, std::ios::binary) << WithEnds(k);
    EXPECT_THROW(Polarauswertung((dir / "sub" / ".." / "obs.TXT").string(), Memo, meldung), EInOutError);
    EXPECT_EQ(ReadBytes(input), WithEnds(k));
}

TEST_F(PolarauswertungTest, OutputsAreReplacedTogetherOrNotAtAll) {
    // When one output cannot be written (a folder of its name, a write-protected old file),
    // neither old output is replaced, no new file is left behind, and the error names the file.
    struct Fall {
        const char* blockiert;  // the output that cannot be written
        bool ordner;            // blocked by a folder of its name (otherwise write-protected)
    };
    const auto k = SphereLines("K1", 30, 14, 98, 3);
    for (const Fall f : {Fall{"TXT", true}, Fall{"LST", true}, Fall{"LST", false}, Fall{"TXT", false}}) {
        SCOPED_TRACE(std::string(f.blockiert) + (f.ordner ? " folder" : " protected"));
        test::TempFolder work;
        input = work.Path() / "obs.dat";
        std::ofstream(input, std::ios::binary) << WithEnds(k);
        for (const char* ext : {"TXT", "LST"})
            if (!f.ordner || std::string(ext) != f.blockiert) work.Write(std::string("obs.") + ext, std::string("alt ") + ext);
        const fs::path blocked = Out(f.blockiert);
        if (f.ordner) fs::create_directories(blocked);
        else fs::permissions(blocked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
        try {
            Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            const std::string prefix = "Datei \"" + blocked.string() + "\" kann nicht erstellt werden. ";
            EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
            EXPECT_GT(std::string(e.what()).size(), prefix.size());  // with the system's reason
        }
        EXPECT_EQ(ReadBytes(input), WithEnds(k));
        for (const char* ext : {"TXT", "LST"}) {
            if (!f.ordner || std::string(ext) != f.blockiert) {
                EXPECT_EQ(ReadBytes(Out(ext)), std::string("alt ") + ext) << ext;
            }
        }
        // The input and the two outputs (or the folder): no temporary file left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(work.Path()), fs::directory_iterator()), 3);
    }
}

TEST_F(PolarauswertungTest, OutputsLieBesideTheInputUnderItsNameWithoutTheEnding) {
    struct Fall {
        const char* eingabe;
        const char* basis;
    };
    for (const Fall f : {Fall{"in/ab", "in/ab."}, Fall{"abc", "abc."}, Fall{"Messung.dat", "Messung."},
                         Fall{"Messung.äbc", "Messung."}, Fall{"x/y.z/Messung.äbc", "x/y.z/Messung."},
                         Fall{"a/b.dat", "a/b."}, Fall{"a/bcd", "a/bcd."}, Fall{"a/bcde", "a/b"}, Fall{"äöü", "äöü."}})
        EXPECT_EQ(AusgabeBasis(f.eingabe), f.basis) << f.eingabe;

    // A short name in a folder: the outputs stay in that folder.
    fs::create_directories(dir / "in");
    input = dir / "in" / "ab";
    std::ofstream(input, std::ios::binary) << WithEnds(SphereLines("K1", 30, 14, 98, 3));
    Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
    EXPECT_TRUE(fs::exists(dir / "in" / "ab.TXT"));
    EXPECT_TRUE(fs::exists(dir / "in" / "ab.LST"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PolarauswertungTest, OutputFolderGoneWhileAMessageIsShownNamesTheReason) {
    // While the message of a failed sphere is open, the folder is removed or replaced by a file.
    struct Case {
        bool replaceByFile;
        int err;
    } cases[] = {{false, ENOENT}, {true, ENOTDIR}};
    for (const auto& c : cases) {
        const fs::path work = dir / "work";
        fs::create_directories(work);
        input = work / "obs.dat";
        std::ofstream(input, std::ios::binary) << WithEnds({"E 1 2 3 0", "E 1 2 3 0", "E 1 2 3 0"});
        const TMeldungMitOrt pullFolder = [&](const std::string&, const TOrt&) {
            fs::remove_all(work);
            if (c.replaceByFile) std::ofstream(work) << "x";
        };
        try {
            Punkte = Polarauswertung(input.string(), Memo, pullFolder).Punkte;
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), "Datei \"" + (work / "obs.TXT").string() +
                                                 "\" kann nicht erstellt werden. " + SystemReasonText(c.err));
        }
        fs::remove_all(work);
    }
}

// ---------------------------------------------------------------------------------------------
// End to end: spheres of the reflector radius observed without noise

struct TrueSphere {
    std::string name;
    long double ri, s, zd;  // centre as seen from the station (gon, metres, gon)
    int pointings;
};

// Parses a centre line back into the centre's coordinates (metres).
Vec ParseCentre(const std::string& line, std::string& name) {
    std::istringstream in(line);
    long double ri, s, zd;
    in >> name >> ri >> s >> zd;
    return FromPolar(ri, s, zd);
}

long double Distance(const Vec& a, const Vec& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

std::vector<TrueSphere> RandomSpheres(int count, unsigned seed) {
    std::vector<TrueSphere> spheres;
    unsigned state = seed;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0L;  // [0, 1)
    };
    for (int i = 0; i < count; ++i)
        spheres.push_back({"S" + std::to_string(i + 1), 400 * next(), 10 + 70 * next(), 80 + 30 * next(),
                           4 + static_cast<int>(5 * next())});
    return spheres;
}

TEST_F(PolarauswertungTest, CentresOfNoiselessSpheresAreFoundWithinAHundredthOfAMillimetre) {
    // Centres at whole units of the centre line's last decimals: the line itself then carries the
    // centre without rounding.
    const std::vector<TrueSphere> spheres = {{"A1", 12.3456L, 10.250L, 99.8765L, 4}, {"A2", 187.6543L, 24.125L, 97.0001L, 5},
                                             {"A3", 250.0001L, 41.999L, 103.3333L, 6}, {"A4", 399.9999L, 63.007L, 92.5L, 7},
                                             {"A5", 0.0001L, 79.999L, 101.0L, 8}};
    std::vector<std::string> lines = {"STAND 0 0 0 0"};
    for (const auto& s : spheres) {
        const auto l = SphereLines(s.name, s.ri, s.s, s.zd, s.pointings, "code");
        lines.insert(lines.end(), l.begin(), l.end());
        lines.push_back("SOLO 1 2 3 4");
    }
    Run(lines);
    EXPECT_TRUE(messages.empty());
    const auto centres = CentreLines();
    ASSERT_EQ(centres.size(), spheres.size());
    for (std::size_t i = 0; i < spheres.size(); ++i) {
        std::string name;
        const Vec found = ParseCentre(centres[i], name);
        EXPECT_EQ(name, spheres[i].name);
        EXPECT_LT(Distance(found, FromPolar(spheres[i].ri, spheres[i].s, spheres[i].zd)), 1e-5L) << centres[i];
        EXPECT_TRUE(centres[i].ends_with(" 0.00 code")) << centres[i];
    }
}

TEST_F(PolarauswertungTest, CentreLinesOfRandomSpheresAreTheRoundedTrueCentres) {
    const auto spheres = RandomSpheres(12, 20240611u);
    long double worstText = 0;
    for (const auto& s : spheres) {
        // The solver's centre itself, sphere by sphere.
        Run(SphereLines(s.name, s.ri, s.s, s.zd, s.pointings));
        ASSERT_EQ(CentreLines().size(), 1u) << s.name;
        const Vec truth = FromPolar(s.ri, s.s, s.zd);
        EXPECT_LT(Distance({Punkte[0].X, Punkte[0].Y, Punkte[0].Z}, truth), 1e-5L) << s.name;

        // The centre line holds the true values, correctly rounded.
        char expected[128];
        std::snprintf(expected, sizeof expected, "%s  %10.4Lf  %10.3Lf  %10.4Lf     0.00 ", s.name.c_str(), s.ri, s.s, s.zd);
        EXPECT_EQ(CentreLines()[0], expected);
        std::string name;
        worstText = std::max(worstText, Distance(ParseCentre(CentreLines()[0], name), truth));
    }
    // Rounding to 4 decimals of a gon and to millimetres: at most half a millimetre in distance
    // and 0.00005 gon (0.06 mm at 80 m) across.
    EXPECT_LT(worstText, 0.00055L);
    RecordProperty("worst_centre_line_error_mm", std::to_string(static_cast<double>(worstText) * 1000));
    std::printf("worst centre line error: %.4f mm\n", static_cast<double>(worstText) * 1000);
}

// A long path keeps its outputs beside the input, whatever its length.
TEST_F(PolarauswertungTest, OutputsOfALongPathLieBesideTheInput) {
    fs::path folder = dir;
    for (int i = 0; i < 6; ++i) folder /= std::string(50, static_cast<char>('a' + i));
    fs::create_directories(folder);
    const auto k1 = SphereLines("K1", 50, 10, 95, 3);
    input = folder / "beobachtungen.dat";
    ASSERT_GT(input.string().size(), 300u);
    std::ofstream(input, std::ios::binary) << WithEnds(k1);
    Punkte = Polarauswertung(input.string(), Memo, meldung).Punkte;
    EXPECT_TRUE(fs::exists(folder / "beobachtungen.TXT"));
    EXPECT_TRUE(fs::exists(folder / "beobachtungen.LST"));
    EXPECT_EQ(CentreLines().size(), 1u);
}

}  // namespace
}  // namespace zentrix

namespace zentrix {
namespace {

// Evaluated a batch at a time on all cores, a day's file gives exactly what one thread evaluating
// one sphere after the other gives: marked lines, report, messages and results in the same order.
TEST(SucheKugeln, BatchesOnAllCoresGiveWhatOneThreadGives) {
    std::vector<std::string> lines;
    unsigned state = 99;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0L;
    };
    for (int k = 0; k < 3000; ++k) {
        const std::string name = std::string("K").append(std::to_string(k));
        auto kugel = SphereLines(name, 400 * next(), 10 + 70 * next(), 90 + 20 * next(), 3 + static_cast<int>(5 * next()));
        if (k % 7 == 3) kugel[1] = name + " 1,5x 2 3 0.0725";  // a field that is no number
        if (k % 11 == 5) kugel.back() += "9";                  // a wrong radius: the sphere fails
        lines.insert(lines.end(), kugel.begin(), kugel.end());
        if (k % 13 == 0) lines.insert(lines.end(), {"*" + name + " 1 2 3 4", "*" + name + " 1 2 3 4"});
        if (k % 5 == 0) lines.push_back("TP 1 2 3 4");
    }
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    struct Lauf {
        std::string marked, liste;
        TMemoLines memo;
        std::vector<std::string> meldungen;
        std::vector<KugelErgebnis> ergebnisse;
    };
    ASSERT_GT(text.size(), 64u << 10);  // long enough to go to the executor
    TAusfuehrer einKern(1);  // no thread beside the caller
    auto lauf = [&text](std::size_t stapel, TAusfuehrer* ausfuehrer) {
        Lauf l;
        const TKugelsuche k = SucheKugeln(
            text, l.memo, [&l](const std::string& m, const TOrt&) { l.meldungen.push_back(m); }, false,
            {[&l](std::string_view z) { l.marked += z; }, [&l](std::string_view z) { l.liste += z; }}, stapel, {},
            ausfuehrer);
        l.ergebnisse = k.Ergebnisse;
        return l;
    };
    const Lauf einzeln = lauf(1, &einKern);
    for (const std::size_t stapel : {std::size_t{128}, std::size_t{2048}}) {
        const Lauf stapelweise = lauf(stapel, nullptr);
        EXPECT_EQ(stapelweise.marked, einzeln.marked);
        EXPECT_EQ(stapelweise.memo, einzeln.memo);
        EXPECT_EQ(stapelweise.liste, einzeln.liste);
        EXPECT_EQ(stapelweise.meldungen, einzeln.meldungen);
        EXPECT_EQ(stapelweise.ergebnisse, einzeln.ergebnisse);
    }
    EXPECT_GT(einzeln.meldungen.size(), 600u);
}

}  // namespace
}  // namespace zentrix

namespace zentrix {

// The summary line: failures, unsicher centres, and how many failures "Iterieren" computes to a
// centre that is not unsicher, in singular or plural.
TEST(KugelZusammenfassung, CountsFailuresAndUnsicherCentres) {
    auto kugel = [](KugelErgebnis e, bool unsicher, bool mitIterieren) {
        TKugelEintrag k;
        k.Ergebnis = e;
        k.Unsicher = unsicher;
        k.MitIterieren = mitIterieren;
        return k;
    };
    const TKugelEintrag ok = kugel(KugelErgebnis::Ok, false, false), unsicher = kugel(KugelErgebnis::Ok, true, false),
                        fehl = kugel(KugelErgebnis::RadiusZuKlein, false, false),
                        gelingt = kugel(KugelErgebnis::RadiusZuKlein, false, true);
    const struct {
        TKugelListe kugeln;
        bool iterativ;
        const char* text;
    } faelle[] = {
        {{ok, ok}, false, "Polarauswertung: 2 Kugeln ausgewertet, 0 fehlgeschlagen"},
        {{ok, unsicher}, true, "Polarauswertung: 2 Kugeln ausgewertet, 0 fehlgeschlagen, 1 unsicher"},
        {{ok, fehl, gelingt}, false,
         "Polarauswertung: 3 Kugeln ausgewertet, 2 fehlgeschlagen – mit „Iterieren“ gelingt 1 davon"},
        {{unsicher, fehl, gelingt, gelingt}, false,
         "Polarauswertung: 4 Kugeln ausgewertet, 3 fehlgeschlagen, 1 unsicher – mit „Iterieren“ gelingen 2 davon"},
        {{fehl}, false, "Polarauswertung: 1 Kugeln ausgewertet, 1 fehlgeschlagen – mit „Iterieren“ gelingen 0 davon"},
    };
    for (const auto& f : faelle) EXPECT_EQ(KugelZusammenfassung(f.kugeln, f.iterativ), f.text);
    // The overview's word and the CSV's column.
    EXPECT_EQ(KugelZelle(unsicher, TKugelSpalte::Ergebnis), "unsicher");
    EXPECT_EQ(KugelZelle(unsicher, TKugelSpalte::Unsicher), "ja");
    EXPECT_EQ(KugelZelle(ok, TKugelSpalte::Unsicher), "nein");
    EXPECT_EQ(KugelZelle(fehl, TKugelSpalte::Unsicher), "");
    EXPECT_TRUE(KugelGezeigt(unsicher, TKugelFilter::FehlschlaegeUndUnsichere));
    EXPECT_FALSE(KugelGezeigt(unsicher, TKugelFilter::Fehlschlaege));
}

}  // namespace zentrix
