// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/LasWolke.hpp"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "scan/Datensaetze.hpp"
#include "scan/WolkenFehler.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// The public header block of LAS 1.0 to 1.2; 1.3 adds 8 bytes, 1.4 a further 140.
constexpr std::size_t KopfLas12 = 227, KopfLas13 = 235, KopfLas14 = 375;

// The shortest record of each point data format (bytes): X, Y, Z, intensity, flags,
// classification, scan angle, user data, source ID, then GPS time, colour, NIR, wave packets.
constexpr int MindestLaenge[11] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

// The header as read, little-endian whatever the machine.
class TLasKopf {
public:
    explicit TLasKopf(const TBinaerDatei& datei) : datei_(datei), k_(datei.Anfang(KopfLas14)) {}

    template <class U>
    U Ganz(std::size_t pos) const {
        U v = 0;
        for (std::size_t i = 0; i < sizeof(U); ++i) v |= static_cast<U>(static_cast<U>(Byte(pos + i)) << (8 * i));
        return v;
    }
    double Zahl(std::size_t pos) const { return std::bit_cast<double>(Ganz<std::uint64_t>(pos)); }
    unsigned char Byte(std::size_t pos) const { return static_cast<unsigned char>(k_[pos]); }
    std::size_t Laenge() const { return k_.size(); }
    bool Beginnt(std::string_view kennung) const { return k_.compare(0, kennung.size(), kennung) == 0; }

    [[noreturn]] void Fehler(const std::string& text, std::size_t pos, const std::string& feld,
                             const std::string& wert = {}) const {
        WolkenFehlerByte(text, datei_.Pfad(), static_cast<long long>(pos), feld, wert);
    }

private:
    const TBinaerDatei& datei_;
    std::string k_;
};

// What the points need of the header.
struct TLasPunkte {
    std::uint64_t anfang = 0, anzahl = 0;
    std::size_t laenge = 0;
    double massstab[3] = {1, 1, 1}, versatz[3] = {0, 0, 0};
};

// Version, sizes and the point data format: the layout of the records.
void LiesAufbau(const TLasKopf& k, std::uint64_t dateiGroesse, TLasPunkte& p, int& neben) {
    if (k.Laenge() < KopfLas12)
        k.Fehler("Die Datei ist kürzer als der Kopf einer LAS-Datei (227 Bytes)", k.Laenge(), "Kopf");
    neben = k.Byte(25);
    if (k.Byte(24) != 1 || neben > 4)
        k.Fehler("Unbekannte LAS-Version (gelesen werden 1.0 bis 1.4)", 24, "Version",
                 std::to_string(k.Byte(24)) + "." + std::to_string(neben));
    const auto kopf = k.Ganz<std::uint16_t>(94);
    const std::size_t mindestens = neben >= 4 ? KopfLas14 : neben == 3 ? KopfLas13 : KopfLas12;
    if (kopf < mindestens || kopf > dateiGroesse)
        k.Fehler("Ungültige Größe des Kopfs (mindestens " + std::to_string(mindestens) + " Bytes für LAS 1." +
                     std::to_string(neben) + ")",
                 94, "Kopfgröße", std::to_string(kopf));
    p.anfang = k.Ganz<std::uint32_t>(96);
    if (p.anfang < kopf || p.anfang > dateiGroesse)
        k.Fehler("Die Punktdaten beginnen außerhalb der Datei oder im Kopf", 96, "Beginn der Punktdaten",
                 std::to_string(p.anfang));
    const unsigned format = k.Byte(104);
    // Bit 7 (and bit 6 in some writers) marks compressed points.
    if ((format & 0xC0) != 0) k.Fehler(LazAbgewiesen, 104, "Punktdatenformat", std::to_string(format));
    if (format > 10) k.Fehler("Unbekanntes Punktdatenformat (gelesen werden 0 bis 10)", 104, "Punktdatenformat", std::to_string(format));
    p.laenge = k.Ganz<std::uint16_t>(105);
    if (p.laenge < static_cast<std::size_t>(MindestLaenge[format]))
        k.Fehler("Punktdatensätze zu kurz für Punktdatenformat " + std::to_string(format) + " (mindestens " +
                     std::to_string(MindestLaenge[format]) + " Bytes)",
                 105, "Länge eines Punktdatensatzes", std::to_string(p.laenge));
}

// The number of points, scale and offset.
void LiesPunktangaben(const TLasKopf& k, std::uint64_t dateiGroesse, int neben, TLasPunkte& p) {
    const char* achse[3] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) {
        p.massstab[a] = k.Zahl(131 + 8 * static_cast<std::size_t>(a));
        p.versatz[a] = k.Zahl(155 + 8 * static_cast<std::size_t>(a));
        if (!std::isfinite(p.massstab[a]) || p.massstab[a] == 0)
            k.Fehler("Ungültiger Maßstab der Koordinaten", 131 + 8 * static_cast<std::size_t>(a),
                     std::string("Maßstab ") + achse[a], RealToText(p.massstab[a]));
        if (!std::isfinite(p.versatz[a]))
            k.Fehler("Ungültiger Versatz der Koordinaten", 155 + 8 * static_cast<std::size_t>(a),
                     std::string("Versatz ") + achse[a], RealToText(p.versatz[a]));
    }
    // LAS 1.4 counts in 64 bits; its 32-bit count is 0 for more points or the newer formats.
    const std::size_t feld = neben >= 4 ? 247 : 107;
    p.anzahl = neben >= 4 ? k.Ganz<std::uint64_t>(247) : k.Ganz<std::uint32_t>(107);
    const std::uint64_t platz = (dateiGroesse - p.anfang) / p.laenge;
    if (p.anzahl > platz)
        k.Fehler("Die Datei endet nach " + std::to_string(platz) + " Punkten, der Kopf nennt " + std::to_string(p.anzahl),
                 feld, "Anzahl der Punkte", std::to_string(p.anzahl));
}

}  // namespace

TWolke LeseLas(const TBinaerDatei& datei, TScanMelder& melder) {
    const TLasKopf k(datei);
    if (!k.Beginnt("LASF"))
        k.Fehler("Keine LAS-Datei: die Kennung „LASF“ fehlt am Anfang", 0, "Dateikennung");
    TLasPunkte p;
    int neben = 0;
    LiesAufbau(k, datei.Groesse(), p, neben);
    LiesPunktangaben(k, datei.Groesse(), neben, p);
    TWolke wolke(static_cast<std::size_t>(p.anzahl));
    LiesDatensaetze(datei, p.anfang, p.anzahl, p.laenge, [&p](const unsigned char* satz, TWolkenpunkt& q) {
        double xyz[3];
        for (int a = 0; a < 3; ++a) {
            std::uint32_t u = 0;
            for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(satz[4 * a + i]) << (8 * i);
            xyz[a] = static_cast<std::int32_t>(u) * p.massstab[a] + p.versatz[a];
        }
        q = {xyz[0], xyz[1], xyz[2]};
        return std::isfinite(q.X) && std::isfinite(q.Y) && std::isfinite(q.Z);
    }, wolke, melder);
    return wolke;
}

}  // namespace zentrix
