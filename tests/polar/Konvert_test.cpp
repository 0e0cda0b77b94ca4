// "Konvert": observations "Nr Ri Zd S R" (gon, gon, metres, metres) into "Nr X Y Z R" from the
// station at (100, 100, 100).
#include "polar/Konvert.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "Hilfen.hpp"
#include "core/Fehler.hpp"
#include "core/Ort.hpp"
#include "textio/Ablage.hpp"

using namespace zentrix;
namespace fs = std::filesystem;

namespace {

class KonvertTest : public testing::Test {
protected:
    void Input(const std::string& bytes) { folder_.Write("test2.beb", bytes); }
    std::string Output() const { return test::ReadBytes(dir_ / "test2.Kor"); }
    bool OutputExists() const { return fs::exists(dir_ / "test2.Kor"); }
    // Runs the conversion and gives the I/O code it raised (0: none); the records written in
    // geschrieben_.
    int Run() {
        try {
            geschrieben_ = Konvert(dir_.string());
        } catch (const EInOutError& e) {
            return e.Code;
        }
        return 0;
    }

    test::TempFolder folder_;
    fs::path dir_ = folder_.Path();
    std::size_t geschrieben_ = 0;
};

// The line of one converted observation, as the coordinate file holds it.
const std::string kLine1 = "    1      107.071      107.071      100.000      0.050\r\n";

}  // namespace

TEST_F(KonvertTest, ObservationsToCoordinates) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // 50 gon, horizontal, 10 m: X = Y = 100 + 10 cos(pi/4).
        {"1 50 100 10 0.05\r\n", kLine1},
        // Zenith distance 0: straight up.
        {"2 0 0 5 0.1\r\n", "    2      100.000      100.000      105.000      0.100\r\n"},
        // Direction 100 gon, horizontal: along +Y.
        {"3 100 100 7 2\r\n", "    3      100.000      107.000      100.000      2.000\r\n"},
        // Six digits widen the first column.
        {"123456 0 0 1 0.05\r\n", "123456      100.000      100.000      101.000      0.050\r\n"},
        // Tabs, a record split over two lines, no line end at the end.
        {"1\t50\t100\n10\t0.05 rest\n2 0 0 5 0.1",
         kLine1 + "    2      100.000      100.000      105.000      0.100\r\n"},
        // Blanks and empty lines after the last record are no further record.
        {"1 50 100 10 0.05\r\n\r\n  \r\n", kLine1},
        // A Ctrl-Z ends the file.
        {"1 50 100 10 0.05\r\n\x1a" "2 0 0 5 0.1\r\n", kLine1},
        {"", ""},
    };
    for (const auto& [input, expected] : cases) {
        Input(input);
        EXPECT_EQ(Run(), 0) << testing::PrintToString(input);
        EXPECT_EQ(Output(), expected) << testing::PrintToString(input);
        // One line a record written.
        EXPECT_EQ(geschrieben_, static_cast<std::size_t>(std::count(expected.begin(), expected.end(), '\n')))
            << testing::PrintToString(input);
    }
}

TEST_F(KonvertTest, MissingInputCreatesNoOutput) {
    EXPECT_EQ(Run(), 2);
    EXPECT_FALSE(OutputExists());
}

TEST_F(KonvertTest, MissingDirectory) {
    try {
        Konvert((dir_ / "fehlt").string());
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Code, 3);
        EXPECT_STREQ(e.what(), "Ungültiger Dateiname");
        EXPECT_EQ(OrtText(e.Ort), "Der Ordner " + (dir_ / "fehlt").string() + " existiert nicht");
    }
}

TEST_F(KonvertTest, WriteProtectedOutputStaysAsItWas) {
    Input("1 50 100 10 0.05\r\n");
    {
        std::ofstream out(dir_ / "test2.Kor", std::ios::binary);
        out << "alt\r\n";
    }
    fs::permissions(dir_ / "test2.Kor", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(Run(), 5);
    EXPECT_EQ(Output(), "alt\r\n");
}

TEST_F(KonvertTest, FailureKeepsAnExistingFileOrElseTheLinesConvertedBefore) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"1 50 100 10 0.05\r\n2 1,5 100 10 0.05\r\n3 0 0 5 0.1\r\n", 106},  // decimal comma
        {"1 50 100 10 0.05\r\nP2 0 0 5 0.1\r\n", 106},                    // a name for the number
        {"1 50 100 10 0.05\r\n2.0 0 0 5 0.1\r\n", 106},                   // a point in the number
        {"1 50 100 10 0.05\r\n2 0 0\r\n", 100},                            // cut short by the end
    };
    for (const auto& [input, code] : cases) {
        for (const std::string alt : {"", "    7      100.000      100.000      105.000      0.100\r\n"}) {
            fs::remove(dir_ / "test2.Kor");
            if (!alt.empty()) folder_.Write("test2.Kor", alt);
            Input(input);
            EXPECT_EQ(Run(), code) << testing::PrintToString(input);
            EXPECT_EQ(Output(), alt.empty() ? kLine1 : alt) << testing::PrintToString(input);
        }
    }
}

TEST_F(KonvertTest, DistanceBeyondADoubleIsOverflow) {
    Input("1 50 100 10 0.05\r\n2 0 0 1e400 0.1\r\n");
    try {
        Konvert(dir_.string());
        ADD_FAILURE() << "no error";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommaüberlauf");
    }
    EXPECT_EQ(Output(), kLine1);
}

TEST_F(KonvertTest, AFullDiskIsSaidAsSuchAndLeavesNothing) {
    Input("1 50 100 10 0.05\r\n");
    AblageTestHaken = [](TAblagePunkt punkt, int) { return punkt == TAblagePunkt::Schreiben ? ENOSPC : 0; };
    try {
        Konvert(dir_.string());
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(ErrorBoxText(e.what()), "Zu wenig Speicherplatz.");
    }
    AblageTestHaken = nullptr;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // test2.beb alone
}
