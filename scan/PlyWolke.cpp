// SPDX-License-Identifier: GPL-3.0-or-later
// The PLY reader: the header line by line, then the elements in order. Elements before "vertex"
// are passed over record by record (by their fixed size at once where they have no list), the
// vertices are read on all cores where their records have one size, front to back otherwise;
// what follows them is not read.
#include "scan/PlyWolke.hpp"

#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/Fehler.hpp"
#include "scan/Datensaetze.hpp"
#include "scan/Strom.hpp"
#include "scan/WolkenFehler.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace {

// The header is read from the first megabyte of the file: a longer one is no point cloud's.
constexpr std::size_t KopfHoechstens = 1u << 20;

enum class TFormat { Ascii, Klein, Gross };  // text, little-endian, big-endian

// A property's scalar type: its size in bytes, and whether it is a float or a signed integer.
struct TTyp {
    int groesse = 0;
    bool gleitkomma = false;
    bool vorzeichen = false;
};

std::optional<TTyp> TypVon(std::string_view name) {
    static const struct {
        const char* name;
        TTyp typ;
    } typen[] = {{"char", {1, false, true}},   {"int8", {1, false, true}},    {"uchar", {1, false, false}},
                 {"uint8", {1, false, false}}, {"short", {2, false, true}},   {"int16", {2, false, true}},
                 {"ushort", {2, false, false}}, {"uint16", {2, false, false}}, {"int", {4, false, true}},
                 {"int32", {4, false, true}},  {"uint", {4, false, false}},   {"uint32", {4, false, false}},
                 {"float", {4, true, true}},   {"float32", {4, true, true}},  {"double", {8, true, true}},
                 {"float64", {8, true, true}}};
    for (const auto& t : typen)
        if (name == t.name) return t.typ;
    return std::nullopt;
}

struct TEigenschaft {
    std::string name;
    TTyp typ;           // of the items of a list
    bool liste = false;
    TTyp anzahl;        // of a list's count
};

struct TElement {
    std::string name;
    std::uint64_t anzahl = 0;
    std::vector<TEigenschaft> eigenschaften;
    long long zeile = 0;  // its line of the header

    bool FesteGroesse() const {
        for (const TEigenschaft& e : eigenschaften)
            if (e.liste) return false;
        return true;
    }
    // The bytes of a record without lists.
    std::size_t Groesse() const {
        std::size_t g = 0;
        for (const TEigenschaft& e : eigenschaften) g += static_cast<std::size_t>(e.typ.groesse);
        return g;
    }
};

struct TKopf {
    TFormat format = TFormat::Ascii;
    std::vector<TElement> elemente;
    std::uint64_t daten = 0;  // where the elements begin
    long long zeilen = 0;     // the header's lines
};

// The words of a header line, separated by blanks.
std::vector<std::string_view> Woerter(std::string_view zeile) {
    std::vector<std::string_view> w;
    std::size_t i = 0;
    while (i < zeile.size()) {
        while (i < zeile.size() && (zeile[i] == ' ' || zeile[i] == '\t')) ++i;
        const std::size_t a = i;
        while (i < zeile.size() && zeile[i] != ' ' && zeile[i] != '\t') ++i;
        if (i > a) w.push_back(zeile.substr(a, i - a));
    }
    return w;
}

// Reads the header's lines into kopf, one at a time.
class TKopfLeser {
public:
    TKopfLeser(const std::string& pfad, TKopf& kopf) : pfad_(pfad), kopf_(kopf) {}

    // False after "end_header".
    bool Zeile(std::string_view zeile, long long nr) {
        nr_ = nr;
        const std::vector<std::string_view> w = Woerter(zeile);
        if (nr == 1) {
            if (w.size() != 1 || w[0] != "ply") Fehler("Keine PLY-Datei: die erste Zeile muss „ply“ lauten", 1, zeile);
            return true;
        }
        if (w.empty() || w[0] == "comment" || w[0] == "obj_info") return true;
        if (w[0] == "end_header") {
            if (!format_) Fehler("Die Zeile „format“ fehlt im Kopf der PLY-Datei", 1, w[0]);
            return false;
        }
        if (w[0] == "format") Format(w);
        else if (w[0] == "element") Element(w);
        else if (w[0] == "property") Eigenschaft(w);
        else Fehler("Unbekannte Zeile im Kopf der PLY-Datei (erwartet: format, element, property, comment, end_header)", 1, w[0]);
        return true;
    }

private:
    [[noreturn]] void Fehler(const std::string& text, int feld, std::string_view wort) const {
        WolkenFehlerZeile(text, pfad_, nr_, feld, wort);
    }
    // The line must have n words: the first missing one, or the first too many, is named.
    void Anzahl(const std::vector<std::string_view>& w, std::size_t n) const {
        if (w.size() == n) return;
        const std::string text = "Diese Zeile des PLY-Kopfs braucht " + std::to_string(n) + " Wörter";
        if (w.size() < n) Fehler(text, static_cast<int>(w.size()) + 1, {});
        Fehler(text, static_cast<int>(n) + 1, w[n]);
    }
    void Format(const std::vector<std::string_view>& w) {
        Anzahl(w, 3);
        if (w[1] == "ascii") kopf_.format = TFormat::Ascii;
        else if (w[1] == "binary_little_endian") kopf_.format = TFormat::Klein;
        else if (w[1] == "binary_big_endian") kopf_.format = TFormat::Gross;
        else Fehler("Unbekanntes PLY-Format (erwartet: ascii, binary_little_endian, binary_big_endian)", 2, w[1]);
        format_ = true;
    }
    void Element(const std::vector<std::string_view>& w) {
        Anzahl(w, 3);
        std::int64_t n = 0;
        if (!ScanInteger(w[2], true, n) || n < 0) Fehler("Ungültige Anzahl des Elements", 3, w[2]);
        kopf_.elemente.push_back({std::string(w[1]), static_cast<std::uint64_t>(n), {}, nr_});
    }
    TTyp Typ(std::string_view name, int feld, bool ganzzahl) const {
        const std::optional<TTyp> t = TypVon(name);
        if (!t || (ganzzahl && t->gleitkomma)) Fehler(ganzzahl ? "Unbekannter Typ für die Länge einer Liste" : "Unbekannter Typ der Eigenschaft", feld, name);
        return *t;
    }
    void Eigenschaft(const std::vector<std::string_view>& w) {
        if (kopf_.elemente.empty()) Fehler("Eine Eigenschaft vor dem ersten Element", 1, w[0]);
        TEigenschaft e;
        if (w.size() > 1 && w[1] == "list") {
            Anzahl(w, 5);
            e.liste = true;
            e.anzahl = Typ(w[2], 3, true);
            e.typ = Typ(w[3], 4, false);
            e.name = w[4];
        } else {
            Anzahl(w, 3);
            e.typ = Typ(w[1], 2, false);
            e.name = w[2];
        }
        kopf_.elemente.back().eigenschaften.push_back(std::move(e));
    }

    const std::string& pfad_;
    TKopf& kopf_;
    long long nr_ = 0;
    bool format_ = false;
};

TKopf LiesKopf(const TBinaerDatei& datei) {
    const std::string text = datei.Anfang(KopfHoechstens);
    TKopf kopf;
    TKopfLeser leser(datei.Pfad(), kopf);
    std::size_t pos = 0;
    for (long long nr = 1;; ++nr) {
        const std::size_t ende = text.find('\n', pos);
        if (ende == std::string::npos)
            WolkenFehlerZeile("Der Kopf der PLY-Datei endet nicht: „end_header“ fehlt", datei.Pfad(), nr, 0, {});
        std::string_view zeile(text.data() + pos, ende - pos);
        if (!zeile.empty() && zeile.back() == '\r') zeile.remove_suffix(1);
        pos = ende + 1;
        if (!leser.Zeile(zeile, nr)) {
            kopf.daten = pos;
            kopf.zeilen = nr;
            return kopf;
        }
    }
}

// --- Binary records ---------------------------------------------------------------------------

// Whether the file's byte order differs from the machine's.
bool Tauschen(TFormat f) { return (f == TFormat::Gross) != (std::endian::native == std::endian::big); }

template <class T>
T Gedreht(T v) {
    T r = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) r = static_cast<T>((r << 8) | ((v >> (8 * i)) & 0xFF));
    return r;
}

template <class U>
U Ganz(const unsigned char* p, bool tauschen) {
    U v;
    std::memcpy(&v, p, sizeof v);
    return tauschen ? Gedreht(v) : v;
}

// The value of a scalar of type t at p.
double Wert(const unsigned char* p, const TTyp& t, bool tauschen) {
    switch (t.groesse) {
        case 1: return t.vorzeichen ? static_cast<double>(static_cast<std::int8_t>(*p)) : *p;
        case 2: {
            const auto u = Ganz<std::uint16_t>(p, tauschen);
            return t.vorzeichen ? static_cast<std::int16_t>(u) : u;
        }
        case 4: {
            const auto u = Ganz<std::uint32_t>(p, tauschen);
            if (t.gleitkomma) return std::bit_cast<float>(u);
            return t.vorzeichen ? static_cast<double>(static_cast<std::int32_t>(u)) : u;
        }
        default: return std::bit_cast<double>(Ganz<std::uint64_t>(p, tauschen));
    }
}

// The count of a list as it stands at p; a negative one is refused.
std::uint64_t Listenlaenge(const unsigned char* p, const TTyp& t, bool tauschen, bool& gueltig) {
    const double n = Wert(p, t, tauschen);
    gueltig = n >= 0;
    return gueltig ? static_cast<std::uint64_t>(n) : 0;
}

// Where x, y and z stand in the vertex element.
struct TKoordinaten {
    int index[3] = {-1, -1, -1};
};

TKoordinaten Koordinaten(const TElement& v, const std::string& pfad) {
    TKoordinaten k;
    const char* namen[3] = {"x", "y", "z"};
    for (int a = 0; a < 3; ++a) {
        for (std::size_t i = 0; i < v.eigenschaften.size(); ++i)
            if (v.eigenschaften[i].name == namen[a]) k.index[a] = static_cast<int>(i);
        if (k.index[a] < 0)
            WolkenFehlerZeile(std::string("Dem Element „vertex“ fehlt die Eigenschaft „") + namen[a] + "“", pfad, v.zeile, 0, {});
        const TEigenschaft& e = v.eigenschaften[static_cast<std::size_t>(k.index[a])];
        if (e.liste || !e.typ.gleitkomma)
            WolkenFehlerZeile(std::string("Die Eigenschaft „") + namen[a] + "“ muss float oder double sein", pfad,
                              v.zeile, 0, namen[a]);
    }
    return k;
}

// A record's end reached before its property e: the file ends inside element el.
[[noreturn]] void EndetIm(const std::string& pfad, const TElement& el, std::uint64_t satz, const TEigenschaft& e,
                          std::uint64_t byte) {
    const bool punkte = el.name == "vertex";
    WolkenFehlerByte("Die Datei endet vor dem Ende des Elements „" + el.name + "“ (" + (punkte ? "Punkt " : "Datensatz ") +
                         std::to_string(satz + 1) + " von " + std::to_string(el.anzahl) + ")",
                     pfad, static_cast<long long>(byte), e.name);
}

// The file must hold every record of an element of fixed size from offset pos on.
void PruefeLaenge(const TBinaerDatei& datei, const TElement& el, std::uint64_t pos) {
    const std::size_t g = el.Groesse();
    const std::uint64_t platz = datei.Groesse() > pos ? datei.Groesse() - pos : 0;
    if (g == 0 || el.anzahl <= platz / g) return;
    const std::uint64_t satz = platz / g;
    std::uint64_t byte = pos + satz * g;
    for (const TEigenschaft& e : el.eigenschaften) {
        if (byte + static_cast<std::uint64_t>(e.typ.groesse) > datei.Groesse()) EndetIm(datei.Pfad(), el, satz, e, byte);
        byte += static_cast<std::uint64_t>(e.typ.groesse);
    }
}

// Reads or passes over one record of varying size; the vertex's coordinates into p.
bool BinaerSatz(TStrom& s, const TElement& el, std::uint64_t satz, bool tauschen, const TKoordinaten* k,
                TWolkenpunkt* p, const std::string& pfad) {
    unsigned char b[8];
    double xyz[3] = {0, 0, 0};
    for (std::size_t i = 0; i < el.eigenschaften.size(); ++i) {
        const TEigenschaft& e = el.eigenschaften[i];
        const std::uint64_t byte = s.Position();
        if (e.liste) {
            bool gueltig = false;
            if (!s.Lies(b, static_cast<std::size_t>(e.anzahl.groesse))) EndetIm(pfad, el, satz, e, byte);
            const std::uint64_t n = Listenlaenge(b, e.anzahl, tauschen, gueltig);
            if (!gueltig) WolkenFehlerByte("Negative Länge einer Liste", pfad, static_cast<long long>(byte), e.name);
            if (!s.Ueberspringe(n * static_cast<std::uint64_t>(e.typ.groesse))) EndetIm(pfad, el, satz, e, byte);
            continue;
        }
        if (!s.Lies(b, static_cast<std::size_t>(e.typ.groesse))) EndetIm(pfad, el, satz, e, byte);
        for (int a = 0; k != nullptr && a < 3; ++a)
            if (k->index[a] == static_cast<int>(i)) xyz[a] = Wert(b, e.typ, tauschen);
    }
    if (p == nullptr) return false;
    *p = {xyz[0], xyz[1], xyz[2]};
    return std::isfinite(xyz[0]) && std::isfinite(xyz[1]) && std::isfinite(xyz[2]);
}

// Passes over a binary element before the vertices; returns the offset behind it.
std::uint64_t UeberspringeBinaer(const TBinaerDatei& datei, const TElement& el, std::uint64_t pos, bool tauschen,
                                 TScanMelder& melder) {
    if (el.FesteGroesse()) {
        PruefeLaenge(datei, el, pos);
        return pos + el.anzahl * el.Groesse();
    }
    TStrom s(datei, pos);
    for (std::uint64_t satz = 0; satz < el.anzahl; ++satz) {
        if (satz % 65536 == 0) melder.Pruefe();
        BinaerSatz(s, el, satz, tauschen, nullptr, nullptr, datei.Pfad());
    }
    return s.Position();
}

TWolke LiesBinaer(const TBinaerDatei& datei, const TKopf& kopf, std::size_t vertex, TScanMelder& melder) {
    const bool tauschen = Tauschen(kopf.format);
    std::uint64_t pos = kopf.daten;
    for (std::size_t i = 0; i < vertex; ++i) pos = UeberspringeBinaer(datei, kopf.elemente[i], pos, tauschen, melder);
    const TElement& v = kopf.elemente[vertex];
    const TKoordinaten k = Koordinaten(v, datei.Pfad());
    if (v.FesteGroesse()) {
        PruefeLaenge(datei, v, pos);
        TWolke wolke(static_cast<std::size_t>(v.anzahl));
        std::size_t versatz[3];
        TTyp typ[3];
        for (int a = 0; a < 3; ++a) {
            versatz[a] = 0;
            for (int i = 0; i < k.index[a]; ++i) versatz[a] += static_cast<std::size_t>(v.eigenschaften[static_cast<std::size_t>(i)].typ.groesse);
            typ[a] = v.eigenschaften[static_cast<std::size_t>(k.index[a])].typ;
        }
        LiesDatensaetze(datei, pos, v.anzahl, v.Groesse(), [&](const unsigned char* satz, TWolkenpunkt& p) {
            p = {Wert(satz + versatz[0], typ[0], tauschen), Wert(satz + versatz[1], typ[1], tauschen),
                 Wert(satz + versatz[2], typ[2], tauschen)};
            return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
        }, wolke, melder);
        return wolke;
    }
    // Records with lists: each at least its counts and scalars long.
    std::uint64_t mindestens = 0;
    for (const TEigenschaft& e : v.eigenschaften) mindestens += static_cast<std::uint64_t>(e.liste ? e.anzahl.groesse : e.typ.groesse);
    if (datei.Groesse() < pos || v.anzahl > (datei.Groesse() - pos) / mindestens)
        WolkenFehlerByte("Die Datei ist zu kurz für " + std::to_string(v.anzahl) + " Punkte", datei.Pfad(),
                         static_cast<long long>(pos), v.name);
    TWolke wolke(static_cast<std::size_t>(v.anzahl));
    TStrom s(datei, pos);
    std::size_t n = 0;
    for (std::uint64_t satz = 0; satz < v.anzahl; ++satz) {
        if (satz % 65536 == 0) melder.Melde(static_cast<double>(satz) / static_cast<double>(v.anzahl));
        if (BinaerSatz(s, v, satz, tauschen, &k, &wolke[n], datei.Pfad())) ++n;
    }
    wolke.Ungueltig = static_cast<std::size_t>(v.anzahl) - n;
    wolke.Kuerzen(n);
    return wolke;
}

// --- Ascii records ----------------------------------------------------------------------------

// The words of an ascii PLY's elements, with their line and field.
class TWortStrom {
public:
    TWortStrom(const TBinaerDatei& datei, std::uint64_t pos, long long zeile) : s_(datei, pos), zeile_(zeile) {}
    // The next word; false at the end of the file.
    bool Naechstes() {
        int c = s_.Zeichen();
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (c == '\n') {
                ++zeile_;
                feld_ = 0;
            }
            c = s_.Zeichen();
        }
        if (c < 0) return false;
        wort_.clear();
        ++feld_;
        wortZeile_ = zeile_;
        while (c >= 0 && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            if (wort_.size() <= MaxRealFeld) wort_ += static_cast<char>(c);  // a longer word is no number anyway
            c = s_.Zeichen();
        }
        if (c == '\n') zeilenende_ = true;
        return true;
    }
    // The line break read behind the last word counts from the next word on.
    void Zeilenwechsel() {
        if (zeilenende_) {
            ++zeile_;
            feld_ = 0;
            zeilenende_ = false;
        }
    }
    const std::string& Wort() const { return wort_; }
    long long ZeileNr() const { return zeile_; }
    // The line of the last word read (where a record that the file cuts short stopped).
    long long WortZeile() const { return wortZeile_; }
    int Feld() const { return feld_; }

private:
    TStrom s_;
    long long zeile_;
    long long wortZeile_ = zeile_;
    int feld_ = 0;
    bool zeilenende_ = false;
    std::string wort_;
};

// The number of the current word; a word that is none raises the coordinate reader's error.
double AsciiZahl(const TWortStrom& w, const std::string& pfad, bool& endlich) {
    const std::string& t = w.Wort();
    endlich = true;
    const TRealScan s = t.size() <= MaxRealFeld ? ScanReal(t, TokenRegel()) : TRealScan{};
    if (s.Status == TRealStatus::Zahl) return s.Wert;
    std::string klein;
    for (const char c : t) klein += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (klein == "nan" || klein == "-nan" || klein == "inf" || klein == "-inf") {
        endlich = false;  // a beam without return
        return 0;
    }
    TOrt o;
    o.Datei = pfad;
    o.Zeile = w.ZeileNr();
    o.Feld = w.Feld();
    o.Text = Zitat(t);
    if (s.Status == TRealStatus::UeberDouble) {
        EMathError e("Gleitkommaüberlauf");
        e.Ort = o;
        throw e;
    }
    EInOutError e(ea::UngueltigeZahl);
    e.Ort = o;
    throw e;
}

// Reads or passes over one ascii record; the vertex's coordinates into p.
bool AsciiSatz(TWortStrom& w, const TElement& el, std::uint64_t satz, const TKoordinaten* k, TWolkenpunkt* p,
               const std::string& pfad) {
    double xyz[3] = {0, 0, 0};
    bool gueltig = true;
    auto naechstes = [&](const TEigenschaft& e) {
        w.Zeilenwechsel();
        if (!w.Naechstes())
            WolkenFehlerZeile("Die Datei endet vor dem Ende des Elements „" + el.name + "“ (Datensatz " +
                                  std::to_string(satz + 1) + " von " + std::to_string(el.anzahl) + ", Eigenschaft „" +
                                  e.name + "“)",
                              pfad, w.WortZeile(), 0, {});
    };
    for (std::size_t i = 0; i < el.eigenschaften.size(); ++i) {
        const TEigenschaft& e = el.eigenschaften[i];
        naechstes(e);
        if (e.liste) {
            std::int64_t n = 0;
            if (!ScanInteger(w.Wort(), true, n) || n < 0)
                WolkenFehlerZeile("Ungültige Länge einer Liste", pfad, w.ZeileNr(), w.Feld(), w.Wort());
            for (std::int64_t j = 0; j < n; ++j) naechstes(e);
            continue;
        }
        for (int a = 0; k != nullptr && a < 3; ++a) {
            if (k->index[a] != static_cast<int>(i)) continue;
            bool endlich = true;
            xyz[a] = AsciiZahl(w, pfad, endlich);
            gueltig = gueltig && endlich;
        }
    }
    if (p != nullptr) *p = {xyz[0], xyz[1], xyz[2]};
    return gueltig;
}

TWolke LiesAscii(const TBinaerDatei& datei, const TKopf& kopf, std::size_t vertex, TScanMelder& melder) {
    TWortStrom w(datei, kopf.daten, kopf.zeilen + 1);
    for (std::size_t i = 0; i < vertex; ++i)
        for (std::uint64_t satz = 0; satz < kopf.elemente[i].anzahl; ++satz) {
            if (satz % 65536 == 0) melder.Pruefe();
            AsciiSatz(w, kopf.elemente[i], satz, nullptr, nullptr, datei.Pfad());
        }
    const TElement& v = kopf.elemente[vertex];
    const TKoordinaten k = Koordinaten(v, datei.Pfad());
    // Three numbers and their separators take six bytes at least.
    if (v.anzahl > datei.Groesse() / 6)
        WolkenFehlerZeile("Die Datei ist zu kurz für " + std::to_string(v.anzahl) + " Punkte", datei.Pfad(), v.zeile, 3,
                          std::to_string(v.anzahl));
    TWolke wolke(static_cast<std::size_t>(v.anzahl));
    std::size_t n = 0;
    for (std::uint64_t satz = 0; satz < v.anzahl; ++satz) {
        if (satz % 65536 == 0) melder.Melde(static_cast<double>(satz) / static_cast<double>(v.anzahl));
        if (AsciiSatz(w, v, satz, &k, &wolke[n], datei.Pfad())) ++n;
    }
    wolke.Ungueltig = static_cast<std::size_t>(v.anzahl) - n;
    wolke.Kuerzen(n);
    return wolke;
}

}  // namespace

TWolke LesePly(const TBinaerDatei& datei, TScanMelder& melder) {
    const TKopf kopf = LiesKopf(datei);
    std::size_t vertex = kopf.elemente.size();
    for (std::size_t i = 0; i < kopf.elemente.size() && vertex == kopf.elemente.size(); ++i)
        if (kopf.elemente[i].name == "vertex") vertex = i;
    if (vertex == kopf.elemente.size())
        WolkenFehlerZeile("Die PLY-Datei hat kein Element „vertex“ (die Punkte)", datei.Pfad(), kopf.zeilen, 0, {});
    return kopf.format == TFormat::Ascii ? LiesAscii(datei, kopf, vertex, melder)
                                         : LiesBinaer(datei, kopf, vertex, melder);
}

}  // namespace zentrix
