// The coordinate file reader.
//
// A coordinate file holds records of five fields: Nr, three values and the sphere radius R. The
// data format chosen in "Datenformat" says what the three values are and where they go in the
// point record; the polar formats end up as (distance, direction in gon, height difference), the
// polar form the solver expects.
#include "window/Koordinatendatei.hpp"

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
        throw EInOutError(3, "Kein Dateiname angegeben: bitte eine Koordinatendatei wählen (Doppelklick in das Dateifeld)");
    datei_.Open(dateiName);
    datei_.CheckIO();
}

double TKoordinatenLeser::Lies(TPunktArray& punkte) {
    punkte.SetLength(1);
    double R = 0;  // radius (metres) of the last record read
    for (;;) {
        const bool ende = datei_.AtEndOfText();
        datei_.CheckIO();
        if (ende) break;
        punkte.SetLength(punkte.Length() + 1);
        TPunkt& p = punkte[punkte.High()];
        // One record is one statement: its first failure is raised after the SkipLine.
        const std::uint32_t nr = datei_.ReadUnsignedToken();
        for (double TPunkt::*feld : format_.Feld) p.*feld = datei_.ReadRealToken();
        R = datei_.ReadRealToken();
        datei_.SkipLine();
        datei_.CheckIO();
        p.Name = IntegerToText(nr);
    }
    PrepareHeights(punkte, format_.Hoehe);
    datei_.Close();
    datei_.CheckIO();
    return R;
}

TKoordinaten LeseKoordinatendatei(const std::string& dateiName, int format) {
    TKoordinatenLeser leser(dateiName, format);
    TKoordinaten k;
    k.R = leser.Lies(k.Punkte);
    return k;
}

}  // namespace zentrix
