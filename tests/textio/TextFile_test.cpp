// Token reading from coordinate and observation files, and whole-file writing.
#include "textio/TextFile.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Hilfen.hpp"
#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"

using namespace zentrix;
namespace fs = std::filesystem;

namespace {

using test::ReadBytes;
using test::TempFolder;

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void WriteProtect(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

TTextReader ReaderOf(const std::string& text) {
    TTextReader r;
    r.OpenText(text);
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Records

TEST(TextReader, RecordLineWithCrLf) {
    TTextReader r = ReaderOf("7 10.5 98.2 12.5 0.05\r\n8 1 2 3 4 rest\r\n");
    EXPECT_EQ(r.ReadIntegerToken(), 7);
    EXPECT_EQ(r.ReadRealToken(), 10.5);
    EXPECT_EQ(r.ReadRealToken(), 98.2);
    EXPECT_EQ(r.ReadRealToken(), 12.5);
    EXPECT_EQ(r.ReadRealToken(), 0.05);
    r.SkipLine();
    EXPECT_EQ(r.IOResult(), 0);
    EXPECT_FALSE(r.AtEndOfText());
    EXPECT_EQ(r.ReadIntegerToken(), 8);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(r.ReadRealToken(), i);
    r.SkipLine();  // discards "rest"
    EXPECT_TRUE(r.AtEndOfText());
    EXPECT_EQ(r.IOResult(), 0);
}

TEST(TextReader, TabsAndSplitRecords) {
    TTextReader r = ReaderOf("1\t50\t100\n10\t0.05 99 98\n2 0 0 5 0.1");
    EXPECT_EQ(r.ReadIntegerToken(), 1);
    EXPECT_EQ(r.ReadRealToken(), 50);
    EXPECT_EQ(r.ReadRealToken(), 100);
    EXPECT_EQ(r.ReadRealToken(), 10);  // the record goes on on the next line
    EXPECT_EQ(r.ReadRealToken(), 0.05);
    r.SkipLine();  // the rest of that line ("99 98") is dropped
    EXPECT_EQ(r.ReadIntegerToken(), 2);
    EXPECT_EQ(r.IOResult(), 0);
}

TEST(TextReader, CrAloneDoesNotEndTheLineForSkipLine) {
    TTextReader r = ReaderOf("1 2\r3 4\n5");
    EXPECT_EQ(r.ReadIntegerToken(), 1);
    r.SkipLine();
    EXPECT_EQ(r.ReadIntegerToken(), 5);
}

TEST(TextReader, CtrlZEndsTheData) {
    TTextReader r = ReaderOf("1 2 3 4 5\r\n\x1a" "2 3 4 5 6\r\n");
    EXPECT_EQ(r.ReadIntegerToken(), 1);
    r.SkipLine();
    EXPECT_TRUE(r.AtEndOfText());
    TTextReader mid = ReaderOf("12\x1a" "34");
    EXPECT_EQ(mid.ReadIntegerToken(), 12);
    EXPECT_TRUE(mid.AtEndOfText());
}

TEST(TextReader, BlanksAfterTheLastRecordAreNoRecord) {
    for (const char* tail : {"\r\n", "\r\n\r\n", "\r\n   \r\n\t\n", "   ", ""}) {
        TTextReader r = ReaderOf(std::string("1 2 3 4 5") + tail);
        ASSERT_FALSE(r.AtEndOfText());
        EXPECT_EQ(r.ReadIntegerToken(), 1);
        for (int i = 0; i < 4; ++i) r.ReadRealToken();
        r.SkipLine();
        EXPECT_TRUE(r.AtEndOfText()) << "tail " << testing::PrintToString(std::string(tail));
        EXPECT_EQ(r.IOResult(), 0);
    }
    TTextReader empty = ReaderOf(" \r\n");
    EXPECT_TRUE(empty.AtEndOfText());
}

TEST(TextReader, RecordCutShortByTheEndIsError100) {
    TTextReader r = ReaderOf("1 2 3");
    EXPECT_EQ(r.ReadIntegerToken(), 1);
    EXPECT_EQ(r.ReadRealToken(), 2);
    EXPECT_EQ(r.ReadRealToken(), 3);
    EXPECT_EQ(r.ReadRealToken(), 0);
    EXPECT_EQ(r.ReadRealToken(), 0);
    r.SkipLine();  // at the end: no error of its own
    try {
        r.CheckIO();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Code, 100);
        EXPECT_STREQ(e.what(), "Versuch hinter dem Dateiende zu lesen");
    }
    r.CheckIO();  // cleared
}

TEST(TextReader, ErrorIsRaisedAfterTheStatementAndTheFirstWins) {
    TTextReader r = ReaderOf("7 12,5 abc 1 2\r\n8 1 2 3 4\r\n");
    EXPECT_EQ(r.ReadIntegerToken(), 7);
    EXPECT_EQ(r.ReadRealToken(), 0);  // 12,5: 106
    EXPECT_EQ(r.ReadRealToken(), 0);  // abc
    EXPECT_EQ(r.ReadRealToken(), 1);  // later fields are still taken
    EXPECT_EQ(r.ReadRealToken(), 2);
    r.SkipLine();
    EXPECT_THROW(r.CheckIO(), EInOutError);
    EXPECT_EQ(r.ReadIntegerToken(), 8);
    EXPECT_EQ(r.IOResult(), 0);

    TTextReader cut = ReaderOf("1 x");
    cut.ReadIntegerToken();
    cut.ReadRealToken();  // 106
    cut.ReadRealToken();  // the end: 100, but 106 came first
    EXPECT_EQ(cut.IOResult(), 106);
    EXPECT_EQ(cut.IOResult(), 0);
}

// ---------------------------------------------------------------------------------------------
// Token forms

TEST(TextReader, IntegerTokens) {
    const std::vector<std::pair<const char*, std::int32_t>> good = {
        {"007", 7},          {"+17", 17},          {"-17", -17},        {"$FF", 255},
        {"x1f", 31},         {"X10", 16},          {"0x7FFFFFFF", 2147483647},
        {"0XFFFFFFFF", -1},  {"-$10", -16},        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},          {"0", 0},
    };
    for (const auto& [text, value] : good) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadIntegerToken(), value) << text;
        EXPECT_EQ(r.IOResult(), 0) << text;
    }
    for (const char* text : {"2147483648", "-2147483649", "7.0", "P1", "+", "-", "$", "0x", "$123456789",
                             "12a", "$G", "1e3", "--1"}) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadIntegerToken(), 0) << text;
        EXPECT_EQ(r.IOResult(), 106) << text;
    }
}

TEST(TextReader, UnsignedTokensKeepTheLowest32Bits) {
    const std::vector<std::pair<const char*, std::uint32_t>> good = {
        {"17", 17u},
        {"-1", 4294967295u},
        {"4294967296", 0u},
        {"4294967297", 1u},
        {"9223372036854775807", 0xFFFFFFFFu},
        {"-9223372036854775808", 0u},
        {"$FFFFFFFFFFFFFFFF", 0xFFFFFFFFu},
        {"x100000001", 1u},
    };
    for (const auto& [text, value] : good) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadUnsignedToken(), value) << text;
        EXPECT_EQ(r.IOResult(), 0) << text;
    }
    for (const char* text : {"9223372036854775808", "-9223372036854775809", "$1FFFFFFFFFFFFFFFF", "1.5"}) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadUnsignedToken(), 0u) << text;
        EXPECT_EQ(r.IOResult(), 106) << text;
    }
}

TEST(TextReader, RealTokens) {
    const std::vector<std::pair<const char*, double>> good = {
        {".", 0.0},   {"5.", 5.0},      {".5", 0.5},       {"-.5E1", -5.0}, {"1e3", 1000.0},
        {"1E+3", 1000.0}, {"1e-3", 0.001}, {"+2", 2.0},     {"98.2", 98.2},  {"1e-5000", 0.0},
    };
    for (const auto& [text, value] : good) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadRealToken(), value) << text;
        EXPECT_EQ(r.IOResult(), 0) << text;
    }
    for (const char* text : {"12,5", "1.2.3", "1e", "1e+", "+", "-", "e5", "1x", "1.5d", "1e5000"}) {
        TTextReader r = ReaderOf(text);
        EXPECT_EQ(r.ReadRealToken(), 0.0) << text;
        EXPECT_EQ(r.IOResult(), 106) << text;
    }
}

TEST(TextReader, RealBeyondADoubleRaisesOverflow) {
    TTextReader r = ReaderOf("1 1e400 2\n");
    r.ReadIntegerToken();
    r.ReadRealToken();
    EXPECT_EQ(r.ReadRealToken(), 2.0);
    r.SkipLine();
    try {
        r.CheckIO();
        ADD_FAILURE() << "no error";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommaüberlauf");
    }
}

TEST(TextReader, AFieldLongerThanItsKindAllowsIsNoNumber) {
    // 32 characters for an integer, 64 for a real; a longer run is one field and no number (code
    // 106), never cut into two. The reads after it go on with the next field.
    struct Fall {
        std::string text;
        bool real;
        int code;
    };
    const std::vector<Fall> faelle = {
        {std::string(32, '0') + " 7", false, 0},
        {std::string(33, '0') + " 7", false, 106},
        {"0." + std::string(62, '0') + " 7", true, 0},
        {"10.468" + std::string(100, '0') + " 7", true, 106},
    };
    for (const Fall& f : faelle) {
        TTextReader r = ReaderOf(f.text);
        EXPECT_EQ(f.real ? r.ReadRealToken() : r.ReadIntegerToken(), 0) << f.text;
        EXPECT_EQ(r.ReadRealToken(), 7.0) << f.text;
        EXPECT_EQ(r.IOResult(), f.code) << f.text;
    }
}

// ---------------------------------------------------------------------------------------------
// Files

TEST(TextReader, OpenFailures) {
    TempFolder t;
    fs::create_directory(t.Path() / "sub");
    const std::vector<std::pair<std::string, int>> cases = {
        {t.File("fehlt.beb"), 2},
        {t.File("kein/ordner.beb"), 3},
        {"", 3},
        {t.File("sub"), SystemFehlerBasis + EISDIR},  // "Der Pfad bezeichnet einen Ordner"
    };
    for (const auto& [path, code] : cases) {
        TTextReader r;
        r.Open(path);
        EXPECT_FALSE(r.IsOpen()) << path;
        EXPECT_EQ(r.IOResult(), code) << path;
    }
    TTextReader r;
    r.Open(t.File("fehlt.beb"));
    try {
        r.CheckIO();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Code, 2);
        EXPECT_STREQ(e.what(), "Datei nicht gefunden");
    }
}

TEST(TextWriter, WritesCrLfLinesWholeOnClose) {
    TempFolder t;
    const std::string target = t.File("test2.Kor");
    WriteBytes(target, "old content that is longer than the new one\r\n");
    TTextWriter w;
    w.Create(target);
    ASSERT_TRUE(w.IsOpen());
    w.WriteLine("a");
    w.WriteLine("");
    w.WriteLine("b");
    EXPECT_EQ(ReadBytes(target), "old content that is longer than the new one\r\n");  // not yet
    w.Close();
    EXPECT_EQ(w.IOResult(), 0);
    EXPECT_EQ(ReadBytes(target), "a\r\n\r\nb\r\n");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(t.Path()), fs::directory_iterator()), 1);
}

TEST(TextWriter, CreateFailures) {
    TempFolder t;
    fs::create_directory(t.Path() / "sub");
    fs::create_directory(t.Path() / "zu");
    WriteBytes(t.File("geschuetzt.Kor"), "bleibt\r\n");
    WriteProtect(t.File("geschuetzt.Kor"));
    WriteProtect(t.File("zu"));
    const std::vector<std::pair<std::string, int>> cases = {
        {t.File("kein/test2.Kor"), 3},
        {"", 3},
        {t.File("sub"), 5},
        {t.File("geschuetzt.Kor"), 5},
        {t.File("zu/test2.Kor"), 5},
    };
    for (const auto& [path, code] : cases) {
        TTextWriter w;
        w.Create(path);
        EXPECT_FALSE(w.IsOpen()) << path;
        w.WriteLine("x");
        w.Close();
        EXPECT_EQ(w.IOResult(), code) << path;
    }
    EXPECT_EQ(ReadBytes(t.File("geschuetzt.Kor")), "bleibt\r\n");
    EXPECT_TRUE(fs::is_empty(t.Path() / "zu"));
}

TEST(TextWriter, TargetProtectedAfterCreateStaysUntouched) {
    TempFolder t;
    const std::string target = t.File("test2.Kor");
    WriteBytes(target, "alt\r\n");
    TTextWriter w;
    w.Create(target);
    ASSERT_TRUE(w.IsOpen());
    w.WriteLine("neu");
    WriteProtect(target);
    w.Close();
    EXPECT_THROW(w.CheckIO(), EInOutError);
    EXPECT_EQ(ReadBytes(target), "alt\r\n");
}

TEST(LoadLines, LineEnds) {
    TempFolder t;
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"x y\t1,5", {"x y\t1,5"}},
    };
    for (const auto& [bytes, expected] : cases) {
        WriteBytes(t.File("l.txt"), bytes);
        std::vector<std::string> lines = {"vorher"};
        EXPECT_EQ(LoadLines(t.File("l.txt"), lines), 0);
        EXPECT_EQ(lines, expected) << testing::PrintToString(bytes);
    }
}

TEST(LoadLines, FailuresLeaveTheLinesAndGiveAReason) {
    TempFolder t;
    std::vector<std::string> lines = {"vorher"};
    std::string reason;
    EXPECT_EQ(LoadLines(t.File("fehlt.txt"), lines, &reason), 2);
    EXPECT_EQ(reason, "Die Datei oder der Ordner existiert nicht");
    EXPECT_EQ(LoadLines(t.File("kein/x.txt"), lines), 3);
    EXPECT_EQ(LoadLines(t.Path().string(), lines, &reason), SystemFehlerBasis + EISDIR);
    EXPECT_EQ(reason, "Der Pfad bezeichnet einen Ordner");
    EXPECT_EQ(lines, std::vector<std::string>{"vorher"});
}

TEST(LoadText, OnlyTextInRegularFilesIsRead) {
    // A UTF-8 byte-order mark is dropped; UTF-16 or UTF-32, NUL bytes in the first 64 KB, a pipe
    // without a writer and a device are refused at once with a text of their own.
    TempFolder t;
    struct Fall {
        const char* was;
        std::string inhalt;
        int code;
        const char* text;  // what is read
    };
    const std::vector<Fall> faelle = {
        {"UTF-8 mark", "\xEF\xBB\xBF" "1 2 3 4 5\r\n", 0, "1 2 3 4 5\r\n"},
        {"UTF-16 LE", std::string("\xFF\xFE" "1\0 \0", 6), ea::KeineTextdatei, ""},
        {"UTF-16 BE", std::string("\xFE\xFF\0" "1", 4), ea::KeineTextdatei, ""},
        {"UTF-32 LE", std::string("\xFF\xFE\0\0" "1\0\0\0", 8), ea::KeineTextdatei, ""},
        {"UTF-32 BE", std::string("\0\0\xFE\xFF\0\0\0" "1", 8), ea::KeineTextdatei, ""},
        {"NUL early", "1 2 3" + std::string(1, '\0') + "4 5", ea::KeineTextdatei, ""},
        {"NUL after 64 KB", std::string(70000, ' ') + std::string(1, '\0'), 0, nullptr},
    };
    for (const Fall& f : faelle) {
        WriteBytes(t.File("d.txt"), f.inhalt);
        std::string text, reason;
        EXPECT_EQ(LoadText(t.File("d.txt"), text, &reason), f.code) << f.was;
        if (f.code == 0 && f.text != nullptr) {
            EXPECT_EQ(text, f.text) << f.was;
        } else if (f.code != 0) {
            EXPECT_EQ(reason, "Keine Textdatei (UTF-16, UTF-32 oder Nullbytes)") << f.was;
        }
    }
    ASSERT_EQ(::mkfifo(t.File("rohr").c_str(), 0600), 0);
    for (const std::string& pfad : {t.File("rohr"), std::string("/dev/null")}) {
        std::string text, reason;
        EXPECT_EQ(LoadText(pfad, text, &reason), ea::KeineGewoehnlicheDatei) << pfad;
        EXPECT_EQ(reason, "Keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket)");
    }
}

TEST(TextReader, AnErrorNamesItsFileLineFieldAndText) {
    // LF ends a line (CR LF too); a lone CR does not. The field is counted within the statement.
    TempFolder t;
    struct Fall {
        const char* inhalt;
        long long zeile;
        int feld;
        const char* text;
    };
    const std::vector<Fall> faelle = {
        {"1 2 3 4 5\n6 7 x 9 10\n", 2, 3, "x"},
        {"1 2 3 4 5\r\n6 7 8 9 1,5\r\n", 2, 5, "1,5"},
        {"1 2 3 4 5\n6 7\r8 9 x\n", 2, 5, "x"},         // the lone CR is inside the line
        {"1 2 3 4 5\n6 7 8", 2, 4, ""},                 // the file ends in the record: field 4 is missing
        {"1 2 3 4 5\n\n\nP7 1 2 3 4", 4, 1, "P7"},      // the last line without its end
    };
    for (const Fall& f : faelle) {
        WriteBytes(t.File("k.kor"), f.inhalt);
        TTextReader r;
        r.Open(t.File("k.kor"));
        r.CheckIO();
        try {
            for (int satz = 0; satz < 2; ++satz) {
                r.AtEndOfText();
                r.CheckIO();
                r.ReadUnsignedToken();
                for (int k = 0; k < 4; ++k) r.ReadRealToken();
                r.SkipLine();
                r.CheckIO();
            }
            ADD_FAILURE() << "no error: " << f.inhalt;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Ort.Datei, t.File("k.kor")) << f.inhalt;
            EXPECT_EQ(e.Ort.Zeile, f.zeile) << f.inhalt;
            EXPECT_EQ(e.Ort.Feld, f.feld) << f.inhalt;
            EXPECT_EQ(e.Ort.Text, f.text) << f.inhalt;
        }
    }
}

TEST(SaveLines, WholeFileAndFailures) {
    TempFolder t;
    const std::string target = t.File("liste.LST");
    std::string reason;
    EXPECT_EQ(SaveLines(target, {"Zeile 1", "Höhe"}, &reason), 0);
    EXPECT_EQ(ReadBytes(target), "Zeile 1\r\nHöhe\r\n");
    EXPECT_EQ(SaveLines(target, {}), 0);
    EXPECT_EQ(ReadBytes(target), "");

    WriteBytes(target, "geschützt\r\n");
    WriteProtect(target);
    EXPECT_EQ(SaveLines(target, {"neu"}, &reason), 5);
    EXPECT_EQ(reason, "Zugriff verweigert");
    EXPECT_EQ(ReadBytes(target), "geschützt\r\n");

    EXPECT_EQ(SaveLines(t.File("kein/x.LST"), {"a"}, &reason), 3);
    EXPECT_EQ(reason, "Die Datei oder der Ordner existiert nicht");
    EXPECT_EQ(SaveLines(t.Path().string(), {"a"}, &reason), 5);
    EXPECT_EQ(reason, "Der Pfad bezeichnet einen Ordner");
}


// ---------------------------------------------------------------------------------------------
// Whole files beside their target: cut short, in progress, refused, long names

namespace {

int gPunkt = -1, gWeiter = -1;

// Starts SaveText(ziel, "halb") in a process of its own, which waits at punkt for a byte on a pipe
// and ends there, as a crash would, when the pipe is closed instead (weiter: its writing end).
pid_t SaveTextImKind(const std::string& ziel, TAblagePunkt punkt, int& weiter) {
    int rohr[2];
    if (::pipe(rohr) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(rohr[1]);
        gPunkt = static_cast<int>(punkt);
        gWeiter = rohr[0];
        AblageTestHaken = [](TAblagePunkt p, int) {
            char c;
            if (static_cast<int>(p) == gPunkt && ::read(gWeiter, &c, 1) != 1) _exit(77);
            return 0;
        };
        _exit(SaveText(ziel, "halb"));
    }
    ::close(rohr[0]);
    weiter = rohr[1];
    return pid;
}

std::vector<std::string> Namen(const fs::path& ordner) {
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(ordner)) namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
}

}  // namespace

TEST(SaveText, AWriteInProgressIsLeftAloneAndWhatACrashLeftTheNextWriteOfTheTargetTakesOver) {
    for (const TAblagePunkt punkt : {TAblagePunkt::Schreiben, TAblagePunkt::Sichern, TAblagePunkt::Umbenennen}) {
        TempFolder t;
        const std::string ziel = t.File("k.csv");
        WriteBytes(ziel, "alt");
        int weiter = -1;
        const pid_t pid = SaveTextImKind(ziel, punkt, weiter);
        // While that write is under way, another writer of the target tries the folder.
        while (!fs::exists(t.Path() / ".k.csv.zentrix-neu")) std::this_thread::yield();
        TTextWriter w;
        w.Create(ziel);
        EXPECT_TRUE(w.IsOpen());
        ::close(weiter);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_EQ(WEXITSTATUS(status), 77);
        EXPECT_EQ(ReadBytes(ziel), "alt");
        EXPECT_EQ(Namen(t.Path()), (std::vector<std::string>{".k.csv.zentrix-neu", "k.csv"}));
        EXPECT_EQ(SaveText(ziel, "neu"), 0);
        EXPECT_EQ(ReadBytes(ziel), "neu");
        EXPECT_EQ(Namen(t.Path()), std::vector<std::string>{"k.csv"});
    }
}

TEST(SaveText, RefusedTargetsAndFailuresGiveTheirOwnReason) {
    TempFolder t;
    ::mkfifo(t.File("rohr").c_str(), 0600);
    fs::create_directory_symlink("schleife", t.Path() / "schleife");
    WriteBytes(t.File("alt.csv"), "alt");
    fs::permissions(t.File("alt.csv"), fs::perms::owner_read | fs::perms::owner_write);
    struct Fall {
        std::string ziel;
        TAblagePunkt punkt;  // where the hook fails with fehler
        int fehler, code;
        std::string grund, danach;  // the reason given, the target's content after
    };
    const std::string platz = "Der Ordner lässt sich nach dem Umbenennen nicht sichern (Ein- und Ausgabefehler des "
                              "Datenträgers): die neue Datei steht an ihrem Platz, übersteht aber einen Stromausfall "
                              "vielleicht nicht";
    const Fall faelle[] = {
        {t.File("rohr"), TAblagePunkt::Tausch, 0, ea::KeineGewoehnlicheDatei,
         "Keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket)", ""},
        {t.File("schleife/k.csv"), TAblagePunkt::Tausch, 0, ea::UngueltigerName,
         "Zu viele symbolische Verknüpfungen im Pfad (eine Schleife)", ""},
        {t.File("alt.csv"), TAblagePunkt::Rechte, EPERM, ea::ZugriffVerweigert, "Zugriff verweigert", "alt"},
        {t.File("neu.csv"), TAblagePunkt::Ordner, EIO, SystemFehlerBasis + EIO, platz, "neu"},
        // A name of 250 bytes: its hidden file's name is shortened to fit.
        {t.File(std::string(246, 'k') + ".csv"), TAblagePunkt::Tausch, 0, 0, "", "neu"},
    };
    static int fehler;
    static TAblagePunkt punkt;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.ziel);
        fehler = f.fehler;
        punkt = f.punkt;
        AblageTestHaken = [](TAblagePunkt p, int) { return p == punkt ? fehler : 0; };
        std::string grund;
        EXPECT_EQ(SaveText(f.ziel, "neu", &grund), f.code);
        AblageTestHaken = nullptr;
        EXPECT_EQ(grund, f.grund);
        if (!f.danach.empty()) {
            EXPECT_EQ(ReadBytes(f.ziel), f.danach);
        }
    }
    EXPECT_TRUE(fs::is_fifo(t.File("rohr")));
    EXPECT_EQ(Namen(t.Path()), (std::vector<std::string>{"alt.csv", std::string(246, 'k') + ".csv", "neu.csv", "rohr",
                                                         "schleife"}));
}
