// SPDX-License-Identifier: GPL-3.0-or-later
// The coordinate file reader.
//
// A coordinate file holds records of five fields: Nr, three values and the sphere radius R. The
// data format chosen in "Datenformat" says what the three values are and where they go in the
// point record; the polar formats end up as (distance, direction in gon, height difference), the
// polar form the solver expects.
#include "window/Koordinatendatei.hpp"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string_view>

#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "numerics/Gleitkomma.hpp"
#include "numerics/Polar.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// Turns the zenith angles (gon) of a polar format into height differences (metres); a slope
// distance becomes the horizontal distance, both from the distance and angle as read.
void PrepareHeights(TPunktArray& punkte, THoehenregel regel) {
    for (long long i = 1; i <= punkte.High(); ++i) {
        TPunkt& p = punkte[i];
        if (regel == THoehenregel::Kotangens) {
            p.Z = HoeheAusKotangens(p.X, p.Z);
        } else if (regel == THoehenregel::Schraeg) {
            const TReduktion r = Reduktion(p.X, p.Z);
            const double horizontal = StoreDouble(r.Horizontal);
            p.Z = StoreDouble(r.Hoehe);
            p.X = horizontal;
        }
    }
}

}  // namespace

TKoordinatenLeser::TKoordinatenLeser(const std::string& dateiName, int format) : format_(Datenformat(format)) {
    if (dateiName.empty())
        throw EInOutError(ea::UngueltigerName, "Kein Dateiname angegeben: bitte eine Koordinatendatei wählen (Doppelklick in das Dateifeld)");
    // Where the text ends (a Ctrl-Z) is found as Lies reads it.
    datei_.OpenOhneEnde(dateiName);
    datei_.CheckIO();
}

namespace {

// One record into p: Nr, the format's three values, R (returned). One record is one statement:
// its first failure is raised after the SkipLine.
double LiesSatz(TTextReader& datei, const TDatenformat& format, TPunkt& p) {
    const std::uint32_t nr = datei.ReadUnsignedToken();
    for (double TPunkt::*feld : format.Feld) p.*feld = datei.ReadRealToken();
    const double r = datei.ReadRealToken();
    datei.SkipLine();
    datei.CheckIO();
    p.Name = IntegerToText(nr);
    return r;
}

// Reads records into punkte, one entry each, until the text ends or, with bis, the reading stands
// at or behind bis after a record. Returns the radius (metres) of the last record, r when there
// was none. A record that fails raises its error after the record, which stays in punkte.
double LiesSaetze(TTextReader& datei, const TDatenformat& format, TPunktArray& punkte, double r, std::size_t bis) {
    for (;;) {
        const bool ende = datei.AtEndOfText();
        datei.CheckIO();
        if (ende) return r;
        punkte.SetLength(punkte.Length() + 1);
        r = LiesSatz(datei, format, punkte[punkte.High()]);
        if (datei.Position() >= bis) return r;
    }
}

// The same into the entries from punkte[ab] on, which exist already (as many as the text has
// lines at least: a record takes one line or more), until the text ends or the reading stands at
// or behind bis. Counts the records read in n (a failing one too, which then raises its error)
// and gives the radius of the last one in R (unchanged when there was none).
void LiesSaetzeAb(TTextReader& datei, const TDatenformat& format, TPunktArray& punkte, std::size_t ab, std::size_t& n,
                  double& R, std::size_t bis) {
    for (;;) {
        const bool ende = datei.AtEndOfText();
        datei.CheckIO();
        if (ende) return;
        ++n;  // the record stays when it fails
        R = LiesSatz(datei, format, punkte[static_cast<long long>(ab + n - 1)]);
        if (datei.Position() >= bis) return;
    }
}

// Texts longer than this are read in two halves at once.
constexpr std::size_t Zweiteilen = 4u << 20;

// Sets the length of the point list, whose new entries' memory is first touched on all cores:
// the system provides a large array's pages as they are first written, clearing each, and for
// the million points of a coordinate file that took longer than setting them to zero, on one core
// while the other waited.
void SetLengthAufAllenKernen(TPunktArray& punkte, std::size_t laenge) {
    if (laenge <= punkte.Length()) {
        punkte.SetLength(laenge);
        return;
    }
    punkte.Reserve(laenge);
    // The reserved memory is raw storage until SetLength puts the entries there.
    auto* roh = reinterpret_cast<unsigned char*>(punkte.data() + punkte.Length());
    const std::size_t bytes = (laenge - punkte.Length()) * sizeof(TPunkt), seite = 4096;
    AufAllenKernen(bytes / seite, AufEinemKern / 4, [roh, seite](std::size_t von, std::size_t bis) {
        for (std::size_t i = von; i < bis; ++i) roh[i * seite] = 0;
    });
    punkte.SetLength(laenge);
}

// The text as one from where the reading stands: its end where the count found one (z counted from
// there), room for a record a line and one without line end.
double LiesGanz(TTextReader& datei, const TDatenformat& format, TPunktArray& punkte, const TZaehlung& z) {
    if (z.Ende != std::string_view::npos) datei.Ende(datei.Position() + z.Ende);
    punkte.Reserve(z.Anzahl + 2);
    return LiesSaetze(datei, format, punkte, 0, std::string_view::npos);
}

}  // namespace

double TKoordinatenLeser::Lies(TPunktArray& punkte) {
    punkte.SetLength(1);
    const std::string_view text = datei_.Text();
    const std::size_t anfang = datei_.Position();
    const std::size_t mitte = text.size() - anfang > Zweiteilen ? text.find('\n', anfang + (text.size() - anfang) / 2)
                                                                : std::string_view::npos;
    // The radius (metres) of the last record read.
    double R = 0;
    if (mitte == std::string_view::npos) {
        // The lines counted and the end found in one look at each byte.
        R = LiesGanz(datei_, format_, punkte, ZaehleBis(text.substr(anfang), '\n', kCtrlZ, datei_.Abbild().get()));
    } else {
        R = LiesInHaelften(mitte + 1, punkte);
    }
    PrepareHeights(punkte, format_.Hoehe);
    datei_.Close();
    datei_.CheckIO();
    return R;
}

double TKoordinatenLeser::LiesInHaelften(std::size_t teilung, TPunktArray& punkte) {
    // The second half is read on another core on the guess that a record starts on its first line.
    // The guess holds when the first half's last record ends right there; otherwise the reading
    // simply goes on from where the first half ended. Both halves read into the one list, each
    // into entries of its own: the first from entry 1 on, the second behind as many entries as
    // the first half has lines (it cannot have more records); the gap is closed afterwards. The
    // file is held once, as far as it is not read yet, and the points once.
    const std::string_view ganz = datei_.Text();
    const std::size_t anfang = datei_.Position();
    const TDateiAbbild* abbild = datei_.Abbild().get();
    TAusfuehrer& ausfuehrer = TAusfuehrer::Gemeinsam();
    // The lines of both halves counted at once, one on each core, and the text's end (a Ctrl-Z)
    // found in the same look at each byte.
    auto zaehler = ausfuehrer.Starte([&ganz, teilung, abbild] { return ZaehleBis(ganz.substr(teilung), '\n', kCtrlZ, abbild); });
    const TZaehlung erste = ZaehleBis(ganz.substr(anfang, teilung - anfang), '\n', kCtrlZ, abbild);
    const TZaehlung zweite = ausfuehrer.Hole(zaehler);
    if (erste.Ende != std::string_view::npos) return LiesGanz(datei_, format_, punkte, erste);  // it ends in its first half
    if (zweite.Ende != std::string_view::npos) datei_.Ende(teilung + zweite.Ende);
    const std::string_view text = datei_.Text();
    const std::size_t zeilen1 = erste.Anzahl;
    const std::size_t zeilen2 = zweite.Anzahl + 1;
    const std::size_t ab2 = 1 + zeilen1;
    SetLengthAufAllenKernen(punkte, ab2 + zeilen2);
    double R2 = 0;
    std::size_t n2 = 0;
    std::exception_ptr fehler2;
    auto halbe = ausfuehrer.Starte([&] {
        TTextReader leser;
        // Its errors name the file; their lines are counted on from the split when they are raised.
        // The text ends before the file's Ctrl-Z already.
        leser.OpenView(text.substr(teilung), datei_.Pfad(), 0, datei_.Abbild(), true);
        try {
            LiesSaetzeAb(leser, format_, punkte, ab2, n2, R2, std::string_view::npos);
        } catch (...) {
            fehler2 = std::current_exception();
        }
        leser.Close();  // the file's pages of this half, given back
    });
    double R = 0;
    std::size_t n1 = 0;
    try {
        LiesSaetzeAb(datei_, format_, punkte, 1, n1, R, teilung);
    } catch (...) {
        ausfuehrer.Abwarten(halbe);  // the other half reads the same text and list
        punkte.SetLength(1 + n1);  // the records read and the failing one
        throw;
    }
    ausfuehrer.Hole(halbe);
    if (datei_.Position() != teilung) {
        punkte.SetLength(1 + n1);
        return LiesSaetze(datei_, format_, punkte, R, std::string_view::npos);
    }
    // An error of the second half counts its line on from the lines of the first.
    for (std::size_t k = 0; k < n2; ++k)
        punkte[static_cast<long long>(1 + n1 + k)] = std::move(punkte[static_cast<long long>(ab2 + k)]);
    punkte.SetLength(1 + n1 + n2);
    if (n2 >= 1) R = R2;
    if (fehler2) {
        try {
            std::rethrow_exception(fehler2);
        } catch (EZentrixError& e) {
            if (e.Ort.Zeile > 0) e.Ort.Zeile += std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(teilung), '\n');
            throw;
        }
    }
    return R;
}

TKoordinaten LeseKoordinatendatei(const std::string& dateiName, int format) {
    TKoordinatenLeser leser(dateiName, format);
    TKoordinaten k;
    k.R = leser.Lies(k.Punkte);
    return k;
}

}  // namespace zentrix
