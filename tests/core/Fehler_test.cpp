// The German error texts and the period rule of the error box.
#include "core/Fehler.hpp"
#include "core/Ort.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/SystemFehler.hpp"

using namespace zentrix;

TEST(IOErrorText, CodesAndTheirTexts) {
    const std::vector<std::pair<int, const char*>> cases = {
        {2, "Datei nicht gefunden"},
        {3, "Ungültiger Dateiname"},
        {4, "Zu viele geöffnete Dateien"},
        {5, "Dateizugriff verweigert"},
        {100, "Versuch hinter dem Dateiende zu lesen"},
        {101, "Zu wenig Speicherplatz"},
        {106, "Ungültige numerische Eingabe"},
        {103, "E/A-Fehler 103"},
        {32, "E/A-Fehler 32"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(IOErrorText(code), text);
        const EInOutError e(code);
        EXPECT_EQ(e.Code, code);
        EXPECT_STREQ(e.what(), text);
    }
}

TEST(Zitat, OffendingTextIsCutAtFortyCharacters) {
    const std::string vierzig(40, 'x');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {vierzig, vierzig},
        {vierzig + "y", vierzig + "…"},
        {std::string(39, 'x') + "üü", std::string(39, 'x') + "ü…"},  // an umlaut is one character
        // A control character but the tab is shown as such, and is one character too.
        {std::string("1\0" "2\t3", 5), "1\\x002\t3"},
        {std::string(39, 'x') + "\x1b\x1b", std::string(39, 'x') + "\\x1B…"},
    };
    for (const auto& [text, zitat] : cases) EXPECT_EQ(Zitat(text), zitat) << text;
    TOrt ort;
    ort.Kugel = "K\x1b[2J";
    ort.Zeile = 3;
    EXPECT_EQ(OrtText(ort), "Kugel K\\x1B[2J, Zeile 3");
}

TEST(SystemReasonText, AFullDiskReadsAsItsIOCode) {
    for (const int err : {ENOSPC, EDQUOT}) {
        EXPECT_EQ(IOCodeFromErrno(err), 101);
        EXPECT_EQ(SystemReasonText(err), IOErrorText(101));
    }
    EXPECT_EQ(SystemReasonText(EFBIG), "Die Datei ist zu groß");
}

TEST(SystemReasonText, EveryErrorOfAFileOperationHasAGermanText) {
    // Opening, reading, writing, renaming and syncing: no error is left as a bare number, and the
    // I/O text of its code is German too.
    for (const int err : {ENOENT, EACCES, EPERM, EISDIR, ENOTDIR, ELOOP, ENAMETOOLONG, ENOSPC, EDQUOT, EROFS, EMFILE,
                          ENFILE, EIO, EBUSY, ETXTBSY, EEXIST, EFBIG, EXDEV, EINVAL, ENXIO, ENOMEM}) {
        EXPECT_EQ(SystemReasonText(err).find("Systemfehler"), std::string::npos) << err;
        EXPECT_EQ(IOErrorText(IOCodeFromErrno(err)).find("E/A-Fehler"), std::string::npos) << err;
    }
    // The texts that were German already stay as they were.
    EXPECT_EQ(IOErrorText(IOCodeFromErrno(ENOENT)), "Datei nicht gefunden");
    EXPECT_EQ(IOErrorText(IOCodeFromErrno(ENOTDIR)), "Ungültiger Dateiname");
    EXPECT_EQ(IOErrorText(IOCodeFromErrno(EACCES)), "Dateizugriff verweigert");
    EXPECT_EQ(IOErrorText(IOCodeFromErrno(EIO)), "Ein- und Ausgabefehler des Datenträgers");
}

TEST(ErrorBoxText, PeriodUnlessTheLastCharacterIsAtMostAPeriod) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Ungültige numerische Eingabe", "Ungültige numerische Eingabe."},
        {"'2,00' ist kein gültiger Gleitkommawert", "'2,00' ist kein gültiger Gleitkommawert."},
        {"Fertig.", "Fertig."},
        {"Achtung!", "Achtung!"},
        {"(siehe oben)", "(siehe oben)"},
        {"a,", "a,"},
        {"a ", "a "},
        {"a-", "a-"},
        {"a/", "a/."},  // '/' comes after '.'
        {"Gleitkommaüberlauf", "Gleitkommaüberlauf."},
        {"Größe ü", "Größe ü."},  // an umlaut's last byte is above '.'
        {"", "."},
    };
    for (const auto& [message, shown] : cases) EXPECT_EQ(ErrorBoxText(message), shown);
}
