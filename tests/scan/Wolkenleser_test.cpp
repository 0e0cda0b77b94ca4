// SPDX-License-Identifier: GPL-3.0-or-later
// The cloud readers: text, PLY and LAS in every variant, and the place each broken file names.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "Hilfen.hpp"
#include "core/Fehler.hpp"
#include "scan/WolkeLesen.hpp"
#include "scan/WolkenFehler.hpp"

using namespace zentrix;

namespace {

// The cloud of a file written into a fresh folder.
struct TDatei {
    test::TempFolder ordner;
    std::string pfad;
    TDatei(const std::string& name, const std::string& inhalt) : pfad(ordner.Write(name, inhalt)) {}
    TWolke Lies(TWolkenformat* format = nullptr) const {
        TScanMelder melder;
        return LeseWolke(pfad, melder, format);
    }
};

// The error a reading raises.
EZentrixError Fehler(const std::string& name, const std::string& inhalt) {
    try {
        TDatei(name, inhalt).Lies();
    } catch (const EZentrixError& e) {
        return e;
    }
    ADD_FAILURE() << name << " ohne Fehler gelesen";
    return EZentrixError("");
}

void Gleich(const TWolke& w, const std::vector<std::array<double, 3>>& soll, const std::string& fall) {
    ASSERT_EQ(w.size(), soll.size()) << fall;
    for (std::size_t i = 0; i < soll.size(); ++i) {
        EXPECT_EQ(w[i].X, soll[i][0]) << fall << " " << i;
        EXPECT_EQ(w[i].Y, soll[i][1]) << fall << " " << i;
        EXPECT_EQ(w[i].Z, soll[i][2]) << fall << " " << i;
    }
}

// Bytes of a value in little- or big-endian order.
template <class T>
std::string Bytes(T v, bool gross = false) {
    std::string b(sizeof v, '\0');
    std::memcpy(b.data(), &v, sizeof v);
    if (gross == (std::endian::native == std::endian::little)) std::reverse(b.begin(), b.end());
    return b;
}

}  // namespace

TEST(TextWolke, EveryLayoutReadsTheSamePoints) {
    const std::vector<std::array<double, 3>> soll = {{1.5, -2.25, 3}, {4, 5, 6.125}};
    const struct {
        const char* fall;
        const char* text;
    } faelle[] = {
        {"Leerzeichen", "1.5 -2.25 3\n4 5 6.125\n"},
        {"Tabulatoren und weitere Spalten", "1.5\t-2.25\t3\t255 0 0\n4\t5\t6.125\t255 0 0\n"},
        {"Kommas", "1.5,-2.25,3,0.7\r\n4, 5, 6.125, 0.7\r\n"},
        {"Semikolons", "1.5;-2.25;3\n4;5;6.125"},
        {"PTS mit Anzahl und Kommentar", "// Scan 1\n2\n1.5 -2.25 3 0.5\n\n# Ende\n4 5 6.125 0.5\n"},
        {"nur CR", "1.5 -2.25 3\r4 5 6.125\r"},
        {"UTF-8-Markierung", "\xEF\xBB\xBF  1.5 -2.25 3\n   4 5 6.125\n  \n"},
    };
    for (const auto& f : faelle) {
        TWolkenformat format = TWolkenformat::Ply;
        Gleich(TDatei("wolke.xyz", f.text).Lies(&format), soll, f.fall);
        EXPECT_EQ(format, TWolkenformat::Text) << f.fall;
    }
}

TEST(TextWolke, ABrokenLineNamesItsLineFieldAndText) {
    const struct {
        const char* text;
        const char* meldung;
        long long zeile;
        int feld;
        const char* feldtext;
    } faelle[] = {
        {"1 2 3\n1 2,5 3\n", "Die Felder sind verschieden getrennt (ein Dezimalkomma?): Zahlen brauchen einen Dezimalpunkt", 2, 3, "5"},
        {"1 2 3\n# x\n1 abc 3\n", "Ungültige numerische Eingabe", 3, 2, "abc"},
        {"1 2 3\n4 5\n", "Zu wenig Zahlen: eine Zeile braucht X, Y und Z", 2, 3, ""},
        {"1 2 3\n4,,6\n", "Zu wenig Zahlen: eine Zeile braucht X, Y und Z", 2, 2, ""},
        {"1 2 1e999\n", "Gleitkommaüberlauf", 1, 3, "1e999"},
        {"1 2 nan\n", "Ungültige numerische Eingabe", 1, 3, "nan"},
    };
    for (const auto& f : faelle) {
        const EZentrixError e = Fehler("w.txt", f.text);
        EXPECT_STREQ(e.what(), f.meldung) << f.text;
        EXPECT_EQ(e.Ort.Zeile, f.zeile) << f.text;
        EXPECT_EQ(e.Ort.Feld, f.feld) << f.text;
        EXPECT_EQ(e.Ort.Text, f.feldtext) << f.text;
        EXPECT_NE(e.Ort.Datei.find("w.txt"), std::string::npos) << f.text;
    }
}

TEST(TextWolke, ALineInTheSecondHalfOfALongTextKeepsItsNumber) {
    // Some 8 MB of text: read in blocks on all cores; the error's line is counted over all of them.
    std::string text;
    for (int i = 0; i < 400000; ++i) text += "10.125 -20.5 3.75 128 128 128\n";
    text += "1 2 x\n";
    const EZentrixError e = Fehler("gross.txt", text);
    EXPECT_EQ(e.Ort.Zeile, 400001);
    EXPECT_EQ(e.Ort.Feld, 3);
    text.resize(text.size() - 6);
    const TWolke w = TDatei("gross.txt", text).Lies();
    ASSERT_EQ(w.size(), 400000u);
    EXPECT_EQ(w[399999].Y, -20.5);
}

namespace {

// A PLY file: a face element before the vertices (a list), vertices with x, y, z of the type given
// between other properties, and a list of their own.
std::string Ply(const std::string& format, const std::string& typ, const std::vector<std::array<double, 3>>& p) {
    std::string kopf = "ply\r\nformat " + format + " 1.0\r\ncomment Zentrix\r\nelement face 2\r\n"
                       "property list uchar int vertex_indices\r\nelement vertex " + std::to_string(p.size()) +
                       "\r\nproperty uchar rot\r\nproperty " + typ + " x\r\nproperty " + typ + " y\r\nproperty short i\r\n"
                       "property " + typ + " z\r\nproperty list uchar float n\r\nend_header\r\n";
    if (format == "ascii") {
        kopf += "3 0 1 2\n0\n";
        for (const auto& q : p) kopf += "7 " + std::to_string(q[0]) + " " + std::to_string(q[1]) + " -3 " + std::to_string(q[2]) + " 2 0.5 0.5\n";
        return kopf;
    }
    const bool gross = format == "binary_big_endian";
    auto zahl = [&](double v) { return typ == "double" || typ == "float64" ? Bytes(v, gross) : Bytes(static_cast<float>(v), gross); };
    kopf += std::string("\x03", 1) + Bytes<std::int32_t>(0, gross) + Bytes<std::int32_t>(1, gross) + Bytes<std::int32_t>(2, gross);
    kopf += std::string("\x00", 1);
    for (const auto& q : p)
        kopf += std::string("\x07", 1) + zahl(q[0]) + zahl(q[1]) + Bytes<std::int16_t>(-3, gross) + zahl(q[2]) + std::string("\x01", 1) +
                Bytes(0.5f, gross);
    return kopf;
}

}  // namespace

TEST(PlyWolke, EveryFormatAndTypeReadsTheSamePoints) {
    const std::vector<std::array<double, 3>> soll = {{1.5, -2.25, 3}, {4, 5, 6.125}, {-0.5, 0.25, 100}};
    for (const std::string format : {"ascii", "binary_little_endian", "binary_big_endian"})
        for (const std::string typ : {"float", "double", "float32", "float64"}) {
            TWolkenformat f = TWolkenformat::Text;
            Gleich(TDatei("scan.bin", Ply(format, typ, soll)).Lies(&f), soll, format + " " + typ);
            EXPECT_EQ(f, TWolkenformat::Ply);
        }
}

TEST(PlyWolke, PointsWithoutCoordinatesArePassedOverAndCounted) {
    const double nan = std::nan("");
    const TWolke w = TDatei("s.ply", Ply("binary_little_endian", "float", {{1, 2, 3}, {nan, nan, nan}, {4, 5, 6}})).Lies();
    Gleich(w, {{1, 2, 3}, {4, 5, 6}}, "NaN");
    EXPECT_EQ(w.Ungueltig, 1u);
}

TEST(PlyWolke, ABrokenFileNamesItsPlace) {
    const std::string gut = Ply("binary_little_endian", "float", {{1, 2, 3}, {4, 5, 6}});
    const struct {
        const char* fall;
        std::string inhalt;
        const char* meldung;
        long long zeile, byte;
        const char* feld;
    } faelle[] = {
        {"kein ply", "plx\nformat ascii 1.0\nend_header\n", "Keine PLY-Datei: die erste Zeile muss „ply“ lauten", 1, -1, ""},
        {"Format", "ply\nformat binary 1.0\nend_header\n", "Unbekanntes PLY-Format (erwartet: ascii, binary_little_endian, binary_big_endian)", 2, -1, ""},
        {"Anzahl", "ply\nformat ascii 1.0\nelement vertex -3\nend_header\n", "Ungültige Anzahl des Elements", 3, -1, ""},
        {"Typ", "ply\nformat ascii 1.0\nelement vertex 1\nproperty int128 x\nend_header\n", "Unbekannter Typ der Eigenschaft", 4, -1, ""},
        {"ohne Ende", "ply\nformat ascii 1.0\nelement vertex 1\n", "Der Kopf der PLY-Datei endet nicht: „end_header“ fehlt", 4, -1, ""},
        {"ohne vertex", "ply\nformat ascii 1.0\nelement face 0\nend_header\n", "Die PLY-Datei hat kein Element „vertex“ (die Punkte)", 4, -1, ""},
        {"x ganzzahlig", "ply\nformat ascii 1.0\nelement vertex 1\nproperty int x\nproperty float y\nproperty float z\nend_header\n1 2 3\n",
         "Die Eigenschaft „x“ muss float oder double sein", 3, -1, ""},
        {"binär zu kurz", gut.substr(0, gut.size() - 3), "Die Datei endet vor dem Ende des Elements „vertex“ (Punkt 2 von 2)", 0,
         static_cast<long long>(gut.size() - 5), "n"},
        {"ascii zu kurz", "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float y\nproperty float z\nend_header\n1 2 3\n4 5\n",
         "Die Datei endet vor dem Ende des Elements „vertex“ (Datensatz 2 von 2, Eigenschaft „z“)", 9, -1, ""},
        {"ascii keine Zahl", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nproperty float z\nend_header\n1 zwei 3\n",
         "Ungültige numerische Eingabe", 8, -1, ""},
    };
    for (const auto& f : faelle) {
        const EZentrixError e = Fehler("s.ply", f.inhalt);
        EXPECT_STREQ(e.what(), f.meldung) << f.fall;
        EXPECT_EQ(e.Ort.Zeile, f.zeile) << f.fall;
        EXPECT_EQ(e.Ort.Byte, f.byte) << f.fall;
        EXPECT_EQ(e.Ort.Feldname, f.feld) << f.fall;
    }
}

namespace {

// A LAS file of version 1.minor and point data format f: two points, scale 0.001 and offset (1000,
// 2000, 0), the records as long as the format asks (plus extra bytes with lang).
std::string Las(int minor, int f, int lang = 0, std::uint64_t anzahl = 2) {
    static const int laenge[11] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
    const std::size_t kopf = minor >= 4 ? 375 : minor == 3 ? 235 : 227;
    std::string k(kopf, '\0');
    auto setze = [&k](std::size_t pos, const std::string& b) { k.replace(pos, b.size(), b); };
    setze(0, "LASF");
    k[24] = 1;
    k[25] = static_cast<char>(minor);
    setze(94, Bytes<std::uint16_t>(static_cast<std::uint16_t>(kopf)));
    setze(96, Bytes<std::uint32_t>(static_cast<std::uint32_t>(kopf)));
    k[104] = static_cast<char>(f);
    const int satz = laenge[f] + lang;
    setze(105, Bytes<std::uint16_t>(static_cast<std::uint16_t>(satz)));
    setze(107, Bytes<std::uint32_t>(minor >= 4 ? 0 : static_cast<std::uint32_t>(anzahl)));
    for (int a = 0; a < 3; ++a) {
        setze(131 + 8 * a, Bytes(0.001));
        setze(155 + 8 * a, Bytes(a == 0 ? 1000.0 : a == 1 ? 2000.0 : 0.0));
    }
    if (minor >= 4) setze(247, Bytes<std::uint64_t>(anzahl));
    for (const std::int32_t x : {1500, -2500}) {
        std::string r(static_cast<std::size_t>(satz), '\x55');
        r.replace(0, 12, Bytes(x) + Bytes(-x) + Bytes(x * 2));
        k += r;
    }
    return k;
}

}  // namespace

TEST(LasWolke, EveryVersionAndPointFormatReadsTheSamePoints) {
    const std::vector<std::array<double, 3>> soll = {{1001.5, 1998.5, 3}, {997.5, 2002.5, -5}};
    for (int minor = 0; minor <= 4; ++minor)
        for (int f = 0; f <= 10; ++f) {
            TWolkenformat format = TWolkenformat::Text;
            const TWolke w = TDatei("punkte.dat", Las(minor, f, f % 3)).Lies(&format);
            EXPECT_EQ(format, TWolkenformat::Las);
            ASSERT_EQ(w.size(), 2u) << minor << " " << f;
            for (int i = 0; i < 2; ++i) {
                EXPECT_NEAR(w[static_cast<std::size_t>(i)].X, soll[static_cast<std::size_t>(i)][0], 1e-9);
                EXPECT_NEAR(w[static_cast<std::size_t>(i)].Y, soll[static_cast<std::size_t>(i)][1], 1e-9);
                EXPECT_NEAR(w[static_cast<std::size_t>(i)].Z, soll[static_cast<std::size_t>(i)][2], 1e-9);
            }
        }
}

TEST(LasWolke, ABrokenHeaderNamesItsByteAndField) {
    auto mit = [](std::string las, std::size_t pos, const std::string& b) { return las.replace(pos, b.size(), b); };
    const struct {
        const char* fall;
        std::string inhalt;
        const char* meldung;
        long long byte;
        const char* feld;
    } faelle[] = {
        {"kurz", Las(2, 0).substr(0, 200), "Die Datei ist kürzer als der Kopf einer LAS-Datei (227 Bytes)", 200, "Kopf"},
        {"Version", mit(Las(2, 0), 25, "\x07"), "Unbekannte LAS-Version (gelesen werden 1.0 bis 1.4)", 24, "Version"},
        {"komprimiert", mit(Las(2, 3), 104, "\x83"), LazAbgewiesen, 104, "Punktdatenformat"},
        {"Format 11", mit(Las(4, 0), 104, "\x0B"), "Unbekanntes Punktdatenformat (gelesen werden 0 bis 10)", 104, "Punktdatenformat"},
        {"Satz zu kurz", mit(Las(2, 1), 105, Bytes<std::uint16_t>(20)),
         "Punktdatensätze zu kurz für Punktdatenformat 1 (mindestens 28 Bytes)", 105, "Länge eines Punktdatensatzes"},
        {"Punkte hinter dem Ende", Las(2, 0, 0, 3), "Die Datei endet nach 2 Punkten, der Kopf nennt 3", 107, "Anzahl der Punkte"},
        {"1.4 zählt 64 Bit", Las(4, 6, 0, 1ull << 40), "Die Datei endet nach 2 Punkten, der Kopf nennt 1099511627776", 247,
         "Anzahl der Punkte"},
        {"Maßstab 0", mit(Las(2, 0), 139, Bytes(0.0)), "Ungültiger Maßstab der Koordinaten", 139, "Maßstab Y"},
        {"Punktdaten im Kopf", mit(Las(2, 0), 96, Bytes<std::uint32_t>(100)), "Die Punktdaten beginnen außerhalb der Datei oder im Kopf",
         96, "Beginn der Punktdaten"},
    };
    for (const auto& f : faelle) {
        const EZentrixError e = Fehler("s.las", f.inhalt);
        EXPECT_STREQ(e.what(), f.meldung) << f.fall;
        EXPECT_EQ(e.Ort.Byte, f.byte) << f.fall;
        EXPECT_EQ(e.Ort.Feldname, f.feld) << f.fall;
    }
}

TEST(WolkeLesen, TheContentTellsTheFormatAndCompressedFormatsAreRefused) {
    const struct {
        const char* name;
        std::string inhalt;
        const char* meldung;
    } faelle[] = {
        {"scan.laz", Las(2, 0), LazAbgewiesen},
        {"scan.e57", "1 2 3\n", E57Abgewiesen},
        {"scan.dat", "ASTM-E57 ...", E57Abgewiesen},
        {"scan.LAS", "1 2 3\n", "Keine LAS-Datei: die Kennung „LASF“ fehlt am Anfang"},
        {"scan.ply", "1 2 3\n", "Keine PLY-Datei: die erste Zeile muss „ply“ lauten"},
    };
    for (const auto& f : faelle) EXPECT_STREQ(Fehler(f.name, f.inhalt).what(), f.meldung) << f.name;
    // What is not a regular file is refused before anything is read.
    test::TempFolder ordner;
    TScanMelder melder;
    EXPECT_THROW(LeseWolke(ordner.Path().string(), melder), EInOutError);
    EXPECT_THROW(LeseWolke(ordner.File("fehlt.ply"), melder), EInOutError);
    EXPECT_THROW(LeseWolke("/dev/null", melder), EInOutError);
}
