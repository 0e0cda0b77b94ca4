// SPDX-License-Identifier: GPL-3.0-or-later
// The text cloud reader: the text cut into blocks at line ends, the lines of each block counted,
// then read, on all cores; every block writes its points where its lines begin, and the points of
// lines passed over are closed up at the end.
#include "scan/TextWolke.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "scan/WolkenFehler.hpp"
#include "textio/TextFile.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace {

// Bytes of text in one block: some hundred thousand lines.
constexpr std::size_t BlockBytes = 4u << 20;

bool IstLeer(char c) { return c == ' ' || c == '\t'; }
bool IstTrenner(char c) { return IstLeer(c) || c == ',' || c == ';'; }

// A block of the text: it begins at a line's start; its first line's number in the file (from 1)
// and its first point's index in the cloud.
struct TBlock {
    std::size_t anfang = 0, ende = 0;
    long long ersteZeile = 1;
    std::size_t erster = 0;
};

// The kind of a separator between two fields: blanks only, or with a comma, or with a semicolon.
char TrennerArt(std::string_view trenner) {
    for (const char c : trenner)
        if (c == ',' || c == ';') return c;
    return ' ';
}

// Reads one line of the cloud. Returns false for a line that holds no point (empty, a comment, the
// point count in front of the first point).
class TZeilenLeser {
public:
    // anfang: the reading begins at the start of the file.
    TZeilenLeser(const std::string& pfad, long long zeile, bool anfang)
        : pfad_(pfad), zeile_(zeile), vorDemErsten_(anfang) {}

    bool Lies(std::string_view z, TWolkenpunkt& p) {
        std::size_t i = 0;
        while (i < z.size() && IstLeer(z[i])) ++i;
        if (i == z.size() || z[i] == '#' || (z[i] == '/' && i + 1 < z.size() && z[i + 1] == '/')) return false;
        const bool erste = vorDemErsten_;
        vorDemErsten_ = false;
        if (erste && NurAnzahl(z.substr(i))) return false;
        double* ziel[3] = {&p.X, &p.Y, &p.Z};
        char art[2] = {0, 0};
        for (int feld = 1; feld <= 3; ++feld) {
            if (feld > 1) {
                const std::size_t t = i;
                while (i < z.size() && IstLeer(z[i])) ++i;
                if (i < z.size() && (z[i] == ',' || z[i] == ';')) ++i;
                while (i < z.size() && IstLeer(z[i])) ++i;
                art[feld - 2] = TrennerArt(z.substr(t, i - t));
                if (feld == 3 && art[0] != art[1])
                    WolkenFehlerZeile("Die Felder sind verschieden getrennt (ein Dezimalkomma?): Zahlen brauchen einen "
                                      "Dezimalpunkt",
                                      pfad_, zeile_, feld, Feld(z, i));
            }
            const std::string_view f = Feld(z, i);
            if (f.empty())
                WolkenFehlerZeile("Zu wenig Zahlen: eine Zeile braucht X, Y und Z", pfad_, zeile_, feld, f);
            *ziel[feld - 1] = Zahl(f, feld);
            i += f.size();
        }
        return true;
    }
    void NaechsteZeile() { ++zeile_; }

private:
    static std::string_view Feld(std::string_view z, std::size_t i) {
        std::size_t e = i;
        while (e < z.size() && !IstTrenner(z[e])) ++e;
        return z.substr(i, e - i);
    }
    // A line of one integer and nothing else: the point count of a PTS file.
    static bool NurAnzahl(std::string_view z) {
        std::size_t e = 0;
        while (e < z.size() && z[e] >= '0' && z[e] <= '9') ++e;
        if (e == 0 || e > MaxGanzzahlFeld) return false;
        while (e < z.size() && IstLeer(z[e])) ++e;
        return e == z.size();
    }
    double Zahl(std::string_view f, int feld) const {
        const TRealScan s = f.size() <= MaxRealFeld ? ScanReal(f, TokenRegel()) : TRealScan{};
        if (s.Status == TRealStatus::Zahl) return s.Wert;
        if (s.Status == TRealStatus::UeberDouble) {
            EMathError e("Gleitkommaüberlauf");
            e.Ort = Ort(feld, f);
            throw e;
        }
        EInOutError e(ea::UngueltigeZahl);
        e.Ort = Ort(feld, f);
        throw e;
    }
    TOrt Ort(int feld, std::string_view f) const {
        TOrt o;
        o.Datei = pfad_;
        o.Zeile = zeile_;
        o.Feld = feld;
        o.Text = Zitat(f);
        return o;
    }

    const std::string& pfad_;
    long long zeile_;
    bool vorDemErsten_;  // no line with data read yet
};

// The blocks of the text, each ending behind a line end (the last at the text's end).
std::vector<TBlock> Bloecke(std::string_view text, char eol) {
    std::vector<TBlock> bloecke;
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        std::size_t ende = std::min(text.size(), anfang + BlockBytes);
        if (ende < text.size()) {
            const void* p = std::memchr(text.data() + ende, eol, text.size() - ende);
            ende = p == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(p) - text.data()) + 1;
        }
        bloecke.push_back({anfang, ende});
        anfang = ende;
    }
    return bloecke;
}

// Reads the lines of one block into cloud[b.erster...]; returns the number of points.
std::size_t LiesBlock(std::string_view text, char eol, const TBlock& b, const std::string& pfad, TWolke& wolke) {
    TZeilenLeser leser(pfad, b.ersteZeile, b.anfang == 0);
    std::size_t n = b.erster;
    std::size_t pos = b.anfang;
    while (pos < b.ende) {
        const void* p = std::memchr(text.data() + pos, eol, b.ende - pos);
        const std::size_t ende = p == nullptr ? b.ende : static_cast<std::size_t>(static_cast<const char*>(p) - text.data());
        std::string_view zeile = text.substr(pos, ende - pos);
        if (eol == '\n' && !zeile.empty() && zeile.back() == '\r') zeile.remove_suffix(1);
        if (leser.Lies(zeile, wolke[n])) ++n;
        leser.NaechsteZeile();
        pos = ende + 1;
    }
    return n - b.erster;
}

}  // namespace

TWolke LeseTextwolke(std::string_view text, const std::string& pfad, TScanMelder& melder) {
    // LF ends a line, or CR in a text without any LF.
    const char eol = text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos ? '\r' : '\n';
    std::vector<TBlock> bloecke = Bloecke(text, eol);
    // Every line may hold a point: a block's points begin where its lines do.
    std::size_t zeile = 0;
    std::size_t k = 0;
    InBloecken(
        bloecke.size(), 1,
        [&](std::size_t von, std::size_t) {
            melder.Pruefe();
            const TBlock& b = bloecke[von];
            return static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(b.anfang),
                                                       text.begin() + static_cast<std::ptrdiff_t>(b.ende), eol));
        },
        [&](std::size_t zeilen) {
            TBlock& b = bloecke[k++];
            b.ersteZeile = static_cast<long long>(zeile) + 1;
            b.erster = zeile;
            zeile += zeilen;
        });
    if (!text.empty() && text.back() != eol) ++zeile;  // a last line without its end
    TWolke wolke(zeile);
    std::size_t n = 0;
    k = 0;
    InBloecken(
        bloecke.size(), 1,
        [&](std::size_t von, std::size_t) {
            melder.Pruefe();
            return LiesBlock(text, eol, bloecke[von], pfad, wolke);
        },
        [&](std::size_t punkte) {
            // Closes the points of the lines passed over up, in order.
            const TBlock& b = bloecke[k++];
            if (n != b.erster) std::memmove(wolke.data() + n, wolke.data() + b.erster, punkte * sizeof(TWolkenpunkt));
            n += punkte;
            melder.Melde(static_cast<double>(b.ende) / static_cast<double>(text.size()));
        });
    wolke.Kuerzen(n);
    return wolke;
}

TWolke LeseTextwolke(const std::string& pfad, TScanMelder& melder) {
    std::string text;
    const int code = LoadText(pfad, text);
    if (code != 0) {
        EInOutError e(code);
        e.Ort.Datei = VollerPfad(pfad);
        throw e;
    }
    return LeseTextwolke(text, VollerPfad(pfad), melder);
}

}  // namespace zentrix
