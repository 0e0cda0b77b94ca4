// SPDX-License-Identifier: GPL-3.0-or-later
// The coordinate file reader.
//
// A coordinate file holds records of five fields: Nr, three values and the sphere radius R. The
// data format chosen in "Datenformat" says what the three values are and where they go in the
// point record; the polar formats end up as (distance, direction in gon, height difference), the
// polar form the solver expects.
#include "window/Koordinatendatei.hpp"

#include <algorithm>
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
    datei_.Open(dateiName);
    datei_.CheckIO();
}

namespace {

// Reads records into punkte, one entry each, until the text ends or, with bis, the reading stands
// at or behind bis after a record. Returns the radius (metres) of the last record, r when there
// was none. A record that fails raises its error after the record, which stays in punkte.
double LiesSaetze(TTextReader& datei, const TDatenformat& format, TPunktArray& punkte, double r, std::size_t bis) {
    for (;;) {
        const bool ende = datei.AtEndOfText();
        datei.CheckIO();
        if (ende) return r;
        punkte.SetLength(punkte.Length() + 1);
        TPunkt& p = punkte[punkte.High()];
        // One record is one statement: its first failure is raised after the SkipLine.
        const std::uint32_t nr = datei.ReadUnsignedToken();
        for (double TPunkt::*feld : format.Feld) p.*feld = datei.ReadRealToken();
        r = datei.ReadRealToken();
        datei.SkipLine();
        datei.CheckIO();
        p.Name = IntegerToText(nr);
        if (datei.Position() >= bis) return r;
    }
}

// Texts longer than this are read in two halves at once.
constexpr std::size_t Zweiteilen = 4u << 20;

}  // namespace

double TKoordinatenLeser::Lies(TPunktArray& punkte) {
    punkte.SetLength(1);
    punkte.Reserve(datei_.RestlicheZeilen() + 2);  // one record a line, and one without line end
    const std::string_view text = datei_.Text();
    const std::size_t anfang = datei_.Position();
    const std::size_t mitte = text.size() - anfang > Zweiteilen ? text.find('\n', anfang + (text.size() - anfang) / 2)
                                                                : std::string_view::npos;
    // The radius (metres) of the last record read.
    const double R = mitte == std::string_view::npos ? LiesSaetze(datei_, format_, punkte, 0, std::string_view::npos)
                                                     : LiesInHaelften(mitte + 1, punkte);
    PrepareHeights(punkte, format_.Hoehe);
    datei_.Close();
    datei_.CheckIO();
    return R;
}

double TKoordinatenLeser::LiesInHaelften(std::size_t teilung, TPunktArray& punkte) {
    // The second half is read on another core on the guess that a record starts on its first line.
    // The guess holds when the first half's last record ends right there; otherwise the reading
    // simply goes on from where the first half ended.
    const std::string_view text = datei_.Text();
    TPunktArray zweite(1);
    double R2 = 0;
    std::exception_ptr fehler2;
    TAusfuehrer& ausfuehrer = TAusfuehrer::Gemeinsam();
    auto halbe = ausfuehrer.Starte([&] {
        TTextReader leser;
        // Its errors name the file; their lines are counted on from the split when they are raised.
        leser.OpenView(text.substr(teilung), datei_.Pfad());
        zweite.Reserve(leser.RestlicheZeilen() + 2);
        try {
            R2 = LiesSaetze(leser, format_, zweite, 0, std::string_view::npos);
        } catch (...) {
            fehler2 = std::current_exception();
        }
    });
    double R = 0;
    try {
        R = LiesSaetze(datei_, format_, punkte, R, teilung);
    } catch (...) {
        ausfuehrer.Abwarten(halbe);  // the other half reads the same text
        throw;
    }
    ausfuehrer.Hole(halbe);
    if (datei_.Position() != teilung) {
        zweite = TPunktArray();
        return LiesSaetze(datei_, format_, punkte, R, std::string_view::npos);
    }
    // Everything is read: the text goes before the halves are joined, so that the file is held
    // only once (as text, then as points). An error of the second half counts its line on from the
    // lines of the first.
    const auto vorher = fehler2 ? std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(teilung), '\n') : 0;
    datei_.Close();
    const std::size_t erste = punkte.Length();
    punkte.SetLength(erste + zweite.Length() - 1);
    for (long long i = 1; i <= zweite.High(); ++i) punkte[static_cast<long long>(erste) + i - 1] = std::move(zweite[i]);
    if (zweite.High() >= 1) R = R2;
    zweite = TPunktArray();
    if (fehler2) {
        try {
            std::rethrow_exception(fehler2);
        } catch (EZentrixError& e) {
            if (e.Ort.Zeile > 0) e.Ort.Zeile += vorher;
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
