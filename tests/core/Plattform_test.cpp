// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface: UTF-8 names, open files and their locks, exchanges, whole-file views, on
// whichever system the tests run.
#include "core/Plattform.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "Hilfen.hpp"
#include "core/SystemFehler.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zentrix {
namespace {

using namespace plattform;

// Creates the file pfad with text through the interface.
void Schreibe(const std::string& pfad, const std::string& text) {
    std::FILE* f = OeffneStrom(pfad, TOeffnen::Neu, "wb");
    ASSERT_NE(f, nullptr) << pfad;
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), f), text.size());
    ASSERT_EQ(std::fflush(f), 0);
    EXPECT_EQ(SichereStrom(f), 0);
    std::fclose(f);
}

std::string Lies(const std::string& pfad) {
    TDatei d;
    EXPECT_EQ(d.Oeffne(pfad, TOeffnen::Lesen), 0) << pfad;
    std::string text(1 << 16, '\0');
    const long long n = d.Lies(text.data(), text.size());
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

TEST(Plattform, UTF8NamesReachTheSystemAndComeBack) {
    test::TempFolder t;
    const std::string ordner = Text(t.Path()), name = "Müller Straße ä€.dat", pfad = Text(t.Path() / Pfad(name));
    EXPECT_EQ(Text(Pfad(name)), name);
    Schreibe(pfad, "1 2 3");
    EXPECT_EQ(Lies(pfad), "1 2 3");
    EXPECT_EQ(Text(fs::directory_iterator(t.Path())->path().filename()), name);
    TInfo info;
    ASSERT_EQ(Info(pfad, info), 0);
    EXPECT_EQ(info.Art, TArt::Datei);
    EXPECT_EQ(info.Groesse, 5u);
    ASSERT_EQ(Info(ordner, info), 0);
    EXPECT_EQ(info.Art, TArt::Ordner);
    EXPECT_EQ(pfad.substr(NamensAnfang(pfad)), name);
    EXPECT_EQ(NamensAnfang("abc"), 0u);
}

TEST(Plattform, OpeningSaysWhyNot) {
    test::TempFolder t;
    const std::string da = t.Write("da.txt", "x");
    TDatei d;
    // A folder opens for reading on Linux, not on Windows: either way it says what it is.
    const int ordner = d.Oeffne(Text(t.Path()), TOeffnen::Lesen);
    TInfo info;
    EXPECT_TRUE(ordner == EISDIR || (ordner == 0 && d.Info(info) == 0 && info.Art == TArt::Ordner)) << ordner;
    EXPECT_EQ(d.Oeffne(t.File("fehlt.txt"), TOeffnen::Lesen), ENOENT);
    EXPECT_EQ(d.Oeffne(da, TOeffnen::Neu), EEXIST);
    EXPECT_FALSE(d.Offen());
    EXPECT_EQ(SystemReasonText(ENOENT), "Die Datei oder der Ordner existiert nicht");
}

TEST(Plattform, ALockKeepsOutASecondHolderButNoReader) {
    test::TempFolder t;
    const std::string pfad = t.Write("eingabe.dat", "Messung");
    TDatei erste, zweite;
    ASSERT_EQ(erste.Oeffne(pfad, TOeffnen::Lesen), 0);
    ASSERT_EQ(zweite.Oeffne(pfad, TOeffnen::Offen), 0);
    ASSERT_EQ(erste.Sperre(false), 0);
    EXPECT_EQ(Lies(pfad), "Messung");
    EXPECT_EQ(zweite.Sperre(false), EWOULDBLOCK);
    erste.Schliesse();
    EXPECT_EQ(zweite.Sperre(false), 0);
}

TEST(Plattform, AnExchangeSwapsTheFilesAndARenameReplaces) {
    test::TempFolder t;
    const std::string a = t.Write("a", "neu"), b = t.Write("b", "alt"), hilfe = t.File("h");
    TInfo ia, ib, danach;
    ASSERT_EQ(Info(a, ia, false), 0);
    ASSERT_EQ(Info(b, ib, false), 0);
    const int err = Tausche(a, b, hilfe);
    if (err == ENOTSUP) GTEST_SKIP() << "Das Dateisystem des temporären Ordners kann nicht tauschen.";
    ASSERT_EQ(err, 0);
    EXPECT_EQ(Lies(a), "alt");
    EXPECT_EQ(Lies(b), "neu");
    ASSERT_EQ(Info(b, danach, false), 0);
    EXPECT_EQ(danach.Kennung, ia.Kennung);  // the file moved, not its bytes
    EXPECT_EQ(Info(hilfe, danach), ENOENT);
    EXPECT_EQ(Umbenenne(a, b), 0);
    EXPECT_EQ(Lies(b), "alt");
    EXPECT_EQ(Loesche(a), ENOENT);
    EXPECT_EQ(Loesche(b), 0);
}

TEST(Plattform, AViewShowsTheWholeFileAlsoAfterItsFirstPagesWereLetGo) {
    test::TempFolder t;
    std::string text;
    for (int i = 0; text.size() < (1u << 20); ++i) text += std::to_string(i) + " 1.5 2.25\n";
    for (const std::string& inhalt : {text, std::string()}) {
        const std::string pfad = t.Write("f" + std::to_string(inhalt.size()), inhalt);
        TDatei d;
        ASSERT_EQ(d.Oeffne(pfad, TOeffnen::Lesen), 0);
        TAnsicht ansicht;
        ASSERT_EQ(ansicht.Oeffne(d), 0);
        d.Schliesse();
        ASSERT_EQ(ansicht.Text(), inhalt);
        ansicht.Freigeben(1, inhalt.size() / 2);
        EXPECT_EQ(ansicht.Text(), inhalt);  // what was let go comes from the file again
        EXPECT_FALSE(ansicht.Verkuerzt());
    }
}

// Shortened under a view by another program, a file reads as zeros behind its new end. Windows
// refuses to shorten a local file while it is seen, so this is Linux's case.
#ifndef _WIN32
TEST(Plattform, AViewOfAFileShortenedMeanwhileReadsZerosAndSaysSo) {
    test::TempFolder t;
    const std::string pfad = t.Write("kurz", std::string(3 * 65536, 'x'));
    TDatei d;
    ASSERT_EQ(d.Oeffne(pfad, TOeffnen::Lesen), 0);
    TAnsicht ansicht;
    ASSERT_EQ(ansicht.Oeffne(d), 0);
    std::filesystem::resize_file(pfad, 10);
    const std::string_view text = ansicht.Text();
    EXPECT_EQ(text[5], 'x');
    EXPECT_FALSE(ansicht.Verkuerzt());
    EXPECT_EQ(text[text.size() - 1], '\0');
    EXPECT_TRUE(ansicht.Verkuerzt());
}
#endif

TEST(Plattform, AGrowingOutputWrittenOutEarlyAndATemporaryFile) {
    test::TempFolder t;
    const std::string pfad = t.File("wachsend.TXT"), stueck(1 << 16, 'K');
    std::FILE* f = OeffneStrom(pfad, TOeffnen::Neu, "wb");
    ASSERT_NE(f, nullptr);
    for (std::uint64_t von = 0; von < 8 * stueck.size(); von += stueck.size()) {
        ASSERT_EQ(std::fwrite(stueck.data(), 1, stueck.size(), f), stueck.size());
        ASSERT_EQ(std::fflush(f), 0);
        SchreibeFrueh(f, von, stueck.size());
    }
    EXPECT_EQ(SichereStrom(f), 0);
    std::fclose(f);
    TInfo info;
    ASSERT_EQ(Info(pfad, info), 0);
    EXPECT_EQ(info.Groesse, 8 * stueck.size());

    std::FILE* tmp = TemporaereDatei();
    ASSERT_NE(tmp, nullptr);
    ASSERT_GE(std::fputs("0123456789", tmp), 0);
    std::fflush(tmp);
    char drei[3];
    EXPECT_EQ(LiesAn(tmp, drei, 3, 4), 3);
    EXPECT_EQ(std::string(drei, 3), "456");
    EXPECT_EQ(std::ftell(tmp), 10);  // the stream has not moved
    EXPECT_EQ(KuerzeStrom(tmp), 0);
    EXPECT_EQ(LiesAn(tmp, drei, 3, 0), 0);
    std::fclose(tmp);
}

#ifdef _WIN32
TEST(Plattform, WindowsErrorsAreErrnoValuesOrHaveGermanTextsOfTheirOwn) {
    EXPECT_EQ(AusWindowsFehler(ERROR_FILE_NOT_FOUND), ENOENT);
    EXPECT_EQ(AusWindowsFehler(ERROR_DISK_FULL), ENOSPC);
    EXPECT_EQ(AusWindowsFehler(ERROR_ACCESS_DENIED), EACCES);
    EXPECT_EQ(SystemReasonText(AusWindowsFehler(ERROR_SHARING_VIOLATION)),
              "Die Datei wird von einem anderen Programm verwendet");
    EXPECT_EQ(SystemReasonText(AusWindowsFehler(12345)), "Windows-Fehler 12345");
}
#endif

}  // namespace
}  // namespace zentrix
